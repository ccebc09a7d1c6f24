# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the -posix
# threading flavour, which has std::thread and what Qt needs of it).
#
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DFOUNTAIN_WINDOWS_QT=<Qt for Windows prefix> \
#         -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake ...
#
# FOUNTAIN_WINDOWS_QT may also come from the environment variable of the same
# name; scripts/windows-toolchain.sh prepares it under build/toolchains/qt6-mingw.
# Without it the file still serves to build Qt itself.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FOUNTAIN_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FOUNTAIN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FOUNTAIN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${FOUNTAIN_MINGW_TRIPLET}-windres)

if(NOT FOUNTAIN_WINDOWS_QT AND DEFINED ENV{FOUNTAIN_WINDOWS_QT})
  set(FOUNTAIN_WINDOWS_QT "$ENV{FOUNTAIN_WINDOWS_QT}")
endif()
set(FOUNTAIN_WINDOWS_QT "${FOUNTAIN_WINDOWS_QT}" CACHE PATH "Qt 6 for Windows (MinGW-w64 x86_64)")
# try_compile projects run this file again without the cache.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES FOUNTAIN_WINDOWS_QT)

set(CMAKE_FIND_ROOT_PATH /usr/${FOUNTAIN_MINGW_TRIPLET})
if(FOUNTAIN_WINDOWS_QT)
  list(APPEND CMAKE_FIND_ROOT_PATH "${FOUNTAIN_WINDOWS_QT}")
endif()
# Host tools (moc, rcc, uic, rsvg-convert) come from the build machine;
# everything linked comes from the find roots alone.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
