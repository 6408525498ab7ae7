#pragma once
// A clock whose sleeps take no time: Sleep advances Now() and records the
// duration. `onSleep` runs after each sleep with the new time, so a test can
// make something happen "meanwhile" (a client that ends after 2 s, a kill at
// the Nth step).

#include <chrono>
#include <functional>
#include <vector>

#include "platform/Platform.h"

namespace testsupport {

class FakeClock : public platform::Clock {
public:
    std::chrono::milliseconds Now() override { return now; }
    void Sleep(std::chrono::milliseconds duration) override {
        sleeps.push_back(duration);
        now += duration;
        if (onSleep) onSleep(now);
    }

    std::chrono::milliseconds Slept() const {
        std::chrono::milliseconds total{0};
        for (auto d : sleeps)
            total += d;
        return total;
    }

    std::chrono::milliseconds now{1'000'000};
    std::vector<std::chrono::milliseconds> sleeps;
    std::function<void(std::chrono::milliseconds)> onSleep;
};

}  // namespace testsupport
