// The version resource of the built zeloe.dll, read back by parsing the PE file: file and
// product version 5.30 with the build number, product name, description and file name.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "entry/version.h"

namespace {

class PeFile {
  public:
    explicit PeFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), {});
    }
    uint32_t U32(size_t at) const { return U16(at) | (static_cast<uint32_t>(U16(at + 2)) << 16); }
    uint16_t U16(size_t at) const {
        if (at + 2 > bytes_.size()) throw std::out_of_range("outside the file");
        return static_cast<uint16_t>(bytes_[at] | (bytes_[at + 1] << 8));
    }

    // The data of the first RT_VERSION resource, or empty.
    std::vector<uint8_t> VersionResource() const {
        const size_t pe = U32(0x3C);
        if (U32(pe) != 0x00004550) return {};  // "PE\0\0"
        const size_t sections = U16(pe + 6);
        const size_t optional = pe + 24;
        const size_t optionalSize = U16(pe + 20);
        const uint32_t resourceRva = U32(optional + 96 + 2 * 8);  // data directory entry 2
        const size_t table = optional + optionalSize;
        for (size_t i = 0; i < sections; ++i) {
            const size_t s = table + 40 * i;
            const uint32_t rva = U32(s + 12), size = U32(s + 16), raw = U32(s + 20);
            if (resourceRva < rva || resourceRva >= rva + size) continue;
            const size_t root = raw + (resourceRva - rva);
            auto toFile = [&](uint32_t dataRva) { return raw + (dataRva - rva); };
            // Three levels: type (16, RT_VERSION), name, language; then the data entry.
            size_t directory = root;
            uint32_t wanted = 16;
            for (int level = 0; level < 3; ++level) {
                const size_t entries = U16(directory + 12) + U16(directory + 14);
                size_t found = 0;
                for (size_t e = 0; e < entries && found == 0; ++e) {
                    const size_t entry = directory + 16 + 8 * e;
                    if (level == 0 && U32(entry) != wanted) continue;
                    found = entry;
                }
                if (found == 0) return {};
                const uint32_t next = U32(found + 4);
                if (level < 2) {
                    directory = root + (next & 0x7FFFFFFF);
                } else {
                    const size_t data = root + next;
                    const size_t at = toFile(U32(data));
                    return {bytes_.begin() + static_cast<long>(at),
                            bytes_.begin() + static_cast<long>(at + U32(data + 4))};
                }
            }
        }
        return {};
    }

  private:
    std::vector<uint8_t> bytes_;
};

std::u16string Utf16(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// The value that follows a key of the string table (both zero-terminated UTF-16, the value
// aligned to four bytes).
std::string StringValue(const std::vector<uint8_t>& resource, const std::string& key) {
    const std::u16string wanted = Utf16(key) + u'\0';
    const auto* begin = resource.data();
    for (size_t at = 0; at + wanted.size() * 2 <= resource.size(); at += 2) {
        if (std::memcmp(begin + at, wanted.data(), wanted.size() * 2) != 0) continue;
        size_t value = (at + wanted.size() * 2 + 3) & ~size_t{3};
        std::string text;
        for (; value + 1 < resource.size() && (resource[value] || resource[value + 1]); value += 2)
            text += static_cast<char>(resource[value]);
        return text;
    }
    return "";
}

TEST(VersionResource, ZeloeDllCarriesTheProjectVersion) {
    const std::string dll = ZELOE_WIN32_DLL;
    if (!std::filesystem::exists(dll)) GTEST_SKIP() << dll << " not built (cmake --preset win32)";
    const auto resource = PeFile(dll).VersionResource();
    ASSERT_FALSE(resource.empty()) << "no version resource in " << dll;

    // VS_FIXEDFILEINFO follows the key "VS_VERSION_INFO" and its padding.
    size_t fixed = 0;
    for (size_t at = 0; at + 4 <= resource.size(); at += 4) {
        uint32_t word;
        std::memcpy(&word, resource.data() + at, 4);
        if (word == 0xFEEF04BD) {
            fixed = at;
            break;
        }
    }
    ASSERT_NE(fixed, 0u) << "no fixed file information";
    uint32_t fields[6];
    std::memcpy(fields, resource.data() + fixed, sizeof fields);
    // Version 5.30 with the build number of that build (the commit count it was made from).
    const uint32_t major = ZELOE_VERSION_MAJOR, minor = ZELOE_VERSION_MINOR;
    EXPECT_EQ(fields[2], (major << 16) | minor);
    EXPECT_EQ(fields[4], (major << 16) | minor);
    EXPECT_EQ(fields[5], fields[3]);
    EXPECT_EQ(std::string(ZELOE_VERSION_TEXT), "5.30");

    EXPECT_EQ(StringValue(resource, "ProductVersion"), "5.30");
    EXPECT_EQ(StringValue(resource, "FileVersion"), "5.30.0." + std::to_string(fields[3]));
    EXPECT_EQ(StringValue(resource, "ProductName"), "zeloe");
    EXPECT_EQ(StringValue(resource, "OriginalFilename"), "zeloe.dll");
    EXPECT_EQ(StringValue(resource, "FileDescription"),
              "zeloe Opto 22 controllers driver, Ethernet TCP/IP");
}

}  // namespace
