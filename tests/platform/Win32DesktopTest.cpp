// Windows only: the uninstall batch file word for word, and a shortcut
// written through the shell link object read back through it.

#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "platform/Platform.h"
#include "platform/win32/UninstallBatch.h"
#include "support/ShellFolders.h"
#include "support/TempDir.h"

namespace {

TEST(UninstallBatch, IsWrittenWordForWord) {
    EXPECT_EQ(platform::win32::UninstallBatchText("C:\\Program Files\\Sky\\Skyvane.exe",
                                                  "C:\\Program Files\\Sky\\", true),
              "@echo off\r\n:try\r\ndel \"C:\\Program Files\\Sky\\Skyvane.exe\"\r\n"
              "if exist \"C:\\Program Files\\Sky\\Skyvane.exe\" goto try\r\n"
              "rd \"C:\\Program Files\\Sky\"\r\ndel %0");
    // without the directory when something else is left in it
    EXPECT_EQ(platform::win32::UninstallBatchText("C:\\SKY\\Skyvane.exe", "C:\\SKY\\", false),
              "@echo off\r\n:try\r\ndel \"C:\\SKY\\Skyvane.exe\"\r\n"
              "if exist \"C:\\SKY\\Skyvane.exe\" goto try\r\ndel %0");
}

TEST(Win32Shortcuts, ProgramLinkAndWebFavorite) {
    testsupport::TempDir home;
    testsupport::ShellFolders folders(home);
    platform::NativePlatform native;
    auto& shell = native.services().shell;
    const std::string programs = shell.ShellFolder("Programs");
    ASSERT_EQ(programs, home.Path("Programs") + "\\");

    platform::Shortcut program;
    program.target = "C:\\SKY\\Skyvane.exe";
    ASSERT_TRUE(shell.SaveShortcut(programs, "Skyvane", program));
    const std::string link = shell.ShortcutFile(programs, "Skyvane", false);
    EXPECT_EQ(link, programs + "Skyvane.lnk");

    // read back through the shell's own link object
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    IShellLinkA* shellLink = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkA, reinterpret_cast<void**>(&shellLink))));
    IPersistFile* file = nullptr;
    ASSERT_TRUE(
        SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    const std::wstring wide(link.begin(), link.end());
    EXPECT_TRUE(SUCCEEDED(file->Load(wide.c_str(), STGM_READ)));
    char path[MAX_PATH] = {};
    EXPECT_TRUE(SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)));
    EXPECT_STREQ(path, "C:\\SKY\\Skyvane.exe");
    file->Release();
    shellLink->Release();
    CoUninitialize();

    platform::Shortcut site;
    site.target = "https://skyvane.org/";
    site.iconFile = "C:\\SKY\\Skyvane.exe";
    site.iconIndex = 0;
    ASSERT_TRUE(shell.SaveShortcut(programs, "Skyvane site", site));
    auto text = native.services().files.ReadFile(programs + "Skyvane site.url");
    ASSERT_TRUE(text);
    EXPECT_EQ(*text,
              "[InternetShortcut]\r\nURL=https://skyvane.org/\r\n"
              "IconFile=C:\\SKY\\Skyvane.exe\r\nIconIndex=0\r\n");
}

}  // namespace
