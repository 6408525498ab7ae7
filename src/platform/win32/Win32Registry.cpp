// The registry on Windows: the ANSI registry calls on HKEY_LOCAL_MACHINE and
// HKEY_CURRENT_USER. Windows already compares key and value names without
// regard to case, keeps values across processes and creates parent keys, so
// this is a thin layer that only turns error codes into the interface's
// return values.

#include <string>
#include <vector>

#include "platform/win32/Win32Backend.h"

namespace platform::win32 {

namespace {

HKEY RootKey(RegRoot root) {
    return root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// The SETI@home client is a 32-bit program: on 64-bit Windows its keys under
// HKEY_LOCAL_MACHINE\Software live in the registry's 32-bit view. We look at
// that same view, whichever way we were built, so both see one "ClientDir"
// and one set of start-up entries. HKEY_CURRENT_USER\Software has only one
// view; 32-bit Windows ignores the flag.
constexpr REGSAM kView = KEY_WOW64_32KEY;

class Win32RegistryKey final : public RegistryKey {
public:
    Win32RegistryKey(HKEY key, RegAccess access) : key_(key), access_(access) {}
    ~Win32RegistryKey() override { RegCloseKey(key_); }
    Win32RegistryKey(const Win32RegistryKey&) = delete;
    Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

    std::optional<std::string> ReadString(std::string_view name) override {
        if (!UsableString(name)) return std::nullopt;
        const std::string valueName(name);
        // The size can change between asking and reading when another
        // process writes the value meanwhile: ask again then.
        std::vector<BYTE> data(256);
        for (int attempt = 0; attempt < 8; ++attempt) {
            DWORD type = 0;
            auto size = static_cast<DWORD>(data.size());
            const LSTATUS status =
                RegQueryValueExA(key_, valueName.c_str(), nullptr, &type, data.data(), &size);
            if (status == ERROR_MORE_DATA) {
                data.resize(static_cast<std::size_t>(size) + 1);
                continue;
            }
            if (status != ERROR_SUCCESS) return std::nullopt;
            // Expandable strings come back as stored, %NAME% references
            // and all: callers get the text that is in the registry.
            if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
            // The stored bytes need not end in a NUL; where one is, the
            // string ends there.
            std::string value(reinterpret_cast<const char*>(data.data()), size);
            const auto nul = value.find('\0');
            if (nul != std::string::npos) value.resize(nul);
            return value;
        }
        return std::nullopt;
    }

    bool ValueExists(std::string_view name) override {
        if (!UsableString(name)) return false;
        const std::string valueName(name);
        return RegQueryValueExA(key_, valueName.c_str(), nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
    }

    bool WriteString(std::string_view name, std::string_view value) override {
        if (access_ != RegAccess::Write) return false;
        // A REG_SZ value ends at its first NUL: one inside would be lost.
        if (!UsableString(name) || !UsableString(value)) return false;
        if (value.size() >= UINT32_MAX) return false;
        const std::string valueName(name);
        const std::string data(value);
        const auto size = static_cast<DWORD>(data.size() + 1);  // with the NUL
        return RegSetValueExA(key_, valueName.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(data.c_str()), size) == ERROR_SUCCESS;
    }

    bool DeleteValue(std::string_view name) override {
        if (access_ != RegAccess::Write) return false;
        if (!UsableString(name)) return false;
        const std::string valueName(name);
        return RegDeleteValueA(key_, valueName.c_str()) == ERROR_SUCCESS;
    }

private:
    HKEY key_;
    RegAccess access_;
};

class Win32Registry final : public Registry {
public:
    std::unique_ptr<RegistryKey> OpenKey(RegRoot root, std::string_view path,
                                         RegAccess access) override {
        // "Software\SETI@home\" is how the client's key is usually written;
        // the registry calls want no trailing separator.
        while (!path.empty() && path.back() == '\\')
            path.remove_suffix(1);
        if (!UsableString(path)) return nullptr;
        const std::string subKey(path);
        HKEY key = nullptr;
        LSTATUS status = ERROR_SUCCESS;
        if (access == RegAccess::Read) {
            status = RegOpenKeyExA(RootKey(root), subKey.c_str(), 0, KEY_READ | kView, &key);
        } else {
            // Creates the key and its parents when missing, as the interface
            // promises for write access.
            status =
                RegCreateKeyExA(RootKey(root), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_READ | KEY_WRITE | kView, nullptr, &key, nullptr);
        }
        if (status != ERROR_SUCCESS) return nullptr;
        return std::make_unique<Win32RegistryKey>(key, access);
    }

    bool DeleteKey(RegRoot root, std::string_view path) override {
        while (!path.empty() && path.back() == '\\')
            path.remove_suffix(1);
        // The root itself cannot be deleted.
        if (path.empty() || !UsableString(path)) return false;
        const std::string subKey(path);
        HKEY key = nullptr;
        LSTATUS status =
            RegOpenKeyExA(RootKey(root), subKey.c_str(), 0, KEY_ALL_ACCESS | kView, &key);
        if (status == ERROR_FILE_NOT_FOUND) return true;
        if (status != ERROR_SUCCESS) return false;
        // What is below the key first: RegDeleteKeyEx removes only a key
        // without subkeys, and takes the 32-bit view that RegDeleteTree does
        // not.
        status = RegDeleteTreeA(key, nullptr);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) return false;
        status = RegDeleteKeyExA(RootKey(root), subKey.c_str(), kView, 0);
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
};

}  // namespace

std::unique_ptr<Registry> MakeRegistry() {
    return std::make_unique<Win32Registry>();
}

}  // namespace platform::win32
