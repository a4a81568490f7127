#include "support/message_log.h"

#include "tolmar.h"

namespace zeloe::testing {

MessageLog::MessageLog() {
    TolmarSetSink(&MessageLog::Sink, this);
}
MessageLog::~MessageLog() {
    TolmarSetSink(nullptr, nullptr);
}

void MessageLog::Sink(void* context, int category, const char* text) {
    static_cast<MessageLog*>(context)->messages_.push_back({category, text});
}

std::vector<std::string> MessageLog::Texts() const {
    std::vector<std::string> texts;
    for (const auto& message : messages_) texts.push_back(message.text);
    return texts;
}

}  // namespace zeloe::testing
