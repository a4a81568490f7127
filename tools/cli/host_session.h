// One driver instance as a host keeps it: the instance block, the station file's directory,
// and the driver's messages printed with their category.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "driver_library.h"
#include "values.h"

namespace zeloe::cli {

struct SessionOptions {
    std::string library;
    int32_t instance = 1;
    int32_t timeoutMs = 1500;
    bool quiet = false;  // hide the driver's messages
};

struct Definition {
    int32_t result, station, kindCode, elementIndex, outWordA, outWordB;
};

class HostSession {
  public:
    explicit HostSession(const SessionOptions& options);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    bool Ready() const { return library_.Loaded(); }
    const std::string& Error() const { return library_.Error(); }

    DriverInfo Info();
    int32_t Start(bool connect = true);
    int32_t Shutdown();
    int32_t Restart(int32_t station);
    Definition Define(const std::string& address, int32_t hostType, bool block = false,
                      int32_t blockLength = 0);
    int32_t Read(const std::string& address, int32_t station, int32_t hostType, ValueBuffer& value);
    int32_t ReadBlock(const std::string& address, int32_t station, int32_t hostType, uint16_t count,
                      ValueBuffer& value);
    int32_t Write(const std::string& address, int32_t station, int32_t hostType,
                  ValueBuffer& value);
    std::string StationAddress(int station) const;
    // Retries the driver reported ("Re-sending command") since the session began.
    int RetriesSeen() const { return retries_; }

  private:
    int32_t Call(int32_t command, void* params);
    int32_t Access(int32_t command, const std::string& address, int32_t station, int32_t hostType,
                   uint32_t count, ValueBuffer& value);
    static void PrintMessage(void* context, int category, const char* text);

    SessionOptions options_;
    DriverLibrary library_;
    std::vector<uint8_t> block_;
    bool started_ = false;
    int retries_ = 0;
};

}  // namespace zeloe::cli
