# Cross-compiling the Windows programs with mingw-w64 for 64-bit Windows: the same sources, for
# the tests under 64-bit Wine on a machine whose kernel runs no 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SEVRIK_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
