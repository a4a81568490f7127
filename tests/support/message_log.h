// Records the driver's messages, in order, through the stand-in message module's sink.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zeloe::testing {

struct Message {
    int category;
    std::string text;
    bool operator==(const Message&) const = default;
};

class MessageLog {
  public:
    MessageLog();
    ~MessageLog();
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    const std::vector<Message>& All() const { return messages_; }
    std::vector<std::string> Texts() const;
    void Clear() { messages_.clear(); }

  private:
    static void Sink(void* context, int category, const char* text);
    std::vector<Message> messages_;
};

}  // namespace zeloe::testing
