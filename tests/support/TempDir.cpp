#include "TempDir.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testsupport {

namespace {

// Sets an environment variable of this process, or removes it when `set` is
// false. The backends read it from the process environment.
void PutEnv(const std::string& name, const std::string& value, bool set) {
#ifdef _WIN32
    // The C runtime has no setenv; _putenv_s changes the process environment
    // too. It removes a variable set to nothing, which the backends treat
    // like one that is unset anyway.
    _putenv_s(name.c_str(), set ? value.c_str() : "");
#else
    if (set)
        setenv(name.c_str(), value.c_str(), 1);
    else
        unsetenv(name.c_str());
#endif
}

}  // namespace

TempDir::TempDir() {
    // create_directory creates atomically and tells whether the name was
    // free, which is all mkdtemp does, on every system.
    static std::mt19937_64 random{
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = base / ("skyvane-test-" + std::to_string(random() % 1000000000));
        if (fs::create_directory(candidate)) {
            // The native separator: the logic ends a directory with it, and
            // the paths it builds from this one must equal the test's own.
            path_ = candidate.string() + static_cast<char>(fs::path::preferred_separator);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory in " + base.string());
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void TempDir::Write(std::string_view name, std::string_view bytes) const {
    fs::path file = Path(name);
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string TempDir::Read(std::string_view name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool TempDir::Exists(std::string_view name) const {
    return fs::exists(Path(name));
}

void TempDir::MakeDir(std::string_view name) const {
    fs::create_directories(Path(name));
}

ScopedEnv::ScopedEnv(std::string name, const std::string& value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) {
        hadValue_ = true;
        oldValue_ = old;
    }
    PutEnv(name_, value, true);
}

ScopedEnv::~ScopedEnv() {
    PutEnv(name_, oldValue_, hadValue_);
}

}  // namespace testsupport
