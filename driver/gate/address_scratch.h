// The driver-wide address scratch of the definition commands: the address under validation,
// its type letter folded, blank-padded to 33 characters. Its messages print it.
#pragma once

namespace zeloe {

// Copies an address into the scratch (at most 33 characters), folds the type letter in place
// and fills the rest up to position 32 with blanks. Returns the scratch.
char* LoadAddressScratch(const char* address);

// The scratch: 33 characters and a terminator that is never written.
const char* AddressScratch();

// Position of the first blank among the first 32 characters (32 when there is none), minus 4.
int IndexPosition(const char* text);

}  // namespace zeloe
