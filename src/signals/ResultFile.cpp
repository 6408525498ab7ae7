#include "signals/ResultFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "clientfiles/Format.h"
#include "clientfiles/Scanner.h"
#include "platform/Platform.h"
#include "views/Dialogs.h"

namespace signals {

namespace {

using clientfiles::ReadAbort;
using clientfiles::Reading;

// A finished result begins with a line of its own; its first 20 bytes are
// never signal lines, so a whole-file reading starts behind them.
constexpr std::int32_t kFinishedStart = 20;

constexpr std::array<std::string_view, 2> kVersionKeys = {"major_v", "ver"};
constexpr std::array<std::string_view, 4> kSignalKeys = {"spike", "gaussian", "triplet", "pulse"};

// Spike powers grow with the FFT length; 16384 is the length they are
// compared at.
constexpr double kReferenceFftLen = 16384;
// A spike power outside [20, 1e16] cannot come from a sane computation.
constexpr double kLowestSanePower = 20;
constexpr double kHighestSanePower = 1e16;

// From the 80th spike or triplet of a work unit on, drift rates still this
// close to 0 mean the client skipped most of its search.
constexpr int kFastWorkUnitCount = 80;
constexpr double kFastLowChirp = -0.00001;
constexpr double kFastHighChirp = 0.1;

// Profiles this long are not plotted, so they are not read either.
constexpr std::uint16_t kProfileLimit = 300;

// A signal in a run of 3 or more 0s or 9s sits on a round number.
constexpr int kRoundRun = 3;

// A large file is read in blocks of this size, each parsed while it is still
// in the processor's cache; a poll's few new lines are one small read.
constexpr std::size_t kBlockSize = 256 * 1024;

// The new bytes of the file, block by block: exactly `length` bytes from
// `offset` (a file that grows meanwhile waits for the next call; one that
// shrinks ends the text early). The file is opened for each block only, so
// nothing holds it while an alert box waits for the user; a block is small
// enough to stay in the processor's cache while it is copied and parsed.
class FileChunk : public clientfiles::TextSource {
public:
    FileChunk(platform::Files& files, const std::string& path, std::uint64_t offset,
              std::uint64_t length)
        : files_(files), path_(path), offset_(offset), remaining_(length) {}

