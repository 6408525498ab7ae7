#pragma once
// The real environment, but with another running program: install copies
// "the running executable" and uninstall deletes it, which in a test must be
// a file of the test's own and never the test binary.

#include <string>

#include "platform/Platform.h"

namespace testsupport {

class RunningProgram : public platform::Environment {
public:
    explicit RunningProgram(platform::Environment& inner) : inner_(inner) {}

    std::string ExecutablePath() override { return executable; }
    std::string ProgramDirectory() override { return inner_.ProgramDirectory(); }
    bool PackageInstalled() override { return packageInstalled; }
    char DecimalSeparator() override { return inner_.DecimalSeparator(); }
    std::string LongTimeText(int hour, int minute, int second) override {
        return inner_.LongTimeText(hour, minute, second);
    }

    std::string executable;
    bool packageInstalled = false;

private:
    platform::Environment& inner_;
};

}  // namespace testsupport
