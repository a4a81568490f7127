#pragma once

#if defined(_WIN32)
#define ZELOE_EXPORT __declspec(dllexport)
#define ZELOE_STDCALL __stdcall
#else
#define ZELOE_EXPORT __attribute__((visibility("default")))
#define ZELOE_STDCALL
#endif
