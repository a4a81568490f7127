// ReadGate (command 5): one controller command per gate, its reply stored in the host's buffer.
#pragma once

#include <cstdint>

#include "host/records.h"

namespace zeloe {

int32_t ReadGate(HostRequest* request);

}  // namespace zeloe
