// What every Registry backend must do. The same tests run against the Win32
// backend, where they use the real registry: each test works under a key of
// its own so runs never see each other's values. On POSIX the registry lives
// in the test's temporary directory.

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "support/TempDir.h"

namespace {

using platform::RegAccess;
using platform::RegRoot;

std::string UniqueKey() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("Software\\Skyvane Tests\\") + test->name() + "-" +
           std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
}

class RegistryTest : public ::testing::Test {
protected:
    std::unique_ptr<platform::RegistryKey> Open(RegAccess access, const std::string& path,
                                                RegRoot root = RegRoot::CurrentUser) {
        return registry_.OpenKey(root, path, access);
    }

    testsupport::TempDir dir_;
    testsupport::ScopedEnv registryDir_{"SKYVANE_REGISTRY_DIR", dir_.Path("registry")};
    platform::NativePlatform native_;
    platform::Registry& registry_ = native_.services().registry;
    const std::string key_ = UniqueKey();
};

TEST_F(RegistryTest, MissingKeyFailsToOpenForReadingAndWritingCreatesIt) {
    EXPECT_EQ(Open(RegAccess::Read, key_), nullptr);
    ASSERT_NE(Open(RegAccess::Write, key_), nullptr);
    // Created at once, values or not, and with it every parent.
    EXPECT_NE(Open(RegAccess::Read, key_), nullptr);
    EXPECT_NE(Open(RegAccess::Read, "Software\\Skyvane Tests"), nullptr);
}

TEST_F(RegistryTest, KeyAndValueNamesIgnoreCaseAndTrailingBackslash) {
    ASSERT_TRUE(Open(RegAccess::Write, key_)->WriteString("ClientDir", "C:\\seti\\"));
    std::string shouted = key_;
    for (char& c : shouted)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto key = Open(RegAccess::Read, shouted + "\\");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString("CLIENTDIR"), "C:\\seti\\");
    EXPECT_TRUE(key->ValueExists("clientdir"));
    EXPECT_FALSE(key->ValueExists("ClientDi"));
    EXPECT_EQ(key->ReadString("Other"), std::nullopt);
}

TEST_F(RegistryTest, RewritingInOtherCaseReplacesTheOneValue) {
    auto key = Open(RegAccess::Write, key_);
    ASSERT_TRUE(key->WriteString("ClientDir", "old"));
    ASSERT_TRUE(key->WriteString("CLIENTDIR", "new"));
    EXPECT_EQ(key->ReadString("clientDir"), "new");
    ASSERT_TRUE(key->DeleteValue("clientdir"));
    EXPECT_FALSE(key->ValueExists("ClientDir"));
}

TEST_F(RegistryTest, ReadOnlyKeyRefusesWritesAndDeletes) {
    ASSERT_TRUE(Open(RegAccess::Write, key_)->WriteString("Name", "kept"));
    auto key = Open(RegAccess::Read, key_);
    ASSERT_NE(key, nullptr);
    EXPECT_FALSE(key->WriteString("Name", "changed"));
    EXPECT_FALSE(key->WriteString("New", "value"));
    EXPECT_FALSE(key->DeleteValue("Name"));
    EXPECT_EQ(key->ReadString("Name"), "kept");
    EXPECT_FALSE(key->ValueExists("New"));
}

TEST_F(RegistryTest, DeleteValueReportsWhetherThereWasOneAndKeepsTheKey) {
    auto key = Open(RegAccess::Write, key_);
    ASSERT_TRUE(key->WriteString("Run", "skyvane.exe"));
    EXPECT_TRUE(key->DeleteValue("Run"));
    EXPECT_FALSE(key->DeleteValue("Run"));
    EXPECT_FALSE(key->ValueExists("Run"));
    EXPECT_NE(Open(RegAccess::Read, key_), nullptr);
}

TEST_F(RegistryTest, ValuesPersistForANewRegistry) {
    ASSERT_TRUE(Open(RegAccess::Write, key_)->WriteString("ClientDir", "/home/ann/seti/"));
    platform::NativePlatform other;
    auto key = other.services().registry.OpenKey(RegRoot::CurrentUser, key_, RegAccess::Read);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString("ClientDir"), "/home/ann/seti/");
}

TEST_F(RegistryTest, RootsAreSeparate) {
    ASSERT_TRUE(Open(RegAccess::Write, key_)->WriteString("Where", "user"));
    auto machine = Open(RegAccess::Write, key_, RegRoot::LocalMachine);
    ASSERT_NE(machine, nullptr);
    EXPECT_FALSE(machine->ValueExists("Where"));
    ASSERT_TRUE(machine->WriteString("Where", "machine"));
    EXPECT_EQ(Open(RegAccess::Read, key_)->ReadString("Where"), "user");
}

