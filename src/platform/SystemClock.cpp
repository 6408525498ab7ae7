#include "platform/SystemClock.h"

#include <thread>

namespace platform {

namespace {

class SystemClock final : public Clock {
public:
    std::chrono::milliseconds Now() override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
    void Sleep(std::chrono::milliseconds duration) override {
        if (duration.count() > 0) std::this_thread::sleep_for(duration);
    }
};

}  // namespace

std::unique_ptr<Clock> MakeSystemClock() {
    return std::make_unique<SystemClock>();
}

}  // namespace platform
