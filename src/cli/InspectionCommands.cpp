#include "cli/InspectionCommands.h"

#include <CLI/CLI.hpp>
#include <array>
#include <cstdint>
#include <iostream>
#include <map>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "canvas/Canvas.h"
#include "cli/CommandLine.h"
#include "cli/Json.h"
#include "clientfiles/Readers.h"
#include "inspection/HeadlessSignalInfoView.h"
#include "inspection/SignalInfo.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "signals/SignalRecords.h"
#include "views/SignalInfoView.h"

namespace cli {

namespace {

using views::SignalInfoControl;

struct InspectionArguments {
    std::string clientDir;
    std::string png;
    int kind = 1;
    int index = 0;
};

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
        std::vector<JsonObject> pages;
        for (std::size_t i = 0; i < count; ++i) {
            window.Info().ScrollBarChange(kind, static_cast<int>(i));
            JsonObject page;
            for (const SignalInfoControl c : PageTexts(kind))
                page.Add(views::SignalInfoControlName(c), view.Text(c));
            const SignalInfoControl number = views::PageHead(kind).numLabel;
            if (!view.Hint(number).empty())
                page.Add(std::string(views::SignalInfoControlName(number)) + ".Hint",
                         view.Hint(number));
            pages.push_back(std::move(page));
        }
        json.Add(kPages[kind], pages);
    }
    std::cout << json.ToString() << "\n";
    return 0;
}

int WritePlot(const monitor::Monitor& monitor, const InspectionArguments& args,
              platform::Services services) {
    HeadlessWindow window(monitor, services.environment.DecimalSeparator());
    const int kind = args.kind;
    const std::size_t count = window.Count(kind);
    if (static_cast<std::size_t>(args.index) >= count) {
        std::cerr << "skyvane-cli: there is no " << (kind == 1 ? "gaussian" : "pulse") << " "
                  << args.index << " (the work unit has " << count << ")\n";
        return 1;
    }
    // Stepped to, not clicked: a click on a gaussian would show the best one
    // at its drift rate instead.
    window.Open();
    window.Info().ScrollBarChange(kind, args.index);
    const SignalInfoControl graph =
        kind == 1 ? SignalInfoControl::GausGraph : SignalInfoControl::PulseGraph;
    const canvas::Canvas* picture = window.View().Picture(graph);
    if (picture == nullptr || !services.files.WriteFile(args.png, canvas::EncodePng(*picture))) {
        std::cerr << "skyvane-cli: cannot write " << args.png << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

void AddSignalsCommand(CLI::App& app, CommandResult& result, const WithClientDir& withClientDir) {
    auto dir = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand(
        "signals", "print the signal info window's page of every signal, as JSON");
    AddClientDirOption(*command, *dir);
    command->callback([dir, withClientDir, &result] {
        result.status = withClientDir(*dir, [](const monitor::Monitor& monitor) {
            platform::NativePlatform native;
            return PrintSignals(monitor, native.services().environment.DecimalSeparator());
        });
    });
}

void AddPlotCommand(CLI::App& app, CommandResult& result, const WithClientDir& withClientDir) {
    auto args = std::make_shared<InspectionArguments>();
    CLI::App* command =
        app.add_subcommand("plot", "write a gaussian's or a pulse's plot as a PNG picture");
    AddClientDirOption(*command, args->clientDir);
    command->add_option("--kind", args->kind, "the kind of signal")
        ->required()
        ->transform(OneOf({{"gaussian", "1"}, {"pulse", "3"}}, "the kind"))
        ->type_name("gaussian|pulse");
    command->add_option("--index", args->index, "the signal's place in its list, from 0")
        ->required()
        ->check(CLI::NonNegativeNumber.description(""))
        ->type_name("N");
    command->add_option("--png", args->png, "the picture file to write")
        ->required()
        ->type_name("FILE");
    command->callback([args, withClientDir, &result] {
        result.status = withClientDir(args->clientDir, [&](const monitor::Monitor& monitor) {
            platform::NativePlatform native;
            return WritePlot(monitor, *args, native.services());
        });
    });
}

}  // namespace cli
