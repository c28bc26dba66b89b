# The Windows tree, included by the top-level CMakeLists.txt when cross-compiling.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
  message(FATAL_ERROR "The Windows programs are 32-bit: configure with cmake/mingw-i686.cmake")
endif()
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

add_subdirectory(platform)
add_subdirectory(db)
add_subdirectory(interface)
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
