// The driver's one exported entry point.
#pragma once

#include <cstdint>

#include "entry/export.h"
#include "host/records.h"

extern "C" ZELOE_EXPORT int32_t ZELOE_STDCALL ZelMain(zeloe::HostRequest* request);
