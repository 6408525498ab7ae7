#include "support/ShellFolders.h"

#include <filesystem>
#include <vector>

namespace testsupport {

struct ShellFolders::Saved {
    std::vector<std::unique_ptr<ScopedEnv>> env;
};

ShellFolders::ShellFolders(const TempDir& home) : saved_(std::make_unique<Saved>()) {
    const std::string root = home.Path();
    const auto set = [&](const char* name, const std::string& value) {
        saved_->env.push_back(std::make_unique<ScopedEnv>(name, value));
    };
    set("HOME", root);
    set("XDG_DATA_HOME", root + ".local/share");
    set("XDG_CONFIG_HOME", root + ".config");
    // The registry stand-in at its own place under the home.
    saved_->env.push_back(std::make_unique<ScopedEnv>("SKYVANE_REGISTRY_DIR", ""));
}

ShellFolders::~ShellFolders() = default;

}  // namespace testsupport
