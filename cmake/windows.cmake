# The Windows tree, included by the top-level CMakeLists.txt when cross-compiling.
# Two trees of the same sources: 32-bit (cmake/mingw-i686.cmake), what is shipped, and 64-bit
# (cmake/mingw-x86_64.cmake), for the tests under 64-bit Wine where the machine runs no 32-bit
# program. Each tree's tests run under the Wine loader and with the host's SQLite ODBC driver of
# its own width.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(SEVRIK_WINDOWS_ARCH i686)
  set(SEVRIK_MANIFEST_ARCH x86)
  set(SEVRIK_WINE_ARCH win32)
  set(SEVRIK_WINE_LOADER /usr/bin/wine)
  set(SEVRIK_HOST_MULTIARCH i386-linux-gnu)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(SEVRIK_WINDOWS_ARCH x86_64)
  set(SEVRIK_MANIFEST_ARCH amd64)
  set(SEVRIK_WINE_ARCH win64)
  set(SEVRIK_WINE_LOADER /usr/lib/wine/wine64)
  set(SEVRIK_HOST_MULTIARCH x86_64-linux-gnu)
else()
  message(FATAL_ERROR "configure with cmake/mingw-i686.cmake or cmake/mingw-x86_64.cmake")
endif()
set(SEVRIK_WINE_ODBC_DRIVER /usr/lib/${SEVRIK_HOST_MULTIARCH}/odbc/libsqlite3odbc.so)
# The tree's Wine, for its tests and for the scripts that take the tree (". <tree>/wine.env").
# The 64-bit loader is named itself: Debian's "wine" starts the 32-bit loader whenever it is
# installed, which a kernel without 32-bit support refuses.
set(SEVRIK_WINE_VARIABLES SEVRIK_WINE=${SEVRIK_WINE_LOADER} WINEARCH=${SEVRIK_WINE_ARCH}
    SEVRIK_WINE_ODBC_DRIVER=${SEVRIK_WINE_ODBC_DRIVER})
if(SEVRIK_WINE_ARCH STREQUAL "win64")
  list(APPEND SEVRIK_WINE_VARIABLES WINELOADER=${SEVRIK_WINE_LOADER})
endif()
list(JOIN SEVRIK_WINE_VARIABLES "\nexport " SEVRIK_WINE_EXPORTS)
file(WRITE ${CMAKE_BINARY_DIR}/wine.env "export ${SEVRIK_WINE_EXPORTS}\n")
enable_language(C)  # googletest's own project needs it
enable_language(RC)
enable_testing()

# googletest from Debian's source package, built with the cross compiler, before our warnings.
set(SEVRIK_GTEST_SOURCE /usr/src/googletest CACHE PATH "googletest sources (Debian package googletest)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${SEVRIK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  -Wno-restrict)  # GCC 12 reports std::string copies it has inlined (its bug 105329)
# Windows 7 and later.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601
  _POSIX_THREAD_SAFE_FUNCTIONS=200112L)  # localtime_r and the like in the stand-in and the tests
include_directories(${CMAKE_SOURCE_DIR})
# Two builds of one commit give the same bytes: no time stamp in the programs' headers.
add_link_options(-Wl,--no-insert-timestamp)

add_subdirectory(base)
add_subdirectory(platform)
add_subdirectory(db)
add_subdirectory(core)
add_subdirectory(views/win32)
add_subdirectory(programs)
add_subdirectory(shim)
add_subdirectory(updater)
add_subdirectory(tools)
add_subdirectory(tests/windows)
add_subdirectory(bench)

# Each program carries its icon (16 to 256 pixels), its manifest (common controls 6, per-monitor
# DPI awareness, asInvoker) and its version with the product's maker and copyright.
set(SEVRIK_COMPANY "SEVRIK developers")
set(SEVRIK_COPYRIGHT "Copyright (C) SEVRIK developers")
function(sevrik_program_resources target name file description)
  set(SEVRIK_RC_NAME ${name})
  set(SEVRIK_RC_FILE ${file})
  set(SEVRIK_RC_DESCRIPTION ${description})
  set(SEVRIK_RC_ICON ${CMAKE_SOURCE_DIR}/cmake/resources/sevrik.ico)
  set(SEVRIK_RC_MANIFEST ${CMAKE_BINARY_DIR}/resources/${target}.manifest)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/resources/program.manifest.in ${SEVRIK_RC_MANIFEST} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/resources/program.rc.in ${CMAKE_BINARY_DIR}/resources/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/resources/${target}.rc)
  set_property(SOURCE ${CMAKE_BINARY_DIR}/resources/${target}.rc TARGET_DIRECTORY ${target} APPEND PROPERTY
               OBJECT_DEPENDS ${SEVRIK_RC_ICON} ${SEVRIK_RC_MANIFEST})
endfunction()
sevrik_program_resources(SEVRIK SEVRIK SEVRIK.exe "SEVRIK: EDI interface for TPB")
sevrik_program_resources(ZUL ZUL ZUL.exe "ZUL: translator shim of SEVRIK")
sevrik_program_resources(ranuvel_plugin "Ranuvel Plug-In" "Ranuvel Plug-In.exe" "Ranuvel Plug-In: installs SEVRIK")
