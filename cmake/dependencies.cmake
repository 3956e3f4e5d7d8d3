# GoogleTest from Debian's googletest sources, and libpng with zlib.

set(VK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${VK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Test code: its speed does not matter, its compile time does.
if(WIN32)
  target_compile_options(gtest PRIVATE -O1 -g0)
  target_compile_options(gtest_main PRIVATE -O1 -g0)
endif()

if(WIN32)
  # Debian ships no MinGW libpng: build the static library from Debian's
  # source package (fetched by scripts/setup) against MinGW's static zlib.
  include(ExternalProject)
  file(GLOB VK_LIBPNG_SOURCE LIST_DIRECTORIES true ${PROJECT_SOURCE_DIR}/build/deps/libpng1.6-*)
  if(NOT VK_LIBPNG_SOURCE)
    message(FATAL_ERROR "libpng sources missing: run scripts/setup")
  endif()
  list(GET VK_LIBPNG_SOURCE 0 VK_LIBPNG_SOURCE)
  # The static archive, not the import library of zlib1.dll.
  find_library(VK_ZLIB_STATIC NAMES libz.a REQUIRED)
  find_path(VK_ZLIB_INCLUDE zlib.h REQUIRED)
  set(VK_LIBPNG_PREFIX ${CMAKE_BINARY_DIR}/libpng)
  ExternalProject_Add(libpng_build
    SOURCE_DIR ${VK_LIBPNG_SOURCE}
    BINARY_DIR ${CMAKE_BINARY_DIR}/libpng-build
    INSTALL_DIR ${VK_LIBPNG_PREFIX}
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
      -DCMAKE_BUILD_TYPE=Release
      -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
      -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
      -DZLIB_LIBRARY=${VK_ZLIB_STATIC}
      -DZLIB_INCLUDE_DIR=${VK_ZLIB_INCLUDE}
    BUILD_BYPRODUCTS ${VK_LIBPNG_PREFIX}/lib/libpng16.a)
  file(MAKE_DIRECTORY ${VK_LIBPNG_PREFIX}/include)
  add_library(vk_png STATIC IMPORTED GLOBAL)
  set_target_properties(vk_png PROPERTIES
    IMPORTED_LOCATION ${VK_LIBPNG_PREFIX}/lib/libpng16.a
    INTERFACE_INCLUDE_DIRECTORIES ${VK_LIBPNG_PREFIX}/include
    INTERFACE_LINK_LIBRARIES ${VK_ZLIB_STATIC})
  add_dependencies(vk_png libpng_build)
else()
  find_package(PNG 1.6 REQUIRED)
  add_library(vk_png INTERFACE)
  target_link_libraries(vk_png INTERFACE PNG::PNG)
endif()