    std::size_t Read(std::span<char> dest) override {
        if (remaining_ == 0 || dest.empty()) return 0;
        dest =
            dest.first(static_cast<std::size_t>(std::min<std::uint64_t>(dest.size(), remaining_)));
        const std::optional<std::size_t> read = files_.ReadFileInto(path_, offset_, dest);
        if (!read || *read == 0) {
            remaining_ = 0;
            endedShort_ = true;
            return 0;
        }
        const std::size_t got = std::min(*read, dest.size());
        offset_ += got;
        remaining_ -= got;
        delivered_ += got;
        return got;
    }
    std::uint64_t Delivered() const { return delivered_; }
    // The file ended (or failed) before `length` bytes.
    bool EndedShort() const { return endedShort_; }

private:
    platform::Files& files_;
    const std::string& path_;
    std::uint64_t offset_;
    std::uint64_t remaining_;
    std::uint64_t delivered_ = 0;
    bool endedShort_ = false;
};

// A zero FFT length, mean, chi-square or threshold is damage; it ends the
// parse silently instead of putting infinities into the lists.
double Divide(double numerator, double denominator) {
    if (denominator == 0) throw ReadAbort{};
    return numerator / denominator;
}

struct ListLengths {
    std::size_t spikes, gaussians, triplets, pulses;
};

ListLengths LengthsOf(const SignalLists& lists) {
    return {lists.SpikeList.size(), lists.GaussianList.size(), lists.TripletList.size(),
            lists.PulseList.size()};
}

// Runs a function when its scope is left, however.
template <class Function>
class OnExit {
public:
    explicit OnExit(Function f) : f_(std::move(f)) {}
    ~OnExit() { f_(); }
    OnExit(const OnExit&) = delete;
    OnExit& operator=(const OnExit&) = delete;

private:
    Function f_;
};

// Cuts a list back, never lengthens it: something may have emptied the lists
// while an alert of this call was open.
template <class Record>
void CutBack(SignalList<Record>& list, std::size_t length) {
    if (list.size() > length)
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(length), list.end());
}

std::string ComputerErrorText(const ResultReadContext& context, std::int32_t workUnit,
                              double power) {
    const std::string subject = context.selectorTotal ? "Work unit " + std::to_string(workUnit)
                                                      : std::string("This result file");
    return subject + " contains a peak with a power of " +
           clientfiles::ShortestForm(power, context.decimalSeparator) +
           ". The likely cause is a computer error.\r"
           "If you get this error often, then this is a clear indication that your system is "
           "unstable.\r"
           "If you are overclocking your system, you should stop.";
}

std::string InterestText(std::int32_t workUnit, std::string_view what) {
    std::string text = "Work unit " + std::to_string(workUnit) + " contains a ";
    text += what;
    return text;
}

// Walks the signal lines of one chunk, appending to the lists and raising
// the alerts. Lives for one call, so the alert marks and the fast-work-unit
// counter start afresh each time.
class ChunkParser {
public:
    // `quietBefore`: text before this position was read by an earlier call
    // that gave its computer-error warnings already. `warned` is set when
    // this call shows one.
    ChunkParser(Reading& reading, const ResultReadContext& context, double timeRecorded,
                float fileVersion, views::Dialogs& dialogs, SignalLists& lists, ShownMarkers& shown,
                std::size_t quietBefore, bool& warned, ArchivedResult* record)
        : record_(record),
          reading_(reading),
          context_(context),
          timeRecorded_(timeRecorded),
          fileVersion_(fileVersion),
          dialogs_(dialogs),
          lists_(lists),
          shown_(shown),
          quietBefore_(quietBefore),
          warned_(warned),
          before_(LengthsOf(lists)) {}

    // The length of the whole text, for foreseeing the record counts.
    void SetTextLength(std::uint64_t length) { textLength_ = length; }
    // After damage ended the parse: just past the line of the record it was
    // read for, when that line's end is still in hand.
    std::optional<std::size_t> LineAfterDamage() const { return reading_.HeldLineEnd(recordAt_); }

    // True at the end of the text; false when the work unit turned out to be
    // a fast one (the caller undoes the call). A failure throws ReadAbort.
    bool ParseLines() {
        while (!reading_.AtEnd()) {
            if (!foreseen_ && reading_.Cursor() >= kForesightSample) ForeseeCounts();
            const int kind = reading_.FindAnyLine(kSignalKeys);
            if (kind >= 0) recordAt_ = reading_.Cursor();
            switch (kind) {
                case 0:
                    if (!ReadSpike()) return false;
                    break;
                case 1:
                    ReadGaussian();
                    break;
                case 2:
                    if (!ReadTriplet()) return false;
                    break;
                case 3:
                    ReadPulse();
                    break;
                default:
                    return true;
            }
        }
        return true;
    }

private:
    // The number after the next occurrence of `key`. The key may lie on a
    // later line: the client always writes them all, so a missing one is
    // damage that the scanner reports when the text runs out.
    double Real(std::string_view key) {
        reading_.FindString(key);
        return reading_.ReadReal();
    }
    std::int32_t Int(std::string_view key) {
        reading_.FindString(key);
        return reading_.ReadInt();
    }

