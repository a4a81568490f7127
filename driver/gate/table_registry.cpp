#include "gate/table_registry.h"

#include <cstring>

#include "gate/address_scratch.h"

namespace zeloe {

int32_t RegisterTable(TableNameSlots& tableNames, char* text) {
    text[IndexPosition(text)] = 0;
    for (int slot = 0; slot < kRegistrySlots; ++slot) {
        char* entry = tableNames[slot];
        // Compared before the emptiness test, byte for byte and case included. Names have at
        // most 24 characters, so the bounded compare never runs past the slot.
        if (std::strncmp(entry, text, kTableNameSlotSize) == 0) return slot + kFirstTableNumber;
        if (entry[0] == 0) {
            std::strcpy(entry, text);
            return slot + kFirstTableNumber;
        }
    }
    return 0;
}

}  // namespace zeloe
