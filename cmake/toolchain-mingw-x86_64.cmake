# Cross-compiles Tavrel for 64-bit Windows with Debian's MinGW-w64:
#   cmake -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWToolchain.cmake)
