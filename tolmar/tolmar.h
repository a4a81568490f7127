// Stand-in for the host's message module TOLMAR: exports the message function `err` that the
// driver imports, formats each message, and hands it to a sink that a host program sets.
// For tests and tools only; it must never replace the real host's module.
#ifndef ZELOE_TOLMAR_H
#define ZELOE_TOLMAR_H

#if defined(_WIN32)
#define TOLMAR_API __declspec(dllexport)
#else
#define TOLMAR_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Receives every formatted message with its category (8 or 32); `text` is valid during the call.
typedef void (*TolmarSink)(void* context, int category, const char* text);

// Sets the sink; a null sink sends messages to standard error again.
TOLMAR_API void TolmarSetSink(TolmarSink sink, void* context);

// The host's message function: category, printf-style format, arguments.
TOLMAR_API int err(int category, const char* format, ...);

#ifdef __cplusplus
}
#endif

#endif
