#include "cache/CacheInfoForm.h"

#include <utility>

namespace cache {

CacheInfoForm::CacheInfoForm(platform::Files& files, platform::Clock& clock, std::string title,
                             Figures figures, Watch watch, std::function<void()> cancel)
    : files_(files),
      clock_(clock),
      title_(std::move(title)),
      figures_(figures),
      watch_(std::move(watch)),
      cancel_(std::move(cancel)) {}

void CacheInfoForm::FormCreate(views::CacheInfoView& view) {
    transferDone_ = false;
    view.SetTitle(title_);
    // Filled once: every transfer step opens a window of its own.
    view.SetText(views::CacheInfoLabel::OldWULabel, std::to_string(figures_.toSend));
    view.SetText(views::CacheInfoLabel::ToReceiveWULabel, std::to_string(figures_.toReceive));
    view.SetText(views::CacheInfoLabel::ReceivedWULabel, std::to_string(figures_.received));
    fingerprint_ = Fingerprint();
    lastChange_ = clock_.Now();
}

void CacheInfoForm::Timer1Timer(views::CacheInfoView& view) {
    if (closed_) return;
    if (files_.FileExists(watch_.file) == watch_.untilPresent) {
        transferDone_ = true;
        closed_ = true;
        view.Close();
        return;
    }
    // A client that is still working rewrites something now and then; one
    // that died, or waits for a network that never comes, does not.
    std::string now = Fingerprint();
    if (now != fingerprint_) {
        fingerprint_ = std::move(now);
        lastChange_ = clock_.Now();
    } else if (clock_.Now() - lastChange_ >= kTransferStallLimit) {
        stalled_ = true;
        BitBtn1Click(view);
    }
}

void CacheInfoForm::BitBtn1Click(views::CacheInfoView& view) {
    if (closed_) return;
    closed_ = true;
    if (cancel_) cancel_();
    view.Close();
}

std::string CacheInfoForm::Fingerprint() {
    std::string print;
    for (const auto& entry : files_.ListDirectory(watch_.directory)) {
        print += entry.name;
        print += '\t';
        print += std::to_string(entry.size);
        print += '\t';
        print += std::to_string(entry.stamp);
        print += '\n';
    }
    return print;
}

namespace {

class HeadlessInfoView : public views::CacheInfoView {
public:
    explicit HeadlessInfoView(const std::function<void(std::string_view)>& onTitle)
        : onTitle_(onTitle) {}
    void SetTitle(std::string_view title) override {
        if (onTitle_) onTitle_(title);
    }
    void SetText(views::CacheInfoLabel, std::string_view) override {}
    void Close() override { closed = true; }
    bool closed = false;

private:
    const std::function<void(std::string_view)>& onTitle_;
};

}  // namespace

void RunCacheInfoHeadless(views::CacheInfoEvents& events, platform::Clock& clock,
                          const std::function<bool()>& cancelRequested,
                          const std::function<void(std::string_view)>& onTitle) {
    HeadlessInfoView view(onTitle);
    events.FormCreate(view);
    while (!view.closed) {
        clock.Sleep(kTransferTick);
        if (cancelRequested && cancelRequested())
            events.BitBtn1Click(view);
        else
            events.Timer1Timer(view);
    }
}

}  // namespace cache
