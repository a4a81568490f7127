#include "entry/small_commands.h"

#include "entry/banner.h"
#include "host/codes.h"
#include "host/instance_block.h"

namespace zeloe {

const char kShortName[] = "Opto 22, TCP/IP";

namespace {
constexpr auto kBannerBytes = BuildBanner();
}  // namespace

const char* BannerText() {
    return kBannerBytes.data();
}

int32_t GetDriverInfo(HostRequest* request) {
    auto* info = static_cast<DriverInfo*>(request->params);
    info->driverCode = 70;
    info->shortName = kShortName;
    info->banner = BannerText();
    info->blockSize = kBlockSize;
    info->infoWordA = 1;
    info->infoWordB = 3;
    return kOk;
}

int32_t SetTimeout(HostRequest* request) {
    const auto* params = static_cast<const TimeoutParams*>(request->params);
    if (params->timeoutMs != 0) request->instance->timeoutMs = params->timeoutMs;
    return kOk;
}

int32_t AnswerOne(HostRequest*) {
    return kRefused;
}
int32_t AnswerTwo(HostRequest*) {
    return kNoReply;
}

}  // namespace zeloe
