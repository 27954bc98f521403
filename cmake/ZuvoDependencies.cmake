# zlib and libjpeg (6b API) for every preset, GoogleTest built from Debian's sources.

if(WIN32)
  # Linked into the programs: Windows has no zlib1.dll of its own, and the
  # installer ships as one file. A cache from before may hold the import
  # library of the DLL; it is looked up again.
  set(ZLIB_USE_STATIC_LIBS ON)
  if(ZLIB_LIBRARY_RELEASE MATCHES "\\.dll\\.a$")
    unset(ZLIB_LIBRARY_RELEASE CACHE)
  endif()
endif()
find_package(ZLIB REQUIRED)

if(WIN32 OR ZUVO_FUZZ)
  # mingw has no libjpeg of its own; the fuzzers want one instrumented.
  if(WIN32)
    set(_jpeg ${ZUVO_DEPS_CACHE}/libjpeg-mingw32)
  else()
    set(_jpeg ${ZUVO_DEPS_CACHE}/libjpeg-fuzz)
  endif()
  if(NOT EXISTS ${_jpeg}/lib/libjpeg.a)
    message(FATAL_ERROR "libjpeg missing in ${_jpeg}: run scripts/setup.sh")
  endif()
  add_library(zuvo_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(zuvo_jpeg PROPERTIES
    IMPORTED_LOCATION ${_jpeg}/lib/libjpeg.a
    INTERFACE_INCLUDE_DIRECTORIES ${_jpeg}/include)
else()
  find_package(JPEG REQUIRED)
  add_library(zuvo_jpeg INTERFACE)
  target_link_libraries(zuvo_jpeg INTERFACE JPEG::JPEG)
endif()
add_library(Zuvo::jpeg ALIAS zuvo_jpeg)

if(ZUVO_TOOLS_ONLY)
  return()
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL SYSTEM)
