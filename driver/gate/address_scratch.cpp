#include "gate/address_scratch.h"

#include "base/text.h"
#include "gate/address.h"

namespace zeloe {
namespace {

// All zero when the driver is loaded; position 33 is never written. Shared by all instances:
// the host calls the driver from one thread at a time.
char gAddressScratch[kAddressScanLength + 1] = {};

}  // namespace

char* LoadAddressScratch(const char* address) {
    const int length = BoundedLength(address, kAddressScanLength);
    for (int i = 0; i < length; ++i) gAddressScratch[i] = address[i];
    gAddressScratch[3] =
        static_cast<char>(FoldTypeLetter(static_cast<uint8_t>(gAddressScratch[3])));
    for (int i = length; i <= kMaxAddressLength; ++i) gAddressScratch[i] = ' ';
    return gAddressScratch;
}

const char* AddressScratch() {
    return gAddressScratch;
}

int IndexPosition(const char* text) {
    int position = 0;
    while (position < kMaxAddressLength && text[position] != ' ' && text[position] != 0) ++position;
    return position - kIndexDigits;
}

}  // namespace zeloe
