#include "clientfiles/Readers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>
#include <system_error>

#include "clientfiles/Format.h"
#include "platform/Platform.h"
#include "views/Dialogs.h"
#include "views/MainView.h"

namespace clientfiles {

namespace {

using views::Control;

constexpr std::uint64_t kHeaderLimit = 900;
// The state reader needs the keys up to the best triplet, which starts near
// byte 2750; the rest of the file is never looked at.
constexpr std::uint64_t kStateLimit = 3000;
constexpr double kSecondsPerYear = 31557600;  // 365.25 days
constexpr std::int32_t kTenDays = 864000;

// Truncation toward zero as an integer, safe for any double a damaged file
// can produce (NaN counts as 0; huge values are clamped).
std::int64_t TruncToInt(double x) {
    if (std::isnan(x)) return 0;
    constexpr double kLimit = 9e18;
    return static_cast<std::int64_t>(std::clamp(std::trunc(x), -kLimit, kLimit));
}

// An angle or an hour as whole units, minutes and seconds, each truncated.
// The sign is kept apart and the fields are magnitudes, so -21.25 becomes
// "-", 21, 15, 0 rather than -21, -15, 0, and -0.5 keeps its sign although
// its whole part is 0.
struct Sexagesimal {
    bool negative = false;
    std::int64_t whole = 0;
    std::int64_t minutes = 0;
    std::int64_t seconds = 0;
};

Sexagesimal Split(double x) {
    const double a = std::fabs(x);
    const double whole = std::trunc(a);
    const double scaled = a * 60;
    Sexagesimal s;
    s.negative = x < 0;
    s.whole = TruncToInt(whole);
    // frac(x) * 60 rounded up to exactly 60 must not show "60".
    s.minutes = std::min<std::int64_t>(TruncToInt((a - whole) * 60), 59);
    s.seconds = std::min<std::int64_t>(TruncToInt((scaled - std::trunc(scaled)) * 60), 59);
    return s;
}

// "7:30' 00'' RA, +21º15' 00'' Dec" as 8-bit text (0xBA is the degree sign
// the client's code page uses).
std::string SkyPositionText(double ra, double dec) {
    const Sexagesimal r = Split(ra);
    std::string text = r.negative ? "-" : "";
    text += std::to_string(r.whole) + ":" + TwoDigits(r.minutes) + "' " + TwoDigits(r.seconds) +
            "'' RA, ";
    const Sexagesimal d = Split(dec);
    if (dec > 0) text += '+';
    if (d.negative) text += '-';
    text +=
        TwoDigits(d.whole) + "\xBA" + TwoDigits(d.minutes) + "' " + TwoDigits(d.seconds) + "'' Dec";
    return text;
}

constexpr bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}

// A decimal integer with an optional sign and nothing else around it but
// blanks and control characters.
std::optional<std::int32_t> ParseInt(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    std::int32_t value = 0;
    const char* last = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), last, value);
    if (ec != std::errc{} || ptr != last) return std::nullopt;
    return value;
}

// A decimal real number written with "." (the client's files never follow
// the user's locale), surrounded by nothing but blanks.
std::optional<double> ParseReal(std::string_view text) {
    return ParseDecimal(Trim(text));
}

// The text between the first "(" of a line and the first ")" after it (the
// rest of the line when no ")" follows); empty without "(".
std::string_view Parenthesized(std::string_view line) {
    const std::size_t open = line.find('(');
    if (open == std::string_view::npos) return {};
    const std::size_t close = line.find(')', open + 1);
    return line.substr(open + 1, close == std::string_view::npos ? close : close - open - 1);
}

// Skips lines up to the first one that begins with `key` and returns it.
// No such line before the end (a damaged or cut file) ends the reading
// silently, like any other failure that is not a missing key.
std::string SkipToLine(Reading& reading, std::string_view key) {
    for (;;) {
        std::string line = reading.SkipLine();
        if (line.starts_with(key)) return line;
        if (reading.AtEnd()) throw ReadAbort{};
    }
}

// A zero divisor (a sample rate of 0, no samples) ends the reading silently
// instead of showing infinities.
double Divide(double numerator, double denominator) {
    if (denominator == 0) throw ReadAbort{};
    return numerator / denominator;
}

}  // namespace

