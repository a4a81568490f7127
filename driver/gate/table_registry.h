// The instance's table-name registry: each integer or float table name gets a stable number
// (slot + 100) until the next Start.
#pragma once

#include <cstdint>

#include "host/instance_block.h"

namespace zeloe {

// The block has one slot more than the registry claims; the last stays empty.
constexpr int kRegistrySlots = kTableNameSlots - 1;
constexpr int32_t kFirstTableNumber = 100;

// `text` is the address scratch after the type letter. Cuts it in place before the index digits
// and returns the table's number, or 0 when all slots hold other names.
using TableNameSlots = char[kTableNameSlots][kTableNameSlotSize];
int32_t RegisterTable(TableNameSlots& tableNames, char* text);

}  // namespace zeloe
