// The message catalogue (docs/messages.md) and the driver cannot drift apart: every message
// text in the driver's sources has an entry, and every entry is a text the driver still has.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

namespace {

std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Every message the driver passes to err begins with one of these.
const std::regex kMessageLiteral(R"re("(( ?ZELOE|ZelOE|DisConnect)[^"\n]*)")re");

std::set<std::string> DriverMessages() {
    std::set<std::string> messages;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(ZELOE_SOURCE_DIR "/driver")) {
        const auto extension = entry.path().extension();
        if (extension != ".cpp" && extension != ".h") continue;
        const std::string text = Read(entry.path());
        for (std::sregex_iterator it(text.begin(), text.end(), kMessageLiteral), end; it != end;
             ++it)
            messages.insert((*it)[1].str());
    }
    return messages;
}

// The first column of every table row of the catalogue, between its backticks.
std::set<std::string> CatalogueMessages() {
    std::set<std::string> messages;
    std::ifstream in(ZELOE_SOURCE_DIR "/docs/messages.md");
    const std::regex row(R"(^\| `([^`]+)` \|)");
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_search(line, m, row)) messages.insert(m[1].str());
    }
    return messages;
}

TEST(MessageCatalogue, ListsExactlyTheDriversMessages) {
    const auto driver = DriverMessages();
    const auto catalogue = CatalogueMessages();
    ASSERT_GT(driver.size(), 30u);
    for (const auto& message : driver)
        EXPECT_TRUE(catalogue.count(message)) << "not in docs/messages.md: \"" << message << "\"";
    for (const auto& message : catalogue)
        EXPECT_TRUE(driver.count(message)) << "the driver no longer has: \"" << message << "\"";
}

}  // namespace
