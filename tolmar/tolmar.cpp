#include "tolmar.h"

#include <cstdarg>
#include <cstdio>

namespace {

TolmarSink gSink = nullptr;
void* gContext = nullptr;

}  // namespace

extern "C" void TolmarSetSink(TolmarSink sink, void* context) {
    gSink = sink;
    gContext = context;
}

extern "C" int err(int category, const char* format, ...) {
    char text[2048];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (gSink != nullptr) {
        gSink(gContext, category, text);
    } else {
        std::fprintf(stderr, "[%d] %s\n", category, text);
    }
    return 0;
}