ReadOutcome ClientReaders::ReadWorkUnitHeader(const std::string& workUnitPath,
                                              const ReaderEnvironment& env) {
    if (gate_.Busy()) return ReadOutcome::Refused;
    std::optional<std::string> bytes = files_.ReadFile(workUnitPath, kHeaderLimit);
    if (!bytes || bytes->empty()) return ReadOutcome::NoFile;
    std::optional<Reading> reading = gate_.Begin(std::move(*bytes));
    if (!reading) return ReadOutcome::Refused;
    ClientFigures& f = figures_;

    try {
        // Client version and the drift-rate zoom it calls for.
        if (env.selector == SelectorView::Total) {
            f.NaturalZoom = 2;
        } else {
            if (env.liveMode || env.selector == SelectorView::Current) {
                ReadClientVersion(env);
            } else {
                // An archived result carries the version of the client that
                // produced it; very old clients wrote only a "ver" line.
                constexpr std::array<std::string_view, 2> kVersionKeys = {"major_v", "ver"};
                if (reading->FindAnyLine(kVersionKeys) == 1) {
                    f.VersionMajor = 1;
                    f.VersionMinor = -100;
                } else {
                    f.VersionMajor = reading->ReadInt();
                    reading->FindLine("minor");
                    f.VersionMinor = reading->ReadInt();
                }
            }
            f.ClientVersion = f.VersionMajor + f.VersionMinor / 100.0;
            std::string minorText = f.VersionMinor < 0 ? "xx" : std::to_string(f.VersionMinor);
            if (f.VersionMinor >= 0 && f.VersionMinor < 10) minorText.insert(0, 1, '0');
            view_.SetText(Control::SAHVerLabel,
                          "S@H ver. " + std::to_string(f.VersionMajor) + "." + minorText);
            // Compared in hundredths: "at most 2.7" and "at most 3.015" on
            // major + minor / 100, without the doubt of binary fractions.
            const std::int64_t hundredths =
                std::int64_t{f.VersionMajor} * 100 + std::int64_t{f.VersionMinor};
            f.NaturalZoom = hundredths <= 270 ? 0 : hundredths <= 301 ? 1 : 2;
        }
        if (env.onNaturalZoom) env.onNaturalZoom(f.NaturalZoom);

        reading->FindLine("name");
        f.WorkUnitName = reading->ReadLineValue();

        reading->FindLine("start_ra");
        const double startRa = reading->ReadReal();
        reading->FindLine("start_dec");
        const double startDec = reading->ReadReal();
        reading->FindLine("end_ra");
        const double endRa = reading->ReadReal();
        reading->FindLine("end_dec");
        const double endDec = reading->ReadReal();
        f.SkyRA = (startRa + endRa) / 2;
        f.SkyDec = (startDec + endDec) / 2;
        view_.SetText(Control::SkyPosLabel, Cp1252ToUtf8(SkyPositionText(f.SkyRA, f.SkyDec)));

        reading->FindLine("angle_range");
        f.AngleRange = reading->ReadReal();
        view_.SetHint(
            Control::SkyPosLabel,
            "Angle range = " + ShortestForm(f.AngleRange, env.decimalSeparator) + " deg.");

        // "time_recorded= 2451737.02342 (Wed Jul 12 00:33:42 2000)": the
        // Julian date stands between "= " and " (", the date in words
        // inside the parentheses.
        {
            const std::string line = SkipToLine(*reading, "time_recorded");
            const std::size_t equals = line.find('=');
            const std::size_t open = line.find('(');
            if (equals == std::string::npos || open == std::string::npos || open < equals + 3)
                throw ReadAbort{};
            const std::optional<double> julian =
                ParseReal(std::string_view(line).substr(equals + 2, open - 1 - (equals + 2)));
            if (!julian) throw ReadAbort{};
            // Archived work units must not move the live one's date.
            if (env.liveMode) f.TimeRecorded = *julian;
            view_.SetText(Control::DateLabel, Cp1252ToUtf8(Parenthesized(line)));
        }

        reading->FindLine("subband_base");
        std::string gigahertz = ShortestForm(reading->ReadReal() * 1e-9, env.decimalSeparator);
        if (gigahertz.size() > 11) gigahertz.resize(11);
        view_.SetText(Control::BaseFreqLabel, gigahertz + " GHz");

        // The client's key is longer than the 15 characters a key may have.
        reading->FindLine("subband_sample_");
        f.SubbandSampleRate = reading->ReadReal();

        reading->FindLine("receiver");
        const std::string receiver = reading->ReadLineValue();
        view_.SetText(Control::TelescopeLabel,
                      receiver == "ao1420" ? "Arecibo Radio Telescope" : Cp1252ToUtf8(receiver));

        reading->FindLine("nsamples");
        const std::int32_t samples = reading->ReadInt();
        f.WorkUnitSeconds = Divide(samples, f.SubbandSampleRate);
        f.TelescopeRate = Divide(f.AngleRange, f.WorkUnitSeconds);

        if (env.shownGaussian <= 0) ShowTelescopeSpeed();
    } catch (const ReadAbort&) {
        return ReadOutcome::Aborted;
    }
    return ReadOutcome::Completed;
}