    // False: a fast work unit.
    bool ReadSpike() {
        TSpikeRec spike;
        spike.Power = reading_.ReadReal();
        spike.Time = Real("time") - timeRecorded_;
        spike.Freq = Real("freq");
        spike.FftLen = Int("fft");
        spike.ChirpRate = Real("chi");
        spike.WorkUnit = context_.currentArchiveNumber;
        spike.Power = Divide(spike.Power, spike.FftLen / kReferenceFftLen);

        if (spike.Power > kHighestSanePower || spike.Power < kLowestSanePower)
            WarnComputerError(spike.Power, spike.WorkUnit);
        // Beyond the highest it would squash every other spike to the
        // graph's floor; a weak one is harmless and stays.
        if (!(spike.Power <= kHighestSanePower)) return true;
        lists_.SpikeList.push_back(spike);
        return !CountsAsFast(spike.ChirpRate);
    }

    void ReadGaussian() {
        if (context_.liveMode) shown_.ShownGaussian = 0;
        TGaussianRec gaussian;
        gaussian.Power = Real("peak");
        gaussian.Mean = Real("mean");
        gaussian.Time = Real("time") - timeRecorded_;
        gaussian.Freq = Real("freq");
        gaussian.Sigma = Real("sigma");
        gaussian.ChiSqr = Real("chisqr");
        gaussian.FftLen = Int("fft");
        gaussian.ChirpRate = Real("chirpr");
        gaussian.Power = Divide(gaussian.Power, gaussian.Mean);
        gaussian.Score = Divide(gaussian.Power, gaussian.ChiSqr);

        // Older clients end the line after the drift rate; only newer ones
        // append the samples. A text that ends right here carries none either.
        const std::optional<char> next = reading_.Peek();
        gaussian.HasPot = next.has_value() && *next != '\n';
        if (gaussian.HasPot) {
            gaussian.MaxPow = Real("maxpow");
            reading_.FindString("pot");
            // A damaged run keeps the samples before the damage; the plot
            // shows them with zeros after.
            reading_.ReadHexBytes(gaussian.Pot);
        }
        gaussian.FileVersion = fileVersion_;
        gaussian.WorkUnit = context_.currentArchiveNumber;
        lists_.GaussianList.push_back(gaussian);

        if (gaussian.ChiSqr < 6.0 && gaussian.Power > 5.0 &&
            gaussian.Score * gaussian.Sigma > 4.0) {
            if (RepeatedDigitRun(0, gaussian.Freq) >= kRoundRun)
                interestMark_ = gaussian.WorkUnit;  // interference: not worth a box
            else
                ReportInterest(gaussian.WorkUnit, "gaussian, that looks very interesting.");
        }
    }

    // False: a fast work unit.
    bool ReadTriplet() {
        if (context_.liveMode) shown_.ShownTriplet = 0;
        TTripletRec triplet;
        triplet.Power = Real("power");
        triplet.Mean = Real("mean");
        triplet.Period = Real("riod");
        triplet.Time = Real("time") - timeRecorded_;
        triplet.Freq = Real("freq");
        triplet.FftLen = Int("fft");
        triplet.ChirpRate = Real("chi");
        triplet.WorkUnit = context_.currentArchiveNumber;
        lists_.TripletList.push_back(triplet);
        return !CountsAsFast(triplet.ChirpRate);
    }

    void ReadPulse() {
        TPulseRec pulse;
        pulse.Power = Real("power");
        pulse.Mean = Real("mean");
        pulse.Period = Real("period");
        pulse.Time = Real("time") - timeRecorded_;
        pulse.Freq = Real("freq");
        pulse.FftLen = Int("fft");
        pulse.ChirpRate = Real("chi");
        pulse.Snr = Real("snr");
        pulse.Thresh = Real("thresh");
        // The record keeps 16 bits, as the archive's consumers expect.
        pulse.LenProf = static_cast<std::uint16_t>(Int("len_prof"));
        if (pulse.LenProf < kProfileLimit) {
            reading_.FindString("prof");
            pulse.Prof.resize(pulse.LenProf);
            // Half a profile would plot as a false shape: all or nothing.
            if (!reading_.ReadHexBytes(pulse.Prof)) pulse.Prof.clear();
        }
        pulse.Score = Divide(pulse.Snr, pulse.Thresh);
        pulse.WorkUnit = context_.currentArchiveNumber;
        const double freq = pulse.Freq;
        const double period = pulse.Period;
        const bool interesting = pulse.Score > 1.4;
        lists_.PulseList.push_back(std::move(pulse));

        if (interesting) {
            const std::int32_t workUnit = context_.currentArchiveNumber;
            if (RepeatedDigitRun(0, freq) >= kRoundRun || RepeatedDigitRun(1, period) >= kRoundRun)
                interestMark_ = workUnit;
            else
                ReportInterest(workUnit, "pulse, that looks interesting.");
        }
    }

