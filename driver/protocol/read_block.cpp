#include "protocol/read_block.h"

#include "gate/address.h"
#include "host/messages.h"
#include "host/text.h"
#include "protocol/decode_reply.h"
#include "protocol/exchange.h"
#include "protocol/point_record.h"
#include "protocol/station_check.h"

namespace zeloe {

int32_t ReadBlock(HostRequest* request) {
    const auto& access = *static_cast<const GateAccess*>(request->params);
    if (!StationConnected(*request)) return 2;

    const auto count = static_cast<uint16_t>(access.elementCount & 0xFFFFu);
    // More elements than a block gate may have would not fit the reply: refused unsent.
    if (count > kMaxBlockElements) return 1;

    GateAddress gate;
    SplitGateAddress(access.address, gate);
    char* name = gate.name;
    uint16_t start = 0;
    if (!gate.valid || !SplitTableName(name, start)) return 1;
    const auto end = static_cast<uint16_t>(start + count);

    char command[kCommandSize];
    TextBuilder text(command, sizeof command);
    text.Decimal(end).Byte(' ').Decimal(start).Text(" }").Text(name).Text(" TRange.\r");

    char reply[kReplySize];
    uint16_t replyLength = 0;
    uint8_t result = ExchangeCommand(request, command, static_cast<uint16_t>(text.Length()), reply,
                                     &replyLength);
    if (result == kExchangeOk) {
        const int payloadLength = replyLength > kPayloadOffset ? replyLength - kPayloadOffset : 0;
        // A block read has no point record: point and status kinds store nothing.
        if (!DecodeReadReply(access, reply + kPayloadOffset, payloadLength, nullptr)) {
            err(kCategoryInfo, kShortReplyMessage, name);
            result = 1;
        }
    }
    if (result == kExchangeNoReply)
        err(kCategoryAlarm, "ZELOE: Failed to read data block from PLC %d!", access.station);
    return result;
}

}  // namespace zeloe
