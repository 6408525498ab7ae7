#include "cli/InspectionCommands.h"

#include <array>
#include <cstdint>
#include <iostream>
#include <string_view>
#include <vector>

#include "canvas/Canvas.h"
#include "cli/Json.h"
#include "clientfiles/Readers.h"
#include "inspection/HeadlessSignalInfoView.h"
#include "inspection/SignalInfo.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "signals/SignalRecords.h"
#include "views/SignalInfoView.h"

namespace cli {

const char* const kInspectionUsage =
    "       skyvane-cli signals --client-dir DIR\n"
    "       skyvane-cli plot --client-dir DIR --kind gaussian|pulse --index N --png FILE\n"
    "  signals  print, for every signal the signal info window can show, the texts of its\n"
    "           page as JSON\n"
    "  plot     write the plot of gaussian or pulse N (its place in the list, from 0) as a\n"
    "           PNG picture, as the signal info window draws it\n";

namespace {

using views::SignalInfoControl;

constexpr int kUsageError = 2;

struct InspectionArguments {
    std::string command;
    std::optional<std::string> clientDir;
    std::optional<std::string> png;
    std::optional<int> kind;
    std::optional<long long> index;
};

std::optional<InspectionArguments> ParseArguments(int argc, char** argv, std::string& error) {
    InspectionArguments args;
    args.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (i + 1 >= argc) {
            error = "missing value or unknown option: " + std::string(word);
            return std::nullopt;
        }
        const std::string value = argv[++i];
        if (word == "--client-dir") {
            args.clientDir = value;
        } else if (word == "--png") {
            args.png = value;
        } else if (word == "--kind") {
            if (value == "gaussian") args.kind = 1;
            if (value == "pulse") args.kind = 3;
            if (!args.kind) error = "the kind must be gaussian or pulse: " + value;
        } else if (word == "--index") {
            const bool digits = !value.empty() && value.size() < 10 &&
                                value.find_first_not_of("0123456789") == std::string::npos;
            if (digits)
                args.index = std::stoll(value);
            else
                error = "the index must be a number from 0 on: " + value;
        } else {
            error = "unknown option: " + std::string(word);
        }
        if (!error.empty()) return std::nullopt;
    }
    if (!args.clientDir) error = "missing --client-dir";
    if (!error.empty()) return std::nullopt;
    return args;
}

// The signal info window's logic and a headless window over a copy of the
// lists the main window read, so that nothing the window does (sorting,
// times made relative) reaches the main window's own lists.
class HeadlessWindow {
public:
    HeadlessWindow(const monitor::Monitor& monitor, char decimalSeparator)
        : lists_(monitor.Lists()), figures_(monitor.Figures()) {
        env_.decimalSeparator = decimalSeparator;
    }