TEST_F(RegistryTest, AwkwardNamesAndValuesRoundTrip) {
    // Byte strings without NUL: what a REG_SZ value can hold.
    const std::vector<std::pair<std::string, std::string>> values = {
        {"Empty", ""},
        {"Backslashes", "C:\\Program Files\\Sky\\\\x41\\"},
        {"Equals", "a=b==c"},
        {"Lines", "one\ntwo\r\nthree\r"},
        {"Blanks", "  leading and trailing \t "},
        {"Looks like a section", "[Software\\Other]"},
        {"Looks like a comment", "; # not a comment"},
        {"High bytes", "\xe4\xf6\xfc \xff\x80"},
        {" padded name ", "1"},
        {"a=b", "2"},
        {"[x]", "3"},
        {";x", "4"},
        {"", "default value"},
    };
    auto key = Open(RegAccess::Write, key_);
    for (const auto& [name, value] : values)
        ASSERT_TRUE(key->WriteString(name, value)) << name;
    platform::NativePlatform other;
    auto reread = other.services().registry.OpenKey(RegRoot::CurrentUser, key_, RegAccess::Read);
    ASSERT_NE(reread, nullptr);
    for (const auto& [name, value] : values)
        EXPECT_EQ(reread->ReadString(name), value) << name;
}

#ifndef _WIN32
// The POSIX stand-in keeps the registry in text files a user may edit; these
// tests pin that format down. Windows has no counterpart.

TEST_F(RegistryTest, PosixFileIsReadableAndHandEditsAreHonoured) {
    dir_.Write("registry/HKEY_CURRENT_USER.ini",
               "; kept by hand\n"
               "garbage without equals\n"
               "[software\\seti@HOME]\r\n"
               "  ClientDir = /home/ann/seti/  \r\n"
               "Path=C:\\seti\\\n"
               "[Unclosed\n"
               "Lost=1\n");
    auto key = Open(RegAccess::Write, "Software\\SETI@home\\");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString("clientdir"), "/home/ann/seti/");
    // A hand-typed Windows path keeps its backslashes.
    EXPECT_EQ(key->ReadString("Path"), "C:\\seti\\");
    EXPECT_FALSE(key->ValueExists("Lost"));

    ASSERT_TRUE(key->WriteString("Added", "x"));
    ASSERT_TRUE(Open(RegAccess::Write, "SOFTWARE\\seti@home\\Sub")->WriteString("V", " v"));
    const std::string text = dir_.Read("registry/HKEY_CURRENT_USER.ini");
    EXPECT_NE(text.find("; kept by hand\ngarbage without equals\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Added=x\n"), std::string::npos) << text;
    // New sections take the spelling the parents already have.
    EXPECT_NE(text.find("[software\\seti@HOME\\Sub]\nV=\\x20v\n"), std::string::npos) << text;
    // Written through a temporary file that is gone afterwards.
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path("registry"))) {
        files.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(files, std::vector<std::string>{"HKEY_CURRENT_USER.ini"});
}

TEST_F(RegistryTest, PosixDirectoryFallsBackToXdgConfigHome) {
    testsupport::ScopedEnv unset("SKYVANE_REGISTRY_DIR", "");
    testsupport::ScopedEnv config("XDG_CONFIG_HOME", dir_.Path("config"));
    ASSERT_TRUE(Open(RegAccess::Write, key_)->WriteString("Name", "value"));
    EXPECT_TRUE(dir_.Exists("config/skyvane/registry/HKEY_CURRENT_USER.ini"));
}
#endif

TEST_F(RegistryTest, DeleteKeyTakesEverythingBelowIt) {
    Open(RegAccess::Write, key_ + "\\App")->WriteString("Path", "C:\\SKY\\");
    Open(RegAccess::Write, key_ + "\\App\\Deeper")->WriteString("Name", "x");
    Open(RegAccess::Write, key_ + "\\Other")->WriteString("Keep", "yes");

    EXPECT_TRUE(registry_.DeleteKey(RegRoot::CurrentUser, key_ + "\\APP"));
    EXPECT_EQ(Open(RegAccess::Read, key_ + "\\App"), nullptr);
    EXPECT_EQ(Open(RegAccess::Read, key_ + "\\App\\Deeper"), nullptr);
    auto other = Open(RegAccess::Read, key_ + "\\Other");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->ReadString("Keep"), "yes");
    // a key that is not there is gone already
    EXPECT_TRUE(registry_.DeleteKey(RegRoot::CurrentUser, key_ + "\\Never"));
    registry_.DeleteKey(RegRoot::CurrentUser, key_);
}

}  // namespace
