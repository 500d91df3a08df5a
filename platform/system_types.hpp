// Integer types that our interfaces share by name with the system's own headers.
#pragma once

#include <cstdint>

namespace platform {

#ifdef _WIN32
// <windows.h> declares DWORD as unsigned long (32 bits on Windows); a DWORD of ours must be that
// very type, or a file that sees both declarations does not compile.
using dword = unsigned long;
#else
using dword = std::uint32_t;
#endif

}  // namespace platform
