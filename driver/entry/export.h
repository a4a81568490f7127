// How the entry point is exported and called: stdcall and undecorated on Win32.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define ZELOE_EXPORT __declspec(dllexport)
#define ZELOE_STDCALL __stdcall
#else
#define ZELOE_EXPORT __attribute__((visibility("default")))
#define ZELOE_STDCALL
#endif

namespace zeloe {

struct HostRequest;

// The entry point's type, for hosts that load the library at run time.
using ZelMainFunction = int32_t(ZELOE_STDCALL*)(HostRequest*);

}  // namespace zeloe
