#include "protocol/read_block.h"

#include "base/text.h"
#include "host/messages.h"
#include "protocol/decode_reply.h"
#include "protocol/exchange.h"
#include "protocol/gate_access.h"

namespace zeloe {

int32_t ReadBlock(HostRequest* host) {
    const GateRequest request = TakeGateRequest(*host);
    const ParsedGate& gate = request.gate;
    if (request.link.socket == 0) return kNoReply;
    // More elements than a block gate may have would not fit the reply: refused unsent.
    if (request.count > kMaxBlockElements) return kRefused;

    // The range command goes out whatever the kind; the kind only decides what is stored.
    if (!gate.valid || !gate.hasIndex) return kRefused;
    const auto end = static_cast<uint16_t>(gate.index + request.count);

    char command[kCommandSize];
    TextBuilder text(command, sizeof command);
    text.Decimal(end).Byte(' ').Decimal(gate.index).Text(" }").Text(gate.table).Text(" TRange.\r");

    char reply[kReplySize];
    uint16_t replyLength = 0;
    Result result = ExchangeCommand(request.link, gate.name, command,
                                    static_cast<uint16_t>(text.Length()), reply, &replyLength);
    if (result == kOk) {
        const int payloadLength = replyLength > kPayloadOffset ? replyLength - kPayloadOffset : 0;
        // A block read has no point record: point and status kinds store nothing.
        if (!DecodeReadReply(gate, request.count, request.hostValue, reply + kPayloadOffset,
                             payloadLength, nullptr)) {
            err(kCategoryInfo, kShortReplyMessage, gate.table);
            result = kRefused;
        }
    }
    if (result == kNoReply)
        err(kCategoryAlarm, "ZELOE: Failed to read data block from PLC %d!", gate.station);
    return result;
}

}  // namespace zeloe
