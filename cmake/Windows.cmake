# The Windows build (MinGW-w64, see cmake/mingw-w64.cmake): the host-layer DLL, the driver module
# DLL exporting only Create, and on x86_64 a test runner for wine64. The command line, the
# decoder's pictures and the benchmarks are Linux only.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(_tests_default ON)
else()
  set(_tests_default OFF)
endif()
option(RPHOTO_WINDOWS_TESTS "Build the test runner (wine64 runs it)" ${_tests_default})

include_directories(${CMAKE_SOURCE_DIR})
add_compile_definitions(RPHOTO_VERSION="${PROJECT_VERSION}" RPHOTO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# DLLs beside the programs that load them.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  # x87 arithmetic keeps 80-bit intermediates: SSE2 gives the same doubles as Linux.
  add_compile_options(-msse2 -mfpmath=sse)
endif()
# The compiler's runtime (libstdc++, libgcc, winpthread) linked in: the DLLs import system DLLs
# and each other only.
add_link_options(-static)

# nlohmann/json is header-only: Debian's copy, alone in an include folder of its own (the rest of
# /usr/include is for Linux).
find_path(RPHOTO_JSON_DIR nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/include)
file(CREATE_LINK ${RPHOTO_JSON_DIR}/nlohmann ${CMAKE_BINARY_DIR}/include/nlohmann SYMBOLIC)
include_directories(SYSTEM ${CMAKE_BINARY_DIR}/include)

file(GLOB HOST_SOURCES CONFIGURE_DEPENDS host/*.cpp host/win32/*.cpp)
# POSIX only: the settings file's lock (taken by the command line alone) and its replace helper
# (the Windows settings store replaces its file through the profile functions and MoveFileEx).
list(FILTER HOST_SOURCES EXCLUDE REGEX "/host/File(Lock|Replace)\\.cpp$")
add_library(rphoto_host SHARED ${HOST_SOURCES})
target_link_libraries(rphoto_host PRIVATE shell32 ole32)
# Every host symbol is exported (as on Linux), but not those of the runtime linked in.
target_link_options(rphoto_host PRIVATE
  -Wl,--export-all-symbols,--exclude-libs=libstdc++.a:libgcc.a:libgcc_eh.a:libwinpthread.a:libpthread.a:libuuid.a)

file(GLOB MODULE_SOURCES CONFIGURE_DEPENDS driver/*.cpp output/*.cpp devparms/*.cpp pages/*.cpp)
add_library(rphoto_driver SHARED ${MODULE_SOURCES} driver/rphoto_driver.def)
target_link_libraries(rphoto_driver PRIVATE rphoto_host)
set_target_properties(rphoto_driver PROPERTIES PREFIX "")
target_link_options(rphoto_driver PRIVATE -Wl,--no-undefined)

if(RPHOTO_WINDOWS_TESTS)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # The decoder without its PNG pictures.
  file(GLOB DECODE_SOURCES CONFIGURE_DEPENDS decode/*.cpp)
  list(FILTER DECODE_SOURCES EXCLUDE REGEX "/PageImage\\.cpp$")
  # The conservation suite and the golden job grid as on Linux, the golden sample jobs and the
  # Windows-only file behaviour, all through the module DLL's Create.
  file(GLOB WINDOWS_TEST_SOURCES CONFIGURE_DEPENDS tests/conservation_*.cpp tests/windows_*.cpp)
  add_executable(rphoto_windows_tests ${WINDOWS_TEST_SOURCES} tests/golden_grid_test.cpp tests/support/TestSupport.cpp
                 ${DECODE_SOURCES} app/JobRunner.cpp app/PlaneImage.cpp)
  target_include_directories(rphoto_windows_tests PRIVATE tests)
  target_compile_definitions(rphoto_windows_tests PRIVATE RPHOTO_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  target_link_libraries(rphoto_windows_tests PRIVATE rphoto_driver rphoto_host gtest gtest_main)

  # CTest runs the whole Windows check (it needs the i686 build beside this one, as `make windows`
  # lays them out): the 32-bit DLLs' exports and imports, then this runner under wine64.
  enable_testing()
  add_test(NAME windows_wine64 COMMAND ${CMAKE_SOURCE_DIR}/scripts/test-windows.sh ${CMAKE_BINARY_DIR}/..)
  set_tests_properties(windows_wine64 PROPERTIES TIMEOUT 600)
endif()
