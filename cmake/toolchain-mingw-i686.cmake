# Cross-compiles Tavrel for 32-bit Windows with Debian's MinGW-w64:
#   cmake --preset win32 (CMakePresets.json names this file)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWToolchain.cmake)

# GCC's 32-bit x86 code uses the x87 unit unless told otherwise: extended
# precision (FLT_EVAL_METHOD 2) would round the single-precision running sum
# differently. SSE2 arithmetic is IEEE single and double as written.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
