# Toolchain for 64-bit Windows, whose programs run under wine64 here; see mingw-w64.cmake.
set(BIXO_WINDOWS_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