    // One box per work unit and call: a broken computer spoils every spike
    // of the unit, and the user needs to hear it once. The box also silences
    // the interest alerts for the unit, whose figures are as suspect.
    void WarnComputerError(double power, std::int32_t workUnit) {
        if (context_.noAlerts || workUnit <= peakMark_ || reading_.Cursor() < quietBefore_) return;
        if (record_ != nullptr)
            record_->alerts.push_back({Taken(), true, power, {}});
        else
            dialogs_.ShowWarning(ComputerErrorText(context_, workUnit, power));
        peakMark_ = workUnit;
        interestMark_ = workUnit;
        warned_ = true;
    }

    // Only while the totals are built: the user asked to look through the
    // archive, and one box per work unit is enough.
    void ReportInterest(std::int32_t workUnit, std::string_view what) {
        if (context_.noAlerts || !context_.selectorTotal || workUnit <= interestMark_) return;
        if (record_ != nullptr)
            record_->alerts.push_back({Taken(), false, 0, what});
        else
            dialogs_.ShowInformation(InterestText(workUnit, what));
        interestMark_ = workUnit;
    }

    // Counts a spike or triplet just appended; true when the work unit is a
    // fast one that the totals should leave out. A record notes where that
    // would first happen and reads on.
    bool CountsAsFast(double chirpRate) {
        ++appended_;
        const bool fast = appended_ >= kFastWorkUnitCount && chirpRate > kFastLowChirp &&
                          chirpRate < kFastHighChirp;
        if (record_ != nullptr) {
            if (fast && !record_->fastEnd) record_->fastEnd = {Taken(), record_->alerts.size()};
            return false;
        }
        return fast && context_.selectorTotal && context_.ignoreFast;
    }

    // The records this call has appended so far.
    ReadPosition Taken() const {
        const ListLengths now = LengthsOf(lists_);
        return {static_cast<std::uint32_t>(now.spikes - before_.spikes),
                static_cast<std::uint32_t>(now.gaussians - before_.gaussians),
                static_cast<std::uint32_t>(now.triplets - before_.triplets),
                static_cast<std::uint32_t>(now.pulses - before_.pulses)};
    }

    ArchivedResult* const record_;

    Reading& reading_;
    const ResultReadContext& context_;
    const double timeRecorded_;
    const float fileVersion_;
    views::Dialogs& dialogs_;
    SignalLists& lists_;
    ShownMarkers& shown_;
    const std::size_t quietBefore_;
    bool& warned_;
    std::int32_t peakMark_ = -1;
    std::int32_t interestMark_ = -1;
    int appended_ = 0;
    const ListLengths before_;
    std::uint64_t textLength_ = 0;
    bool foreseen_ = false;
    std::size_t recordAt_ = 0;  // where the record being read began

