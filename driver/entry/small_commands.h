// Commands that need no controller traffic: driver info, time-out, and the fixed answers.
#pragma once

#include <cstdint>

#include "host/records.h"

namespace zeloe {

extern const char kShortName[];
const char* BannerText();

int32_t GetDriverInfo(HostRequest* request);
int32_t SetTimeout(HostRequest* request);
int32_t AnswerOne(HostRequest* request);
int32_t AnswerTwo(HostRequest* request);

}  // namespace zeloe
