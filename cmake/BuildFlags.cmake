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

# Hardening, as Debian builds its packages (dpkg-buildflags with
# hardening=+all): a canary on stack frames that hold arrays, the C
# library's checked variants of copying functions, a position-independent
# program whose relocations are all resolved before start-up and then made
# read-only. (Written here rather than read from dpkg-buildflags, so that
# every build, CI's and a developer's, ships the same binary.) The checked
# variants need optimisation, and the sanitizer and fuzzing builds check
# memory themselves.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT MSVC)
    include(CheckPIESupported)
    check_pie_supported(LANGUAGES CXX)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    target_compile_options(tavrel_build_flags INTERFACE
        -fstack-protector-strong -Wformat -Werror=format-security)
    # Newer Debian releases add these too (hardening-check looks for them):
    # stack growth probed page by page, so it cannot jump over the guard
    # page, and on x86 indirect branches only to marked targets.
    include(CheckCXXCompilerFlag)
    foreach(flag -fstack-clash-protection -fcf-protection)
        string(MAKE_C_IDENTIFIER "TAVREL_HAS${flag}" variable)
        check_cxx_compiler_flag(${flag} ${variable})
        if(${variable})
            target_compile_options(tavrel_build_flags INTERFACE ${flag})
        endif()
    endforeach()
    if(NOT TAVREL_SANITIZE AND NOT TAVREL_FUZZ)
        target_compile_definitions(tavrel_build_flags INTERFACE
            $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
    endif()
    target_link_options(tavrel_build_flags INTERFACE -Wl,-z,relro -Wl,-z,now)
endif()
# Windows: a program loaded at a random address (with the relocations that
# needs kept), data never executable, and on x86-64 the whole 64-bit
# address space for the randomisation. (Newer linkers default to these;
# saying so keeps them whatever the linker's defaults.)
if(MINGW)
    target_link_options(tavrel_build_flags INTERFACE
        -Wl,--dynamicbase -Wl,--nxcompat)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        target_link_options(tavrel_build_flags INTERFACE -Wl,--high-entropy-va)
    endif()
endif()
