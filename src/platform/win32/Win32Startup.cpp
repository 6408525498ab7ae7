// Start-up values on Windows: string values under HKEY_CURRENT_USER
// "Software\MicroSoft\Windows\CurrentVersion\" + "Run" or "RunServicesOnce".
// The key's odd capital is how the program has always spelled it; the
// registry compares key names without regard to case, so it is the key
// Windows reads.

#include <string>

#include "platform/win32/Win32Backend.h"

namespace platform::win32 {

namespace {

constexpr std::string_view kBaseKey = "Software\\MicroSoft\\Windows\\CurrentVersion\\";

class Win32StartupValues final : public StartupValues {
public:
    bool Write(std::string_view subkey, std::string_view name, std::string_view command) override {
        auto key = Open(subkey);
        return key && key->WriteString(name, command);
    }

    bool Delete(std::string_view subkey, std::string_view name) override {
        auto key = Open(subkey);
        if (!key) return false;
        return key->DeleteValue(name) || !key->ValueExists(name);
    }

    std::optional<bool> Exists(std::string_view subkey, std::string_view name) override {
        auto key = Open(subkey);
        if (!key) return std::nullopt;
        return key->ValueExists(name);
    }

    std::optional<std::string> Read(std::string_view subkey, std::string_view name) override {
        auto key = Open(subkey);
        if (!key) return std::nullopt;
        return key->ReadString(name);
    }

private:
    // Created when missing, as the values are always written there.
    std::unique_ptr<RegistryKey> Open(std::string_view subkey) {
        if (subkey.empty() || subkey.find('\\') != std::string_view::npos) return nullptr;
        return registry_->OpenKey(RegRoot::CurrentUser, std::string(kBaseKey) + std::string(subkey),
                                  RegAccess::Write);
    }

    std::unique_ptr<Registry> registry_ = MakeRegistry();
};

}  // namespace

std::unique_ptr<StartupValues> MakeStartupValues() {
    return std::make_unique<Win32StartupValues>();
}

}  // namespace platform::win32
