#include "harness.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

#include "entry/zelmain.h"
#include "tolmar.h"

namespace zeloe::fuzz {
namespace {

// Messages are formatted (so that every text argument is read) and dropped.
void DropMessage(void*, int, const char*) {}

void EnterWorkDirectory() {
    static bool entered = false;
    if (entered) return;
    entered = true;
    TolmarSetSink(&DropMessage, nullptr);
    auto path = std::filesystem::temp_directory_path() /
                ("zeloe-fuzz-" + std::to_string(static_cast<long>(std::rand())) + "-" +
                 std::to_string(static_cast<long>(::getpid())));
    std::filesystem::create_directories(path);
    std::filesystem::current_path(path);
}

}  // namespace

void Fail(const char* what) {
    std::fprintf(stderr, "zeloe fuzz: %s\n", what);
    std::abort();
}

Guarded::Guarded(size_t size, uint8_t fill) : size_(size), bytes_(size + 2 * kGuard, kGuardByte) {
    std::memset(bytes_.data() + kGuard, fill, size);
}

void Guarded::Check() const {
    for (size_t i = 0; i < kGuard; ++i)
        if (bytes_[i] != kGuardByte || bytes_[kGuard + size_ + i] != kGuardByte)
            Fail("a write outside the host's buffer");
}

Instance::Instance(uint8_t fill) : memory_(sizeof(InstanceBlock), fill) {
    // Socket entries the host left would be closed by Shutdown: keep them empty.
    std::memset(Block().stationSocket, 0, sizeof Block().stationSocket);
    reserved4_ = Block().reserved4;
    std::memcpy(tail_, Block().tail, sizeof tail_);
}

int32_t Instance::Call(int32_t command, void* params, int32_t instanceNumber) {
    HostRequest request{&Block(), command, instanceNumber, 0, params};
    const int32_t result = ZelMain(&request);
    Check();
    return result;
}

int32_t Instance::Start(int32_t commEnabled) {
    StartParams params{};
    params.commEnabled = commEnabled;
    params.startTimeout = 100;
    return Call(1, &params);
}

void Instance::Check() const {
    memory_.Check();
    auto& block = *reinterpret_cast<const InstanceBlock*>(const_cast<Guarded&>(memory_).Data());
    if (block.reserved4 != reserved4_ || std::memcmp(block.tail, tail_, sizeof tail_) != 0)
        Fail("the driver wrote a block byte it must leave alone");
}

void StartOneStation(Instance& instance, testing::CommandScript script) {
    static const bool written = (WriteStationFile(std::string("001:10.0.0.1\n")), true);
    (void)written;
    auto& net = testing::FakeNet::Get();
    net.Reset();
    net.At("10.0.0.1").onCommand = std::move(script);
    instance.Start(1);
}

void WriteStationFile(const uint8_t* data, size_t size) {
    EnterWorkDirectory();
    const int fd = ::open("zelOE01.int", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) Fail("cannot write the station file");
    for (size_t done = 0; done < size;) {
        const ssize_t wrote = ::write(fd, data + done, size - done);
        if (wrote <= 0) Fail("cannot write the station file");
        done += static_cast<size_t>(wrote);
    }
    ::close(fd);
}

void WriteStationFile(const std::string& text) {
    WriteStationFile(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

}  // namespace zeloe::fuzz