    // A large text's record counts, foreseen from its first part: the lists
    // then grow once instead of doubling their way up, copying everything
    // and touching fresh memory at each step.
    static constexpr std::size_t kForesightSample = 1024 * 1024;
    void ForeseeCounts() {
        foreseen_ = true;
        if (textLength_ < 4 * kForesightSample) return;
        const double scale =
            static_cast<double>(textLength_) / static_cast<double>(reading_.Cursor());
        const auto foresee = [scale](auto& list, std::size_t before) {
            // An alert of this call may have let the lists be emptied.
            if (list.size() <= before) return;
            const double expected = static_cast<double>(list.size() - before) * scale * 1.05;
            list.reserve(before + static_cast<std::size_t>(expected) + 16);
        };
        foresee(lists_.SpikeList, before_.spikes);
        foresee(lists_.GaussianList, before_.gaussians);
        foresee(lists_.TripletList, before_.triplets);
        foresee(lists_.PulseList, before_.pulses);
    }
};

// The first six significant digits of a period written with six decimals,
// as an integer; missing digits count as 0. Nothing for a value that has
// no decimal form.
std::optional<std::uint32_t> SixSignificantDigits(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    // The largest double has 309 integer digits; a sign, a point and six
    // decimals fit as well.
    std::array<char, 330> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, 6);
    if (error != std::errc{}) return std::nullopt;
    std::uint32_t digits = 0;
    int taken = 0;
    for (const char* c = buffer.data(); c != end && taken < 6; ++c) {
        if (*c < '0' || *c > '9') continue;
        if (taken == 0 && *c == '0') continue;  // leading zeros are not significant
        digits = digits * 10 + static_cast<std::uint32_t>(*c - '0');
        ++taken;
    }
    for (; taken < 6; ++taken)
        digits *= 10;
    return digits;
}

}  // namespace

bool ResultFileReader::ReadResultFile(const std::string& path, const ResultReadContext& context) {
    // A timer tick while a box of another reading (or of this one) is open:
    // refuse before anything moves, so the new bytes wait for a later tick.
    if (gate_.Busy()) return false;
    return Read(path, files_.FileSize(path), context, nullptr);
}

bool ResultFileReader::Read(const std::string& path, const std::optional<std::uint64_t> size,
                            const ResultReadContext& context, ArchivedResult* record) {
    // The caller's flags may change while an alert is open; this call keeps
    // the ones it started with.
    const ResultReadContext ctx = context;

    // Start at 0 until the first signal has been read; a finished or
    // archived file is read whole, and while the selector shows the current
    // unit its signals replace those of the live file.
    if (lists_.Empty()) resultReadPos_ = 0;
    if (!ctx.liveMode) {
        resultReadPos_ = kFinishedStart;
        if (ctx.selectorCurrent) lists_.ClearSignals();
    }

    // The position is 32 bits; no client's result comes near 2 GB.
    if (!size || *size == 0 ||
        *size > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        if (record != nullptr) record->whole = size.has_value();
        return false;
    }
    const auto start = static_cast<std::uint64_t>(resultReadPos_);
    if (record != nullptr) {
        record->size = *size;
        record->whole = *size <= start;
    }
    if (*size <= start) return false;  // nothing new, or shorter than what was read

    // Exactly the new bytes: a poll costs what the client wrote since the
    // last one, in one read; a whole result is read in blocks.
    const std::uint64_t length = *size - start;
    auto source = std::make_unique<FileChunk>(files_, path, start, length);
    const FileChunk& chunk = *source;
    std::optional<Reading> reading = gate_.Begin(
        std::move(source), static_cast<std::size_t>(std::min<std::uint64_t>(length, kBlockSize)));
    if (!reading || reading->AtEnd()) return false;  // unreadable, or emptied meanwhile
    // Consumed whatever happens next: a damaged line is not read twice (a
    // reading that damage ended goes on after that line, below). A file
    // found shorter than its size said counts as read to where it ended.
    resultReadPos_ = static_cast<std::int32_t>(*size);
    resumeAt_.reset();
    const bool parsed = Parse(*reading, ctx, start, length, record);
    if (chunk.EndedShort()) resultReadPos_ = static_cast<std::int32_t>(start + chunk.Delivered());
    if (resumeAt_ && *resumeAt_ < resultReadPos_) resultReadPos_ = *resumeAt_;
    if (record != nullptr) {
        record->whole = !chunk.EndedShort();
        record->complete = parsed;
        record->readPos = resultReadPos_;
        record->version = resultVersion_;
    }
    return parsed;
}

