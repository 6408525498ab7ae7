#pragma once
// The progress window of one cache transfer (TCacheInfoForm's logic): shows
// what the connect has done so far and waits, every 500 ms, for the client
// to remove a file (a returned result) or to create one (a received work
// unit). Cancel stops the client. A client that changes nothing in its
// directory for kTransferStallLimit is given up as if Cancel was pressed.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Platform.h"
#include "views/CacheViews.h"

namespace cache {

inline constexpr std::chrono::milliseconds kTransferTick{500};
// A transfer window gives up after this long without any change in the
// client's directory.
inline constexpr std::chrono::minutes kTransferStallLimit{30};

class CacheInfoForm : public views::CacheInfoEvents {
public:
    struct Figures {
        std::int32_t toSend = 0;     // OldWULabel
        std::int32_t toReceive = 0;  // ToReceiveWULabel
        std::int32_t received = 0;   // ReceivedWULabel
    };
    struct Watch {
        std::string file;           // what the transfer changes
        bool untilPresent = false;  // done when it exists (true) or is gone
        std::string directory;      // any change here counts as progress
    };

    // `cancel` stops the client and defers further connects.
    CacheInfoForm(platform::Files& files, platform::Clock& clock, std::string title,
                  Figures figures, Watch watch, std::function<void()> cancel);

    void FormCreate(views::CacheInfoView& view) override;
    void Timer1Timer(views::CacheInfoView& view) override;
    void BitBtn1Click(views::CacheInfoView& view) override;

    bool TransferDone() const { return transferDone_; }
    // Closed because the client did nothing for too long.
    bool Stalled() const { return stalled_; }

private:
    std::string Fingerprint();

    platform::Files& files_;
    platform::Clock& clock_;
    std::string title_;
    Figures figures_;
    Watch watch_;
    std::function<void()> cancel_;
    bool transferDone_ = false;
    bool stalled_ = false;
    bool closed_ = false;
    std::string fingerprint_;
    std::chrono::milliseconds lastChange_{0};
};

// Runs a progress window without a screen: a tick every 500 ms of `clock`
// until the logic closes it; `cancelRequested` (Ctrl-C) presses Cancel.
void RunCacheInfoHeadless(views::CacheInfoEvents& events, platform::Clock& clock,
                          const std::function<bool()>& cancelRequested = {},
                          const std::function<void(std::string_view)>& onTitle = {});

}  // namespace cache
