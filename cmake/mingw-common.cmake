# What both mingw-w64 toolchains share; each sets CMAKE_SYSTEM_PROCESSOR and SEVRIK_MINGW_PREFIX
# first. The runtime (libgcc, libstdc++, winpthread) is linked statically, so the programs need
# no DLL besides the system's own.
set(CMAKE_SYSTEM_NAME Windows)
# The "-posix" compilers: std::thread and std::mutex over winpthread.
set(CMAKE_C_COMPILER ${SEVRIK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SEVRIK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SEVRIK_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SEVRIK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Tests run under Wine, through a wrapper that gives them the build tree's own Wine prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/windows/wine-run.sh)
