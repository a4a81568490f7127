// A driver instance against scripted controllers: an instance block, the message log, a work
// directory for the station file, and helpers that call ZelMain as the host does.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/codes.h"
#include "host/instance_block.h"
#include "host/records.h"
#include "entry/zelmain.h"
#include "support/fake_net.h"
#include "support/message_log.h"
#include "support/work_dir.h"

namespace zeloe::testing {

// Works with whatever transport the test links: real sockets or the scripted fake.
class InstanceFixture : public ::testing::Test {
  protected:
    static constexpr int32_t kInstance = 3;  // reads zelOE03.int

    InstanceFixture() { std::memset(block.get(), 0, sizeof *block); }

    int32_t Call(int32_t command, void* params) {
        HostRequest request{block.get(), command, kInstance, 0, params};
        return ZelMain(&request);
    }

    int32_t Start(const std::string& stationFile, int32_t commEnabled = 1,
                  int32_t startTimeout = 150) {
        work.Write("zelOE03.int", stationFile);
        StartParams params{};
        params.commEnabled = commEnabled;
        params.startTimeout = startTimeout;
        return Call(kCommandStart, &params);
    }

    int32_t Restart(int32_t station) {
        RestartParams params{station};
        return Call(kCommandRestartStation, &params);
    }

    struct Access {
        std::string address;
        int32_t station = 1;
        int32_t hostType = 4;
        uint32_t elementCount = 1;
        std::vector<uint8_t> value = std::vector<uint8_t>(256, 0xEE);
    };

    int32_t Gate(int32_t command, Access& access) {
        // The host's storage behind an address holds at least 33 bytes.
        std::vector<char> address(std::max<size_t>(access.address.size() + 1, 33), 0);
        std::memcpy(address.data(), access.address.data(), access.address.size());
        GateAccess record{};
        record.address = address.data();
        record.station = access.station;
        record.hostType = access.hostType;
        record.elementCount = access.elementCount;
        record.value = access.value.data();
        return Call(command, &record);
    }
    int32_t Read(Access& access) { return Gate(kCommandReadGate, access); }
    int32_t ReadBlock(Access& access) { return Gate(kCommandReadBlock, access); }
    int32_t Write(Access& access) { return Gate(kCommandWriteGate, access); }

    std::unique_ptr<InstanceBlock> block = std::make_unique<InstanceBlock>();
    MessageLog log;
    WorkDir work;
};

// Against scripted controllers (links the fake transport).
class DriverFixture : public InstanceFixture {
  protected:
    DriverFixture() { FakeNet::Get().Reset(); }

    // Starts with one scripted controller as station 1 and forgets the start's traffic.
    void StartOneStation(const std::string& address = "10.0.0.1") {
        ASSERT_EQ(Start("001:" + address + "\n"), 0);
        ASSERT_NE(block->stationSocket[1], 0u);
        FakeNet::Get().sent.clear();
        FakeNet::Get().sleeps.clear();
        FakeNet::Get().waits.clear();
        log.Clear();
    }
};

}  // namespace zeloe::testing
