// The driver's one exported entry point.
#pragma once

#include <cstdint>

#include "entry/export.h"
#include "host/records.h"

extern "C" ZELOE_EXPORT int32_t ZELOE_STDCALL ZelMain(zeloe::HostRequest* request);

namespace zeloe {

// The entry point's type, for hosts that load the library at run time.
using ZelMainFunction = int32_t(ZELOE_STDCALL*)(HostRequest*);

}  // namespace zeloe
