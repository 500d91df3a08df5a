# Cross-compiling for Windows with Debian's mingw-w64 compilers. Included by the per-architecture
# toolchain files (i686.cmake, x86_64.cmake), which set BIXO_WINDOWS_ARCH first.
#   cmake -S . -B build-windows-x86_64 --toolchain tools/windows/x86_64.cmake \
#         -DBIXO_WINDOWS_PREFIX=<the libraries' directory, printed by tools/windows/libraries.sh>
# tools/windows/build.sh does all of it.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${BIXO_WINDOWS_ARCH})
set(bixo_windows_triple ${BIXO_WINDOWS_ARCH}-w64-mingw32)

# The POSIX thread model: the win32 one has no std::thread or std::mutex.
set(CMAKE_C_COMPILER ${bixo_windows_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${bixo_windows_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${bixo_windows_triple}-windres)

# One self-contained program: the C++ runtime, libgcc and winpthread linked in, no DLLs of ours.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Headers and libraries come from the mingw-w64 sysroot and from our cross-built libraries only,
# never from the build machine; programs (pkg-config, the compilers) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${bixo_windows_triple})
if(BIXO_WINDOWS_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${BIXO_WINDOWS_PREFIX})
  # pkg-config sees the cross-built libraries' .pc files and nothing else.
  set(ENV{PKG_CONFIG_LIBDIR} ${BIXO_WINDOWS_PREFIX}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# 64-bit programs run under wine64, so test discovery and ctest work as on Linux. The build
# machine may run no 32-bit code at all; tools/windows/build.sh finds out before running those.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine.sh ${BIXO_WINDOWS_ARCH})
# Tests are found when ctest runs, not at build time: building needs no wine and no 32-bit loader.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
