// Windows only: gives every test of the executable this file is linked into
// an empty registry of its own. On POSIX the tests move the registry
// stand-in into their temporary directories (SKYVANE_REGISTRY_DIR); on
// Windows the backend uses the real registry, where one test's "ClientDir"
// would otherwise be found by the next test, and by the user's own Skyvane.
//
// For the length of each test, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of
// this process are redirected (RegOverridePredefKey) to two fresh keys under
// HKEY_CURRENT_USER\Software\Skyvane Tests\Sandbox, removed afterwards. The
// backend still calls the registry exactly as it does for a user.

#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace testsupport {

namespace {

class RegistrySandbox final : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo& /*test*/) override {
        path_ = "Software\\Skyvane Tests\\Sandbox\\" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++count_);
        // Both keys are made before either root is redirected.
        user_ = Create(path_ + "\\HKEY_CURRENT_USER");
        machine_ = Create(path_ + "\\HKEY_LOCAL_MACHINE");
        if (RegOverridePredefKey(HKEY_CURRENT_USER, user_) != ERROR_SUCCESS ||
            RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_) != ERROR_SUCCESS) {
            Fail("cannot redirect the registry roots");
        }
    }

    void OnTestEnd(const ::testing::TestInfo& /*test*/) override {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(user_);
        RegCloseKey(machine_);
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    }

private:
    static HKEY Create(const std::string& path) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
            Fail(("cannot create " + path).c_str());
        }
        return key;
    }

    // A test must never run against the user's real registry.
    [[noreturn]] static void Fail(const char* what) {
        std::fprintf(stderr, "registry sandbox: %s\n", what);
        std::abort();
    }

    std::string path_;
    int count_ = 0;
    HKEY user_ = nullptr;
    HKEY machine_ = nullptr;
};

// Installed before main runs; GoogleTest owns the listener from here on.
const bool kInstalled = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new RegistrySandbox);
    return true;
}();

}  // namespace

}  // namespace testsupport
