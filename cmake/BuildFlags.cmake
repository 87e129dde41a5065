# The strict, IEEE-exact flags every target of ours is built with, the
# benchmark's reference programs included, so the tests exercise exactly the
# arithmetic the program ships with. Defines the interface target
# tavrel_build_flags.
if(TARGET tavrel_build_flags)
    return()
endif()
add_library(tavrel_build_flags INTERFACE)
if(MSVC)
    target_compile_options(tavrel_build_flags INTERFACE /W4 /WX /fp:precise /utf-8)
else()
    target_compile_options(tavrel_build_flags INTERFACE
        -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow -Werror
        # No fused multiply-add or other contraction: results must be the
        # operations as written, rounded one at a time.
        -ffp-contract=off)
endif()
