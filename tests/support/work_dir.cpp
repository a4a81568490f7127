#include "support/work_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace zeloe::testing {

WorkDir::WorkDir() : previous_(std::filesystem::current_path()) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::random_device entropy;
    std::string name =
        std::string("zeloe-") + (info ? info->name() : "test") + "-" + std::to_string(entropy());
    for (auto& c : name)
        if (c == '/') c = '_';
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(path_);
    std::filesystem::current_path(path_);
}

WorkDir::~WorkDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void WorkDir::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(path_ / name, std::ios::binary);
    out << bytes;
}

}  // namespace zeloe::testing
