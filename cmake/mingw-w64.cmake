# Cross-compiling for Windows with Debian's MinGW-w64 (posix thread model).
# RPHOTO_WINDOWS_ARCH: i686 (the 32-bit host's DLLs, the default) or x86_64 (runs under wine64).
set(CMAKE_SYSTEM_NAME Windows)
if(NOT RPHOTO_WINDOWS_ARCH)
  set(RPHOTO_WINDOWS_ARCH i686)
endif()
set(CMAKE_SYSTEM_PROCESSOR ${RPHOTO_WINDOWS_ARCH})
set(_triplet ${RPHOTO_WINDOWS_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Cached so that try_compile projects see the architecture too.
set(RPHOTO_WINDOWS_ARCH ${RPHOTO_WINDOWS_ARCH} CACHE STRING "i686 or x86_64")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES RPHOTO_WINDOWS_ARCH)