std::optional<ArchivedResult> ResultFileReader::ParseArchivedResult(platform::Files& files,
                                                                    const std::string& path,
                                                                    std::int32_t number) {
    // Counts what the reading would have shown: only a damaged file's
    // message comes this way, the alerts go to the record.
    class Unshown : public views::Dialogs {
    public:
        void ShowError(std::string_view) override { ++shown; }
        void ShowWarning(std::string_view) override { ++shown; }
        void ShowInformation(std::string_view) override { ++shown; }
        bool AskYesNo(std::string_view) override {
            ++shown;
            return false;
        }
        std::optional<std::string> AskClientPath() override { return std::nullopt; }
        void ShowAbout() override {}
        int shown = 0;
    };
    Unshown unshown;
    clientfiles::ReadingGate gate(unshown);
    ShownMarkers shown;
    ArchivedResult result;
    SignalLists signals;
    ResultFileReader reader(files, gate, unshown, signals, shown);
    ResultReadContext context;
    context.liveMode = false;
    context.selectorCurrent = false;
    context.selectorTotal = true;
    context.currentArchiveNumber = number;
    reader.Read(path, files.FileSize(path), context, &result);
    if (!result.whole || unshown.shown != 0) return std::nullopt;
    std::optional<PackedSignals> packed = PackedSignals::Pack(signals);
    if (!packed) return std::nullopt;
    result.signals = std::move(*packed);
    return result;
}

bool ResultFileReader::ReadArchivedResult(const ArchivedResult& parsed,
                                          const ResultReadContext& context) {
    if (gate_.Busy()) return false;
    const ResultReadContext ctx = context;
    if (lists_.Empty()) resultReadPos_ = 0;
    if (!ctx.liveMode) {
        resultReadPos_ = kFinishedStart;
        if (ctx.selectorCurrent) lists_.ClearSignals();
    }
    if (parsed.readPos == 0) return false;  // nothing to read
    resultReadPos_ = parsed.readPos;
    if (parsed.versionRead) resultVersion_ = parsed.version;

    // The gate stays closed while an alert is open, as during a reading.
    std::optional<Reading> hold = gate_.Begin(std::string());
    const ListLengths before = LengthsOf(lists_);
    PackedSignals::Reader unpack(parsed.signals);
    const auto takeUntil = [&](const ReadPosition& until) { unpack.AppendUntil(until, lists_); };

    const bool fast = ctx.selectorTotal && ctx.ignoreFast && parsed.fastEnd.has_value();
    const std::size_t alerts = fast ? parsed.fastEnd->alerts : parsed.alerts.size();
    for (std::size_t i = 0; i < alerts && !ctx.noAlerts; ++i) {
        const ArchivedResult::Alert& alert = parsed.alerts[i];
        takeUntil(alert.at);
        if (alert.computerError)
            dialogs_.ShowWarning(
                ComputerErrorText(ctx, ctx.currentArchiveNumber, alert.power));
        else
            dialogs_.ShowInformation(InterestText(ctx.currentArchiveNumber, alert.what));
    }
    if (fast) {
        // Taken before they go: lists emptied while an alert was open keep
        // what the reading put in since, as far as it reached.
        takeUntil(parsed.fastEnd->at);
        CutBack(lists_.SpikeList, before.spikes);
        CutBack(lists_.GaussianList, before.gaussians);
        CutBack(lists_.TripletList, before.triplets);
        CutBack(lists_.PulseList, before.pulses);
        return false;
    }
    takeUntil(parsed.signals.Counts());
    return parsed.complete;
}

