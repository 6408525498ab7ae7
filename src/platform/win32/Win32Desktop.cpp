// The Windows shell's side of installing: the user's shell folders, shortcut
// files (.lnk through IShellLink, .url for web addresses) and the batch file
// that deletes the program after it has ended.

#include "platform/win32/UninstallBatch.h"
#include "platform/win32/Win32Backend.h"

// After Win32Backend.h: these need the types of windows.h.
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>
#include <vector>

namespace platform::win32 {

std::string UninstallBatchText(const std::string& executable, const std::string& directory,
                               bool removeDirectory) {
    const std::string quoted = "\"" + executable + "\"";
    std::string text =
        "@echo off\r\n:try\r\ndel " + quoted + "\r\nif exist " + quoted + " goto try\r\n";
    if (removeDirectory) {
        std::string dir = directory;
        if (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
        text += "rd \"" + dir + "\"\r\n";
    }
    text += "del %0";
    return text;
}

namespace {

constexpr const char* kShellFoldersKey =
    "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

bool IsWebAddress(const std::string& target) {
    return target.find("://") != std::string::npos;
}

// COM for the calling thread while the object lives, where it is not on
// already.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    // Usable also when another part of the program started COM its own way.
    bool Ready() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

template <class T>
void Release(T*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

std::wstring Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

bool SaveLink(const std::string& file, const Shortcut& shortcut) {
    ComScope com;
    if (!com.Ready()) return false;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    bool ok = SUCCEEDED(link->SetPath(shortcut.target.c_str()));
    if (ok && shortcut.iconIndex >= 0)
        ok = SUCCEEDED(link->SetIconLocation(shortcut.iconFile.c_str(), shortcut.iconIndex));
    if (ok && !shortcut.workingDirectory.empty()) {
        ok = SUCCEEDED(link->SetWorkingDirectory(shortcut.workingDirectory.c_str())) &&
             SUCCEEDED(link->SetArguments(shortcut.arguments.c_str()));
    }
    IPersistFile* persist = nullptr;
    if (ok)
        ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)));
    if (ok) ok = SUCCEEDED(persist->Save(Wide(file).c_str(), TRUE));
    Release(persist);
    Release(link);
    return ok;
}

// An Internet shortcut: what the shell makes for a web address. A shell
// link cannot point at one.
bool SaveInternetShortcut(Files& files, const std::string& file, const Shortcut& shortcut) {
    std::string text = "[InternetShortcut]\r\nURL=" + shortcut.target + "\r\n";
    if (shortcut.iconIndex >= 0) {
        text += "IconFile=" + shortcut.iconFile +
                "\r\nIconIndex=" + std::to_string(shortcut.iconIndex) + "\r\n";
    }
    return files.WriteFile(file, text);
}

}  // namespace

std::string ShellFolder(std::string_view name) {
    if (!UsableString(name)) return {};
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    std::vector<char> data(MAX_PATH + 1, '\0');
    DWORD type = 0;
    auto size = static_cast<DWORD>(data.size() - 1);
    const std::string valueName(name);
    const LSTATUS status = RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                                            reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    std::string folder(data.data());
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

std::string ShortcutFile(const std::string& folder, std::string_view linkName, bool webAddress) {
    return folder + std::string(linkName) + (webAddress ? ".url" : ".lnk");
}

bool SaveShortcut(Files& files, const std::string& folder, std::string_view linkName,
                  const Shortcut& shortcut) {
    const bool web = IsWebAddress(shortcut.target);
    const std::string file = ShortcutFile(folder, linkName, web);
    if (!UsablePath(file) || !UsableString(shortcut.target)) return false;
    return web ? SaveInternetShortcut(files, file, shortcut) : SaveLink(file, shortcut);
}

bool DeleteProgramAfterExit(Files& files, Processes& processes, const std::string& executable,
                            const std::string& directory, bool removeDirectory) {
    char temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length > MAX_PATH) return false;
    std::string folder(temp, length);
    if (folder.back() != '\\') folder += '\\';
    const std::string batch = folder + "Unvane.bat";
    if (!files.WriteFile(batch, UninstallBatchText(executable, directory, removeDirectory)))
        return false;
    // Hidden, not waited for (it waits for us), and run from the temporary
    // directory: a batch whose current directory is the program directory
    // could not remove it.
    return processes.Launch(batch, folder, ShowMode::Hidden);
}

}  // namespace platform::win32
