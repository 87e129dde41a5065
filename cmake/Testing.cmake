# How every test of the suite is added, whatever its kind (core, Qt, Win32
# under Wine, installer, package): the skip code, the environment and the
# labels live here and nowhere else.

# A test whose precondition is missing on this machine (a validator, a
# compositor, a locale compiler, Wine) exits with this code and CTest counts
# it as skipped, never as passed. The C++ side reads it from the compile
# definition TAVREL_SKIP_CODE.
set(TAVREL_SKIP_CODE 77)

# tavrel_add_test(NAME COMMAND cmd… [ENVIRONMENT var=value…] [LABELS label…]
#                 [TIMEOUT seconds] [PROPERTIES property value…])
# PROPERTIES takes single values; set a list-valued property (a regular
# expression list, say) with set_tests_properties after this.
# Runs under the C locale unless ENVIRONMENT sets LANG itself, so no test
# depends on the machine's language.
function(tavrel_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "COMMAND;ENVIRONMENT;LABELS;PROPERTIES" ${ARGN})
    add_test(NAME ${name} COMMAND ${ARG_COMMAND})
    set(environment ${ARG_ENVIRONMENT} TAVREL_SKIP_CODE=${TAVREL_SKIP_CODE})
    if(NOT environment MATCHES "(^|;)LANG=")
        list(PREPEND environment LANG=C LC_ALL=C)
    endif()
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "${environment}" SKIP_RETURN_CODE ${TAVREL_SKIP_CODE})
    if(ARG_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
    if(ARG_TIMEOUT)
        set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    endif()
    if(ARG_PROPERTIES)
        set_tests_properties(${name} PROPERTIES ${ARG_PROPERTIES})
    endif()
endfunction()

# A test that cannot run here: it says why and CTest counts it as skipped.
function(tavrel_add_skipped_test name reason)
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E echo "skipped: ${reason}")
    # echo exits 0, so let its output decide.
    set_tests_properties(${name} PROPERTIES SKIP_REGULAR_EXPRESSION "^skipped: ")
endfunction()

# A path in the source tree as the test program must open it. A Windows
# program cross-built here runs under Wine, which shows the host's root as
# drive Z:. Wine 8 also opens a bare Unix path, by a fallback of its own;
# the drive path does not depend on that.
function(tavrel_test_path out path)
    if(WIN32 AND NOT CMAKE_HOST_WIN32)
        string(REPLACE "/" "\\\\" path "Z:${path}")
    endif()
    set(${out} "${path}" PARENT_SCOPE)
endfunction()
