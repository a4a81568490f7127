// Drives the real zeloe.dll the way the closed host does: LoadLibrary, GetProcAddress("ZelMain")
// and records built as raw bytes at the documented offsets, with the host's own pattern in every
// byte the driver must leave alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/message_log.h"
#include "support/work_dir.h"

namespace {

using ZelMainFunction = int32_t(__stdcall*)(void* request);
constexpr uint8_t kPattern = 0xA5;

class RawHost : public ::testing::Test {
  protected:
    void SetUp() override {
        module_ = LoadLibraryA("zeloe.dll");
        ASSERT_NE(module_, nullptr);
        FARPROC entry = GetProcAddress(module_, "ZelMain");
        std::memcpy(&zelMain_, &entry, sizeof entry);
        ASSERT_NE(zelMain_, nullptr);
        block_.assign(30160, kPattern);
    }
    void TearDown() override { FreeLibrary(module_); }

    static void Put32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
        std::memcpy(bytes.data() + offset, &value, 4);
    }
    static uint32_t Get32(const std::vector<uint8_t>& bytes, size_t offset) {
        uint32_t value;
        std::memcpy(&value, bytes.data() + offset, 4);
        return value;
    }
    static uint32_t Address(const void* p) {
        return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p));
    }

    int32_t Call(int32_t command, std::vector<uint8_t>& params, int32_t instanceNumber = 4) {
        std::vector<uint8_t> request(20, kPattern);
        Put32(request, 0, Address(block_.data()));
        Put32(request, 4, static_cast<uint32_t>(command));
        Put32(request, 8, static_cast<uint32_t>(instanceNumber));
        Put32(request, 16, Address(params.data()));
        const int32_t result = zelMain_(request.data());
        for (size_t i = 12; i < 16; ++i) EXPECT_EQ(request[i], kPattern);
        return result;
    }

    // Offsets of block bytes that differ from the host's pattern.
    std::vector<size_t> ChangedBlockBytes() const {
        std::vector<size_t> changed;
        for (size_t i = 0; i < block_.size(); ++i)
            if (block_[i] != kPattern) changed.push_back(i);
        return changed;
    }

    HMODULE module_ = nullptr;
    ZelMainFunction zelMain_ = nullptr;
    std::vector<uint8_t> block_;
    zeloe::testing::MessageLog log_;
};

TEST_F(RawHost, GetDriverInfo) {
    std::vector<uint8_t> info(32, kPattern);
    EXPECT_EQ(Call(14, info), 0);
    EXPECT_EQ(Get32(info, 0), 70u);
    EXPECT_STREQ(reinterpret_cast<const char*>(Get32(info, 4)), "Opto 22, TCP/IP");
    const auto* banner = reinterpret_cast<const unsigned char*>(Get32(info, 8));
    EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(banner)), 373u);
    EXPECT_EQ(banner[0], '\n');
    EXPECT_EQ(banner[1], 218);
    EXPECT_EQ(banner[372], '\n');
    EXPECT_EQ(Get32(info, 12), 30160u);
    EXPECT_EQ(Get32(info, 16), 1u);
    for (size_t i = 20; i < 28; ++i) EXPECT_EQ(info[i], kPattern) << i;
    EXPECT_EQ(Get32(info, 28), 3u);
    EXPECT_TRUE(ChangedBlockBytes().empty());
}

TEST_F(RawHost, SetTimeoutWritesOnlyTheTimeoutWord) {
    std::vector<uint8_t> params(16, kPattern);
    Put32(params, 12, 0);
    EXPECT_EQ(Call(15, params), 0);
    EXPECT_TRUE(ChangedBlockBytes().empty());
    Put32(params, 12, 250);
    EXPECT_EQ(Call(15, params), 0);
    EXPECT_EQ(Get32(block_, 0), 250u);
    EXPECT_EQ(ChangedBlockBytes(), (std::vector<size_t>{0, 1, 2, 3}));
}