    // Opened as after a click that selected nothing: every page at its
    // first signal.
    void Open() { info_.ShowSignalInfo(); }
    inspection::SignalInfo& Info() { return info_; }
    const inspection::HeadlessSignalInfoView& View() const { return view_; }
    std::size_t Count(int kind) const {
        switch (kind) {
            case 0:
                return lists_.SpikeList.size();
            case 1:
                return lists_.GaussianList.size();
            case 2:
                return lists_.TripletList.size();
            default:
                return lists_.PulseList.size();
        }
    }

private:
    signals::SignalLists lists_;
    clientfiles::ClientFigures figures_;
    clientfiles::ReaderEnvironment env_;
    std::array<std::int32_t, 4> selected_{-1, -1, -1, -1};
    inspection::HeadlessSignalInfoView view_;
    inspection::SignalInfo info_{
        [this](views::SignalInfoEvents&) -> views::SignalInfoView& { return view_; },
        lists_,
        selected_,
        figures_,
        env_,
        [] {}};
};

// The texts of each page, in the window's order.
const std::vector<SignalInfoControl>& PageTexts(int kind) {
    using C = SignalInfoControl;
    static const std::array<std::vector<C>, 4> kTexts = {{
        {C::PeakNumLabel, C::PeakPowerLabel, C::PeakResLabel, C::PowResLabel, C::PeakDriftLabel,
         C::PeakFreqLabel, C::PeakTimeLabel, C::Memo1},
        {C::GausNumLabel, C::GausLabel1, C::GausLabel2},
        {C::TripletNumLabel, C::TripletPowerLabel, C::TripletPeriodLabel, C::TripletResLabel,
         C::TripletDriftLabel, C::TripletFreqLabel, C::TripletTimeLabel},
        {C::PulseNumLabel, C::PulseLabel1, C::PulseLabel2},
    }};
    return kTexts[static_cast<std::size_t>(kind)];
}

int PrintSignals(const monitor::Monitor& monitor, char decimalSeparator) {
    HeadlessWindow window(monitor, decimalSeparator);
    window.Open();
    const inspection::HeadlessSignalInfoView& view = window.View();

    static constexpr const char* kPages[] = {"Peaks", "Gaussians", "Triplets", "Pulses"};
    JsonObject json;
    for (int kind = 0; kind < 4; ++kind) {
        // A page the window does not have shows nothing.
        const std::size_t count = view.PagePresent(kind) ? window.Count(kind) : 0;
        std::string array = "[";
        for (std::size_t i = 0; i < count; ++i) {
            window.Info().ScrollBarChange(kind, static_cast<int>(i));
            JsonObject page;
            for (const SignalInfoControl c : PageTexts(kind))
                page.Add(views::SignalInfoControlName(c), view.Text(c));
            const SignalInfoControl number = views::PageHead(kind).numLabel;
            if (!view.Hint(number).empty())
                page.Add(std::string(views::SignalInfoControlName(number)) + ".Hint",
                         view.Hint(number));
            array += (i == 0 ? "\n    " : ",\n    ") + page.ToString(2);
        }
        json.AddRaw(kPages[kind], array + (count == 0 ? "]" : "\n  ]"));
    }
    std::cout << json.ToString() << "\n";
    return 0;
}

int WritePlot(const monitor::Monitor& monitor, const InspectionArguments& args,
              platform::Services services) {
    HeadlessWindow window(monitor, services.environment.DecimalSeparator());
    const int kind = *args.kind;
    const std::size_t count = window.Count(kind);
    if (static_cast<std::size_t>(*args.index) >= count) {
        std::cerr << "skyvane-cli: there is no " << (kind == 1 ? "gaussian" : "pulse") << " "
                  << *args.index << " (the work unit has " << count << ")\n";
        return 1;
    }
    // Stepped to, not clicked: a click on a gaussian would show the best one
    // at its drift rate instead.
    window.Open();
    window.Info().ScrollBarChange(kind, static_cast<int>(*args.index));
    const SignalInfoControl graph =
        kind == 1 ? SignalInfoControl::GausGraph : SignalInfoControl::PulseGraph;
    const canvas::Canvas* picture = window.View().Picture(graph);
    if (picture == nullptr || !services.files.WriteFile(*args.png, canvas::EncodePng(*picture))) {
        std::cerr << "skyvane-cli: cannot write " << *args.png << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

std::optional<int> RunInspectionCommand(int argc, char** argv, const WithClientDir& withClientDir) {
    if (argc < 2) return std::nullopt;
    const std::string_view command = argv[1];
    if (command != "signals" && command != "plot") return std::nullopt;

    std::string error;
    const auto args = ParseArguments(argc, argv, error);
    if (args && command == "plot" && (!args->kind || !args->index || !args->png))
        error = "plot needs --kind, --index and --png";
    if (!args || !error.empty()) {
        std::cerr << "skyvane-cli: " << error << "\nusage:\n" << kInspectionUsage;
        return kUsageError;
    }

    platform::NativePlatform native;
    const platform::Services services = native.services();
    return withClientDir(*args->clientDir, [&](const monitor::Monitor& monitor) {
        if (command == "signals")
            return PrintSignals(monitor, services.environment.DecimalSeparator());
        return WritePlot(monitor, *args, services);
    });
}

}  // namespace cli