bool ResultFileReader::Parse(Reading& text, const ResultReadContext& ctx, std::uint64_t start,
                             std::uint64_t textLength, ArchivedResult* record) {
    Reading* const reading = &text;
    const ListLengths before = LengthsOf(lists_);
    // The live file is read from its start again until a signal is kept: a
    // spike dropped as a computer error is read again at every checkpoint,
    // but its warning is not shown again.
    std::size_t quietBefore = 0;
    if (ctx.liveMode && warnedClearings_ == lists_.Clearings && warnedEnd_ > start)
        quietBefore = static_cast<std::size_t>(warnedEnd_ - start);
    bool warned = false;
    // Remembered however the parse ends: a damaged line aborts it.
    const OnExit rememberWarning([&] {
        if (!ctx.liveMode || !warned) return;
        warnedClearings_ = lists_.Clearings;
        warnedEnd_ = start + textLength;
    });

    try {
        double timeRecorded = 0;
        if (ctx.liveMode) {
            // The live file carries no header; the running client wrote it.
            resultVersion_ = static_cast<float>(ctx.clientVersion);
        } else {
            // Version 1 clients wrote one "ver" line; later ones two.
            if (reading->FindAnyLine(kVersionKeys) == 1) {
                resultVersion_ = 1.0f;
            } else {
                const auto major = static_cast<std::uint8_t>(reading->ReadInt());
                reading->FindLine("minor");
                const auto minor = static_cast<std::uint8_t>(reading->ReadInt());
                resultVersion_ = static_cast<float>(major + minor / 100.0);
            }
            if (record != nullptr) record->versionRead = true;
            reading->FindLine("time_recorded");
            timeRecorded = reading->ReadReal();
        }

        ChunkParser parser(*reading, ctx, timeRecorded, resultVersion_, dialogs_, lists_, shown_,
                           quietBefore, warned, record);
        parser.SetTextLength(textLength);
        bool complete = false;
        try {
            complete = parser.ParseLines();
        } catch (const clientfiles::ReportedCorrupt&) {
            throw;  // the user was told: the rest of this text is not read
        } catch (const ReadAbort&) {
            // A damaged value ends the parse silently. A live file goes on
            // after the damaged line: the next reading starts on the line
            // after it, so that the lines that came with it are not lost
            // (they would be, read from the end of this reading).
            if (ctx.liveMode)
                if (const auto after = parser.LineAfterDamage())
                    resumeAt_ = static_cast<std::int32_t>(start + *after);
            throw;
        }
        if (!complete) {
            // A fast work unit contributes nothing at all to the totals.
            CutBack(lists_.SpikeList, before.spikes);
            CutBack(lists_.GaussianList, before.gaussians);
            CutBack(lists_.TripletList, before.triplets);
            CutBack(lists_.PulseList, before.pulses);
            return false;
        }
    } catch (const ReadAbort&) {
        return false;
    }

    if (ctx.liveMode) {
        // Forces the next state reading to refresh the best-signal labels
        // from the lists the caller recomputes now.
        shown_.ShownPeak = ShownMarkers::kNone;
        shown_.ShownGaussian = ShownMarkers::kNone;
    }
    return true;
}

std::uint8_t RepeatedDigitRun(int kind, double value) {
    std::uint32_t low = 0;  // the seven lowest decimal digits of the integer examined
    if (kind == 0) {
        // Tenths of a hertz; only the magnitude's digits matter.
        const double tenths = std::fabs(clientfiles::RoundHalfEven(value * 10));
        if (!std::isfinite(tenths)) return 0;
        low = static_cast<std::uint32_t>(std::fmod(tenths, 1e7));  // exact
    } else {
        const std::optional<std::uint32_t> digits = SixSignificantDigits(value);
        if (!digits) return 0;
        low = *digits;
    }

    int previous = -1;  // none
    int run = 0;
    int best = 0;
    for (int i = 0; i < 7; ++i, low /= 10) {
        const int digit = static_cast<int>(low % 10);
        if (digit == 0 || digit == 9) {
            if (digit == previous) {
                ++run;
                best = std::max(best, run);
            } else {
                previous = digit;
                run = 1;
            }
        } else {
            previous = -1;
            run = 0;
        }
    }
    return static_cast<std::uint8_t>(std::max(best, run));
}

}  // namespace signals
