# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (posix thread model, so that
# std::thread and std::mutex exist). The libraries come from one prefix that
# tools/windows-deps.sh fills: KALO_WIN_DEPS_PREFIX, given with -D or in the environment.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KALO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KALO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KALO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KALO_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${KALO_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${KALO_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

if(NOT KALO_WIN_DEPS_PREFIX)
  set(KALO_WIN_DEPS_PREFIX "$ENV{KALO_WIN_DEPS_PREFIX}")
endif()
# try_compile projects read this file again; hand the prefix on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KALO_WIN_DEPS_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${KALO_MINGW_TRIPLE})
if(KALO_WIN_DEPS_PREFIX)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${KALO_WIN_DEPS_PREFIX})
  # pkg-config reads only the prefix's .pc files, and with --static so that static
  # libraries bring the Windows system libraries they need.
  set(ENV{PKG_CONFIG_LIBDIR} ${KALO_WIN_DEPS_PREFIX}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
  set(PKG_CONFIG_ARGN --static)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: no libstdc++/libgcc/winpthread DLLs to ship beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Programs built for Windows run here under Wine (GoogleTest discovery, tests).
find_program(KALO_WINE NAMES wine64 wine)
if(KALO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KALO_WINE})
endif()
