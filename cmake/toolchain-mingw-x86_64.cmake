# Cross-compiles Tavrel for 64-bit Windows with Debian's MinGW-w64:
#   cmake --preset win64 (CMakePresets.json names this file)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWToolchain.cmake)