TEST_F(RawHost, FixedAnswersAndCodesWithoutHandler) {
    std::vector<uint8_t> params(64, kPattern);
    EXPECT_EQ(Call(10, params), 1);
    EXPECT_EQ(Call(12, params), 2);
    EXPECT_EQ(Call(13, params), 2);
    for (int32_t code : {0, 8, 9, 16, -1}) EXPECT_EQ(Call(code, params), 1) << code;
    EXPECT_EQ(params, std::vector<uint8_t>(64, kPattern));
    EXPECT_TRUE(ChangedBlockBytes().empty());
    EXPECT_TRUE(log_.All().empty());
}

TEST_F(RawHost, StartOfflineThenDefineGate) {
    zeloe::testing::WorkDir work;
    work.Write("zelOE04.int", "001:127.0.0.1\n");
    std::vector<uint8_t> start(20, kPattern);
    Put32(start, 12, 0);  // commEnabled 0: addresses only
    Put32(start, 16, 150);
    EXPECT_EQ(Call(1, start, 4), 0);
    EXPECT_EQ(Get32(block_, 8), 0u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&block_[12 + 16])), "127.0.0.1");
    EXPECT_EQ(block_[5132], 0);             // started
    EXPECT_EQ(block_[5133], 0);             // table name slot 0 cleared
    EXPECT_EQ(block_[4108 + 4], kPattern);  // socket entries untouched
    EXPECT_EQ(block_[30158], kPattern);
    EXPECT_EQ(block_[30159], kPattern);
    EXPECT_EQ(Get32(block_, 4), 0xA5A5A5A5u);

    char address[40] = "001GLEVELS0012";
    std::vector<uint8_t> definition(36, kPattern);
    Put32(definition, 0, Address(address));
    Put32(definition, 8, 4);
    EXPECT_EQ(Call(3, definition), 0);
    EXPECT_EQ(Get32(definition, 4), 0xA5A5A5A5u);
    EXPECT_EQ(Get32(definition, 12), 0xA5A5A5A5u);
    EXPECT_EQ(Get32(definition, 16), 1u);
    EXPECT_EQ(Get32(definition, 20), 100u);
    EXPECT_EQ(Get32(definition, 24), 12u);
    EXPECT_EQ(Get32(definition, 28), 255u);
    EXPECT_EQ(Get32(definition, 32), 32u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&block_[5133])), "LEVELS");
}

TEST_F(RawHost, ReadOfAnUnconnectedStationAnswersTwo) {
    std::vector<uint8_t> start(20, kPattern);
    zeloe::testing::WorkDir work;
    work.Write("zelOE04.int", "");
    Put32(start, 12, 0);
    Call(1, start, 4);
    std::memset(&block_[4108], 0, 1024);
    char address[40] = "001CSPEED";
    std::vector<uint8_t> value(4, kPattern);
    std::vector<uint8_t> access(44, kPattern);
    Put32(access, 0, Address(address));
    Put32(access, 8, 1);
    Put32(access, 28, 4);
    Put32(access, 32, 1);
    Put32(access, 40, Address(value.data()));
    EXPECT_EQ(Call(5, access), 2);
    EXPECT_EQ(Call(7, access), 2);
    EXPECT_EQ(Call(6, access), 2);
    EXPECT_EQ(value, std::vector<uint8_t>(4, kPattern));
}

}  // namespace

namespace {

// What Windows reports of the installed build, through its version API.
TEST(VersionApi, ZeloeDllIsVersion530) {
    char path[MAX_PATH];
    HMODULE module = LoadLibraryA("zeloe.dll");
    ASSERT_NE(module, nullptr);
    GetModuleFileNameA(module, path, sizeof path);
    FreeLibrary(module);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 5);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), 30);
    EXPECT_EQ(HIWORD(fixed->dwProductVersionMS), 5);
    EXPECT_EQ(LOWORD(fixed->dwProductVersionMS), 30);
    char* text = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\ProductVersion",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, "5.30");
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\OriginalFilename",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, "zeloe.dll");
}

}  // namespace
