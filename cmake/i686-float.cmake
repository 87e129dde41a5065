# The floating-point flags of every 32-bit x86 build (the Windows program's
# and the core's tests built for 32-bit Linux), included by both toolchain
# files so the two cannot drift apart.
#
# GCC's 32-bit x86 code uses the x87 unit unless told otherwise: extended
# precision (FLT_EVAL_METHOD 2) would round the single-precision running sum
# differently. SSE2 arithmetic is IEEE single and double as written.
set(TAVREL_I686_FLOAT_FLAGS "-msse2 -mfpmath=sse")

# TAVREL_X87_PROOF=ON (32-bit Linux only) builds with the x87 unit instead
# and hides that from the compile-time check of FLT_EVAL_METHOD, so that
# only the tests' tables stand between that arithmetic and a pass: they must
# fail. Never for a build anyone runs.
if(TAVREL_X87_PROOF)
    set(TAVREL_I686_FLOAT_FLAGS
        "-mfpmath=387 -U__FLT_EVAL_METHOD__ -D__FLT_EVAL_METHOD__=0 -Wno-builtin-macro-redefined")
endif()
