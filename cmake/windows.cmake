# The Windows tree, included by the top-level CMakeLists.txt when cross-compiling.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
  message(FATAL_ERROR "The Windows programs are 32-bit: configure with cmake/mingw-i686.cmake")
endif()
enable_language(C)  # googletest's own project needs it
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

add_subdirectory(platform)
add_subdirectory(db)
add_subdirectory(interface)
add_subdirectory(shim)
add_subdirectory(updater)
add_subdirectory(tools)
add_subdirectory(tests/windows)
