// A fresh, empty current directory for one test (the driver reads its station file from there).
#pragma once

#include <filesystem>
#include <string>

namespace zeloe::testing {

class WorkDir {
  public:
    WorkDir();
    ~WorkDir();
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    // Writes a file of the work directory byte for byte.
    void Write(const std::string& name, const std::string& bytes) const;
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

}  // namespace zeloe::testing
