#pragma once
// The real clock, the same on every system. Only the backends' NativePlatform
// includes this header; everything else receives a platform::Clock.

#include <memory>

#include "platform/Platform.h"

namespace platform {

std::unique_ptr<Clock> MakeSystemClock();

}  // namespace platform
