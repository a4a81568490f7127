// Loads the driver library at run time, as a host program does, and calls its entry point.
#pragma once

#include <cstdint>
#include <string>

#include "entry/export.h"
#include "host/records.h"

namespace zeloe::cli {

class DriverLibrary {
  public:
    // `path` empty: the driver next to this program (zeloe.dll or libzeloe.so).
    explicit DriverLibrary(const std::string& path);
    ~DriverLibrary();
    DriverLibrary(const DriverLibrary&) = delete;
    DriverLibrary& operator=(const DriverLibrary&) = delete;

    bool Loaded() const { return entry_ != nullptr; }
    const std::string& Error() const { return error_; }
    const std::string& Path() const { return path_; }
    int32_t Call(HostRequest& request) const;

  private:
    void* module_ = nullptr;
    ZelMainFunction entry_ = nullptr;
    std::string path_;
    std::string error_;
};

std::string DefaultDriverPath();

}  // namespace zeloe::cli
