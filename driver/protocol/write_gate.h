// WriteGate (command 7): one value from the host into a point, variable, timer or table element.
#pragma once

#include <cstdint>

#include "host/records.h"

namespace zeloe {

int32_t WriteGate(HostRequest* request);

}  // namespace zeloe
