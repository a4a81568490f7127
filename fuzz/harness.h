// What every fuzz target shares: host memory with guard bytes, a driver instance called through
// ZelMain as the host calls it, and a private working directory for the station file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/instance_block.h"
#include "host/records.h"
#include "support/fake_net.h"

namespace zeloe::fuzz {

// Host memory with 64 guard bytes on each side. The driver may write only inside; Check()
// stops the run when a guard byte changed.
class Guarded {
  public:
    explicit Guarded(size_t size, uint8_t fill = 0xEE);
    uint8_t* Data() { return bytes_.data() + kGuard; }
    size_t Size() const { return size_; }
    void Check() const;

  private:
    static constexpr size_t kGuard = 64;
    static constexpr uint8_t kGuardByte = 0xA5;
    size_t size_;
    std::vector<uint8_t> bytes_;
};

// One driver instance in guarded host memory, filled with the host's own bytes.
class Instance {
  public:
    explicit Instance(uint8_t fill = 'x');
    InstanceBlock& Block() { return *reinterpret_cast<InstanceBlock*>(memory_.Data()); }
    int32_t Call(int32_t command, void* params, int32_t instanceNumber = 1);
    int32_t Start(int32_t commEnabled);
    int32_t Shutdown() { return Call(11, nullptr); }
    // Guards, and the block bytes the driver never touches.
    void Check() const;

  private:
    Guarded memory_;
    uint32_t reserved4_;
    uint8_t tail_[2];
};

// Moves the process into a fresh directory of its own (once) and writes the station file of
// instance 1 there.
void WriteStationFile(const uint8_t* data, size_t size);
void WriteStationFile(const std::string& text);

// One scripted controller as station 1 (10.0.0.1), answering every command, the power-up
// clear included, by `script`; the instance is started against it.
void StartOneStation(Instance& instance, testing::CommandScript script);

// Stops the run: a fault the fuzzer found.
[[noreturn]] void Fail(const char* what);

}  // namespace zeloe::fuzz
