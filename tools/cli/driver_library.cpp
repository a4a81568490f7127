#include "driver_library.h"

#include <cstring>
#include <filesystem>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace zeloe::cli {

namespace {

std::filesystem::path ProgramDirectory() {
#if defined(_WIN32)
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    return std::filesystem::path(path).parent_path();
#else
    std::error_code error;
    auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
#endif
}

}  // namespace

// Next to the program, or one folder up (the release package keeps the host in tools/).
std::string DefaultDriverPath() {
#if defined(_WIN32)
    const char* name = "zeloe.dll";
#else
    const char* name = "libzeloe.so";
#endif
    const auto here = ProgramDirectory() / name;
    const auto above = ProgramDirectory().parent_path() / name;
    return (std::filesystem::exists(here) || !std::filesystem::exists(above) ? here : above)
        .string();
}

DriverLibrary::DriverLibrary(const std::string& path)
    : path_(path.empty() ? DefaultDriverPath() : path) {
#if defined(_WIN32)
    HMODULE module = LoadLibraryA(path_.c_str());
    if (module == nullptr) {
        error_ = "cannot load " + path_ + " (error " + std::to_string(GetLastError()) + ")";
        return;
    }
    module_ = module;
    FARPROC entry = GetProcAddress(module, "ZelMain");
    if (entry != nullptr) std::memcpy(&entry_, &entry, sizeof entry_);
#else
    module_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module_ == nullptr) {
        error_ = dlerror();
        return;
    }
    void* entry = dlsym(module_, "ZelMain");
    if (entry != nullptr) std::memcpy(&entry_, &entry, sizeof entry_);
#endif
    if (entry_ == nullptr) error_ = path_ + " exports no ZelMain";
}

DriverLibrary::~DriverLibrary() {
#if defined(_WIN32)
    if (module_ != nullptr) FreeLibrary(static_cast<HMODULE>(module_));
#else
    if (module_ != nullptr) dlclose(module_);
#endif
}

int32_t DriverLibrary::Call(HostRequest& request) const {
    return entry_(&request);
}

}  // namespace zeloe::cli