void ClientReaders::ReadClientVersion(const ReaderEnvironment& env) {
    std::optional<std::string> bytes = files_.ReadFile(env.clientPath + "version.sah");
    if (!bytes) {
        figures_.VersionMajor = 1;
        figures_.VersionMinor = -100;
        return;
    }
    // Read up to the first carriage return: the client ends its lines with a
    // line feed alone, so this is normally the whole file. A file with CR LF
    // lines thus loses its second line and fails below.
    std::string_view text(*bytes);
    text = text.substr(0, text.find('\r'));

    // The value after "=" on the first line (a last line without its line
    // feed runs to the end); what follows the line feed is the rest.
    auto nextValue = [&text]() -> std::int32_t {
        const std::size_t lineFeed = text.find('\n');
        const std::string_view line = text.substr(0, lineFeed);
        text = lineFeed == std::string_view::npos ? std::string_view{} : text.substr(lineFeed + 1);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) throw ReadAbort{};
        const std::optional<std::int32_t> value = ParseInt(line.substr(equals + 1));
        if (!value) throw ReadAbort{};
        return *value;
    };
    figures_.VersionMajor = nextValue();
    figures_.VersionMinor = nextValue();
}

ReadOutcome ClientReaders::ReadState(const std::string& statePath, const ReaderEnvironment& env,
                                     StateListener& listener) {
    if (gate_.Busy()) return ReadOutcome::Refused;
    std::optional<std::string> bytes = files_.ReadFile(statePath, kStateLimit);
    if (!bytes) {
        listener.ResetProgress();
        return ReadOutcome::NoFile;
    }
    if (bytes->empty()) {
        // The client empties the file when it starts a sweep or ends one.
        const double chirp = figures_.CurrentChirp;
        if (chirp == 0 || chirp == -10 || chirp == -50) listener.ResetProgress();
        return ReadOutcome::NoFile;
    }
    const std::size_t loaded = bytes->size();
    std::optional<Reading> reading = gate_.Begin(std::move(*bytes));
    if (!reading) return ReadOutcome::Refused;

    try {
        if (env.liveMode) {
            reading->FindLine("cr");
            figures_.CurrentChirp = reading->ReadReal();
        } else {
            // A finished work unit has swept down to the end of its range.
            figures_.CurrentChirp = -env.driftRange;
        }
        listener.ShowDriftProgress();

        // The CPU time is on the line "cpu=..." (or one whose second
        // character after "cpu" is "i"); other lines beginning "cpu" are
        // passed over.
        do {
            reading->FindLine("cpu");
        } while (!reading->AtEnd() && reading->Peek(0) != '=' && reading->Peek(1) != 'i');
        figures_.CpuSeconds = reading->ReadInt();
        view_.SetText(Control::CPUTimeLabel, FormatHMS(figures_.CpuSeconds));

        if (env.liveMode) {
            reading->FindLine("prog");
            figures_.Progress = reading->ReadReal();
        } else {
            figures_.Progress = 1;
        }
        if (!listener.ShowProgress()) return ReadOutcome::Aborted;

        if (env.liveMode) listener.UpdateLiveBests(*reading, loaded);
    } catch (const ReadAbort&) {
        return ReadOutcome::Aborted;
    }
    reading.reset();
    if (!env.liveMode) listener.ComputeBestSignals();
    return ReadOutcome::Completed;
}

