# 64-bit Windows (for current Windows, and for testing under wine64 on
# machines that cannot run 32-bit code).
set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
