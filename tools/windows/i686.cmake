# Toolchain for 32-bit Windows (the build for 32-bit and 64-bit Windows alike); see mingw-w64.cmake.
set(BIXO_WINDOWS_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