ReadOutcome ClientReaders::ReadUserInfo(const ReaderEnvironment& env) {
    if (gate_.Busy()) return ReadOutcome::Refused;
    // Loaded whole, and also when empty: the first value read then shows the
    // scanner's message for "=".
    std::optional<std::string> bytes =
        files_.ReadFile(env.clientPath + "user_info" + env.clientFileExt);
    if (!bytes) return ReadOutcome::NoFile;
    std::optional<Reading> reading = gate_.Begin(std::move(*bytes));
    if (!reading) return ReadOutcome::Refused;

    try {
        reading->FindLine("email");
        view_.SetText(Control::EMailLabel, Cp1252ToUtf8(reading->ReadLineValue()));
        // A client with a user file is one that finds triplets and pulses.
        figures_.PulsesEnabled = true;
        view_.SetEnabled(Control::ShowTripletsMenu, true);
        view_.SetEnabled(Control::ShowPulsesMenu, true);

        reading->FindLine("name");
        view_.SetText(Control::UserNameLabel, Cp1252ToUtf8(reading->ReadLineValue()));
        reading->FindLine("country");
        view_.SetText(Control::CountryLabel, Cp1252ToUtf8(reading->ReadLineValue()));

        const std::string registerLine = SkipToLine(*reading, "register_time");
        view_.SetText(Control::RegisterLabel, Cp1252ToUtf8(Parenthesized(registerLine)));

        // The label shows the text as the client wrote it; as a count, a text
        // that is not a plain decimal integer counts 0, so the average reads
        // "Unknown" rather than stopping the reading.
        reading->FindLine("nresults");
        const std::string resultsText = reading->ReadLineValue();
        view_.SetText(Control::TotalWULabel, Cp1252ToUtf8(resultsText));
        const std::int32_t results = ParseInt(resultsText).value_or(0);

        view_.SetText(Control::RecordedWULabel, std::to_string(env.archiveCount));

        reading->FindLine("total_cpu");
        const std::int32_t seconds = reading->ReadInt();
        std::string allTime;
        if (seconds > kSecondsPerYear)
            allTime = ShortestForm(RoundTo(seconds / kSecondsPerYear, 2), env.decimalSeparator) +
                      " years";
        else if (seconds > kTenDays)
            allTime = std::to_string(seconds / 86400) + " days";
        else
            allTime = FormatHMS(seconds);
        view_.SetText(Control::AllTimeLabel, allTime);

        view_.SetText(
            Control::AverageTimeLabel,
            results >= 1
                ? FormatHMS(TruncToInt(RoundHalfEven(static_cast<double>(seconds) / results)))
                : std::string("Unknown"));
    } catch (const ReadAbort&) {
        return ReadOutcome::Aborted;
    }
    return ReadOutcome::Completed;
}

void ClientReaders::ShowTelescopeSpeed() {
    // Outside this band the telescope does not dwell on a point of the sky
    // long enough, or too long, for a gaussian to be expected.
    const double rate = figures_.TelescopeRate;
    const char* text = "none";
    if (rate <= 0.0021)
        text = "The telescope is moving too slowly.";
    else if (rate >= 0.0105)
        text = "The telescope is moving too quickly.";
    view_.SetText(Control::BestGaussianLabel, text);
}

namespace {

// Nobody is told anything: a reading that fails only gives nothing.
class SilentDialogs : public views::Dialogs {
public:
    void ShowError(std::string_view) override {}
    void ShowWarning(std::string_view) override {}
    void ShowInformation(std::string_view) override {}
    bool AskYesNo(std::string_view) override { return false; }
    std::optional<std::string> AskClientPath() override { return std::nullopt; }
    void ShowAbout() override {}
};

}  // namespace

std::optional<std::string> PeekWorkUnitName(platform::Files& files, const std::string& path) {
    std::optional<std::string> bytes = files.ReadFile(path, kHeaderLimit);
    if (!bytes || bytes->empty()) return std::nullopt;
    // A gate of its own: this reading shares no text with any other.
    SilentDialogs silent;
    ReadingGate gate(silent);
    std::optional<Reading> reading = gate.Begin(std::move(*bytes));
    if (!reading) return std::nullopt;
    try {
        reading->FindLine("name");
        if (reading->AtEnd()) return std::nullopt;
        return reading->ReadLineValue();
    } catch (const ReadAbort&) {
        return std::nullopt;
    }
}

}  // namespace clientfiles
