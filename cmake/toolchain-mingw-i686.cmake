# Cross-compiles Tavrel for 32-bit Windows with Debian's MinGW-w64:
#   cmake --preset win32 (CMakePresets.json names this file)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWToolchain.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/i686-float.cmake)
set(CMAKE_C_FLAGS_INIT "${TAVREL_I686_FLOAT_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${TAVREL_I686_FLOAT_FLAGS}")
