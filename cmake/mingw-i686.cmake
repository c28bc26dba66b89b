# Cross-compiling the Windows programs with mingw-w64 for 32-bit Windows: what is shipped, since
# the Access driver that ships with Windows is 32-bit.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(SEVRIK_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
