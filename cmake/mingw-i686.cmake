# 32-bit Windows (the suite's program).
set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
# Double arithmetic in SSE2 registers, as on every 64-bit build: results are
# rounded to double at every step, so the 32-bit program computes exactly
# what the others do (x87 registers keep extra precision).  Every processor
# that runs a supported Windows has SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
