#include "entry/zelmain.h"

#include "entry/small_commands.h"
#include "gate/definition.h"
#include "host/codes.h"
#include "link/lifecycle.h"
#include "protocol/read_block.h"
#include "protocol/read_gate.h"
#include "protocol/write_gate.h"

namespace zeloe {
namespace {

using Handler = int32_t (*)(HostRequest*);

// Codes the host never sends (0, 8, 9, anything outside 0..15) land here instead of
// indexing past the table or calling through an empty slot.
int32_t UnknownCommand(HostRequest*) {
    return kRefused;
}

constexpr Handler kCommandTable[kCommandSlots] = {
    UnknownCommand,   // 0
    Start,            // 1
    RestartStation,   // 2
    DefineGate,       // 3
    DefineBlockGate,  // 4
    ReadGate,         // 5
    ReadBlock,        // 6
    WriteGate,        // 7
    UnknownCommand,   // 8
    UnknownCommand,   // 9
    AnswerOne,        // 10
    Shutdown,         // 11
    AnswerTwo,        // 12
    AnswerTwo,        // 13
    GetDriverInfo,    // 14
    SetTimeout,       // 15
};

}  // namespace
}  // namespace zeloe

extern "C" int32_t ZELOE_STDCALL ZelMain(zeloe::HostRequest* request) {
    const auto code = static_cast<uint32_t>(request->command);
    if (code >= zeloe::kCommandSlots) return zeloe::UnknownCommand(request);
    return zeloe::kCommandTable[code](request);
}
