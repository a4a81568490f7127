// ReadBlock (command 6): a run of integer or float table elements in one exchange.
#pragma once

#include <cstdint>

#include "host/records.h"

namespace zeloe {

int32_t ReadBlock(HostRequest* request);

}  // namespace zeloe
