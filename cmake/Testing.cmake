# How every test of the suite is added, whatever its kind (core, Qt, Win32
# under Wine, installer, package): the skip code, the environment and the
# labels live here and nowhere else.

# A test whose precondition is missing on this machine (a validator, a
# compositor, a locale compiler, Wine) exits with this code and CTest counts
# it as skipped, never as passed. The C++ side reads it from the compile
# definition TAVREL_SKIP_CODE.
set(TAVREL_SKIP_CODE 77)

# Under CI (the presets pass CI=true on as TAVREL_CI), which installs every
# test's preconditions, a test that cannot run fails the run: its skip code
# is an ordinary failure there. One reason no package can mend is accepted
# everywhere: a 32-bit x86 program where none can run, because the kernel
# runs no 32-bit x86 code (IA-32 emulation) or Wine's 32-bit half could not
# be installed. Such a test says so in these words (the Wine scripts read
# them from TAVREL_NO_32BIT_TEXT) and is counted as skipped by them.
set(TAVREL_NO_32BIT_TEXT "skipped, no 32-bit x86 programs can run here")
if(TAVREL_CI STREQUAL "true")
    set(TAVREL_SKIPS_FAIL ON)
else()
    set(TAVREL_SKIPS_FAIL OFF)
endif()

# tavrel_add_test(NAME COMMAND cmd… [ENVIRONMENT var=value…] [LABELS label…]
#                 [TIMEOUT seconds] [PROPERTIES property value…])
# PROPERTIES takes single values; set a list-valued property (a regular
# expression list, say) with set_tests_properties after this.
# Runs under the C locale unless ENVIRONMENT sets LANG itself, so no test
# depends on the machine's language.
function(tavrel_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "COMMAND;ENVIRONMENT;LABELS;PROPERTIES" ${ARGN})
    add_test(NAME ${name} COMMAND ${ARG_COMMAND})
    set(environment ${ARG_ENVIRONMENT} TAVREL_SKIP_CODE=${TAVREL_SKIP_CODE}
        "TAVREL_NO_32BIT_TEXT=${TAVREL_NO_32BIT_TEXT}")
    if(NOT environment MATCHES "(^|;)LANG=")
        list(PREPEND environment LANG=C LC_ALL=C)
    endif()
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "${environment}" SKIP_REGULAR_EXPRESSION "${TAVREL_NO_32BIT_TEXT}: ")
    if(NOT TAVREL_SKIPS_FAIL)
        set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE ${TAVREL_SKIP_CODE})
    endif()
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

# A test that cannot run here: it says why and CTest counts it as skipped
# (under CI as failed).
function(tavrel_add_skipped_test name reason)
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E echo "skipped: ${reason}")
    # echo exits 0, so let its output decide.
    if(TAVREL_SKIPS_FAIL)
        set_tests_properties(${name} PROPERTIES FAIL_REGULAR_EXPRESSION "^skipped: ")
    else()
        set_tests_properties(${name} PROPERTIES SKIP_REGULAR_EXPRESSION "^skipped: ")
    endif()
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
