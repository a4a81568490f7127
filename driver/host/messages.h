// The host's message function. TOLMAR.DLL exports it; every diagnostic of the driver goes
// through it. The texts that the driver passes are the host's log-filter keys: keep them exact.
#pragma once

extern "C" int err(int category, const char* format, ...);

namespace zeloe {

constexpr int kCategoryInfo = 8;
constexpr int kCategoryAlarm = 32;

}  // namespace zeloe
