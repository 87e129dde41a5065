# The core and its tests as 32-bit x86 Linux programs (Debian's
# g++-multilib), with the floating-point flags of the 32-bit Windows build:
# the arithmetic the 32-bit Tavrel.exe ships, tested where Wine cannot run a
# 32-bit program.
#   cmake --preset i686 (CMakePresets.json names this file)
# Where the kernel runs no 32-bit x86 code, CTest runs the tests under
# qemu-i386 (Debian's qemu-user), which emulates the same instructions.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
include(${CMAKE_CURRENT_LIST_DIR}/i686-float.cmake)
# Static, so that qemu-i386 needs no 32-bit loader or libraries of the host.
set(CMAKE_C_FLAGS_INIT "-m32 ${TAVREL_I686_FLOAT_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "-m32 ${TAVREL_I686_FLOAT_FLAGS}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static")

execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../scripts/kernel-runs-ia32.sh
    RESULT_VARIABLE runs_ia32)
if(NOT runs_ia32 EQUAL 0)
    find_program(TAVREL_QEMU_I386 qemu-i386)
    if(TAVREL_QEMU_I386)
        set(CMAKE_CROSSCOMPILING_EMULATOR ${TAVREL_QEMU_I386})
    else()
        message(FATAL_ERROR "This kernel runs no 32-bit x86 programs: the i686 tests need qemu-i386 (Debian's qemu-user)")
    endif()
endif()
