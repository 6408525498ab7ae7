// What Skyvane's main window would show for a client directory, computed
// by the same logic, printed for scripts and tests. It only reads: no
// settings, counter, archive or registry value is written.

#include "cli/StatusCommands.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "canvas/Canvas.h"
#include "cli/CommandLine.h"
#include "cli/Json.h"
#include "clientfiles/ClientDir.h"
#include "inspection/HeadlessSignalInfoView.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "views/ControlNames.h"

namespace {

// Passes reads through and refuses every change, so that no code path of
// the shared logic can write while the CLI runs.
class ReadOnlyFiles : public platform::Files {
public:
    explicit ReadOnlyFiles(platform::Files& inner) : inner_(inner) {}

    bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
    bool DirectoryExists(const std::string& path) override { return inner_.DirectoryExists(path); }
    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        return inner_.FileSize(path);
    }
    platform::DosStamp FileStamp(const std::string& path) override {
        return inner_.FileStamp(path);
    }
    std::optional<std::string> ReadFile(const std::string& path, std::uint64_t limit) override {
        return inner_.ReadFile(path, limit);
    }
    std::optional<std::size_t> ReadFileInto(const std::string& path, std::uint64_t offset,
                                            std::span<char> dest) override {
        return inner_.ReadFileInto(path, offset, dest);
    }
    std::vector<platform::DirEntry> ListDirectory(const std::string& directory,
                                                  std::string_view pattern) override {
        return inner_.ListDirectory(directory, pattern);
    }
    bool WriteFile(const std::string&, std::string_view) override { return false; }
    bool CopyFile(const std::string&, const std::string&, bool) override { return false; }
    bool DeleteFile(const std::string&) override { return false; }
    bool CreateDirectory(const std::string&) override { return false; }
    bool RemoveDirectory(const std::string&) override { return false; }
    bool IsLink(const std::string& path) override { return inner_.IsLink(path); }

private:
    platform::Files& inner_;
};

// Remembers what the logic writes to the window, to print it afterwards.
class StatusView : public views::MainView {
public:
    StatusView() {
        using views::Control;
        // The value labels the window shows before anything is read.
        for (auto c : {Control::DateLabel, Control::SkyPosLabel, Control::TelescopeLabel,
                       Control::BaseFreqLabel, Control::UserNameLabel, Control::EMailLabel,
                       Control::CountryLabel, Control::RegisterLabel, Control::TotalWULabel,
                       Control::RecordedWULabel, Control::AllTimeLabel, Control::AverageTimeLabel})
            texts_[c] = "unknown";
        texts_[Control::SAHVerLabel] = "";  // empty until the version is read
        for (auto c : {Control::BestPeakLabel, Control::BestGaussianLabel,
                       Control::BestTripletLabel, Control::BestPulseLabel})
            texts_[c] = "none";
        texts_[Control::PercentageLabel] = "0%";
        texts_[Control::CPUTimeLabel] = "00:00:00";
        texts_[Control::LeftTimeLabel] = "unknown";
        texts_[Control::TotalTimeLabel] = "unknown";
        positions_[Control::ProgressBar] = 0;
    }

    void SetText(views::Control c, std::string_view text) override { texts_[c] = text; }
    void SetWindowEnabled(bool) override {}
    void SetHint(views::Control c, std::string_view hint) override { hints_[c] = hint; }
    void SetVisible(views::Control c, bool visible) override { visible_[c] = visible; }
    void SetEnabled(views::Control, bool) override {}
    void SetChecked(views::Control, bool) override {}
    void SetFontColor(views::Control, views::Rgb) override {}
    void SetUnderline(views::Control, bool) override {}
    void SetPosition(views::Control c, int position) override { positions_[c] = position; }
    void AlignLabel(views::Control, int, int) override {}
    void SetPicture(views::Control, const canvas::Canvas&) override {}
    void SetHandCursor(views::Control, bool) override {}
    void SetBounds(views::Control, int, int, int, int) override {}
    void SetGlyph(views::Control, views::Glyph) override {}
    // The classic Windows face colour: what the graph shows on that system.
    views::Rgb ButtonFaceColor() const override { return {212, 208, 200}; }
    void SetTimer(views::TimerId, bool) override {}
    void AddSelectorItem(std::string_view item) override { items_.emplace_back(item); }
    void SelectSelectorItem(int index) override { selected_ = index; }
    void SetWindowTitle(std::string_view) override {}
    void SetApplicationTitle(std::string_view) override {}
    void ShowWindow(bool) override {}
    void ShowTrayIcon(bool) override {}
    void Terminate() override {}
    // Nothing opens it here; the inspection commands have their own.
    views::SignalInfoView& OpenSignalInfo(views::SignalInfoEvents&) override { return signalInfo_; }

    void AddTo(cli::JsonObject& json) const {
        for (const auto& [control, text] : texts_)
            json.Add(views::ControlName(control), text);
        for (const auto& [control, position] : positions_)
            json.Add(views::ControlName(control), static_cast<long long>(position));
        for (const auto& [control, hint] : hints_)
            json.Add(std::string(views::ControlName(control)) + ".Hint", hint);
        // What the user can pick in the selector, and what is picked.
        json.Add(std::string(views::ControlName(views::Control::WUComboBox)) + "Items", items_);
        if (selected_ >= 0 && static_cast<std::size_t>(selected_) < items_.size())
            json.Add(views::ControlName(views::Control::WUComboBox),
                     items_[static_cast<std::size_t>(selected_)]);
    }
    std::size_t SelectorItemCount() const { return items_.size(); }

private:
    // Ordered by control, which is the window's order top to bottom.
    std::map<views::Control, std::string> texts_;
    std::map<views::Control, std::string> hints_;
    std::map<views::Control, int> positions_;
    std::vector<std::string> items_;
    int selected_ = -1;

public:
    bool Visible(views::Control c) const {
        const auto it = visible_.find(c);
        return it != visible_.end() && it->second;
    }

private:
    std::map<views::Control, bool> visible_;
    inspection::HeadlessSignalInfoView signalInfo_;
};

// Message boxes become lines of the output; nobody is asked anything.
class CollectingDialogs : public views::Dialogs {
public:
    void ShowError(std::string_view text) override { messages.emplace_back(text); }
    void ShowWarning(std::string_view text) override { messages.emplace_back(text); }
    void ShowInformation(std::string_view text) override { messages.emplace_back(text); }
    // Nobody is there to say yes.
    bool AskYesNo(std::string_view text) override {
        messages.emplace_back(text);
        return false;
    }
    std::optional<std::string> AskClientPath() override { return std::nullopt; }
    void ShowAbout() override {}

    std::vector<std::string> messages;
};

// By kind code: 0 spike, 1 gaussian, 2 triplet, 3 pulse.
const std::vector<std::string> kKindNames = {"spikes", "gaussians", "triplets", "pulses"};

int KindByName(std::string_view name) {
    for (std::size_t kind = 0; kind < kKindNames.size(); ++kind)
        if (name == kKindNames[kind]) return static_cast<int>(kind);
    return -1;
}

using Arguments = cli::WindowArguments;

CLI::Validator KindName() {
    std::vector<std::pair<std::string, std::string>> names;
    for (const std::string& name : kKindNames)
        names.emplace_back(name, name);
    return cli::OneOf(names, "the signal kind");
}

// "current", "total" or an archive number, turned into the selector item.
CLI::Validator ViewItem() {
    return CLI::Validator(
        [](std::string& view) -> std::string {
            if (view == "current") {
                view = std::to_string(monitor::kCurrentItem);
                return {};
            }
            if (view == "total") {
                view = std::to_string(monitor::kTotalItem);
                return {};
            }
            std::int32_t number = 0;
            const auto [end, ec] = std::from_chars(view.data(), view.data() + view.size(), number);
            if (ec != std::errc() || end != view.data() + view.size() || number < 1)
                return "view must be current, total or an archive number: " + view;
            view = std::to_string(number + 1);
            return {};
        },
        "");
}

// The work-unit selector's choice and the totals' menu, which status and
// graph share.
void AddViewOptions(CLI::App& command, Arguments& args) {
    command
        .add_option("--view", args.view,
                    "what the work-unit selector shows: the live work unit, the totals over "
                    "the archive in the program directory, or archived work unit N")
        ->transform(ViewItem())
        ->type_name("current|total|N");
    command
        .add_option("--total-mode", args.totalMode,
                    "which archived work units the totals take: all, the best five of each "
                    "kind, or the last 20")
        ->transform(cli::OneOf({{"all", "1"}, {"best", "2"}, {"last", "3"}}, "the total mode"))
        ->type_name("all|best|last");
    command.add_flag("--ignore-fast", args.ignoreFast,
                     "leave out of the totals the work units finished implausibly fast");
}

// Skyvane's logic opened read-only on a client directory, as the window
// would show it after start-up.
class Session {
public:
    explicit Session(const platform::Services& services)
        : real_(services),
          files_(real_.files),
          monitor_(view_, dialogs_, real_.WithFiles(files_)) {}

    // False (with the reason on `err`) when `dir` is no client directory or
    // the view cannot be shown.
    bool Open(const std::string& dir, const Arguments& args, std::ostream& err) {
        const std::string clientPath = clientfiles::WithTrailingSeparator(dir);
        if (!files_.DirectoryExists(clientPath)) {
            err << "skyvane-cli: no such directory: " << dir << "\n";
            return false;
        }
        if (!clientfiles::IsClientDirectory(files_, clientPath)) {
            err << "skyvane-cli: not a SETI@home client directory (none of its files): "
                      << dir << "\n";
            return false;
        }
        monitor_.OpenClientDirectory(clientPath, {{}, /*readOnly=*/true});
        // The totals' menu first, as a user would set it before choosing.
        if (args.totalMode != 0) monitor_.TotalMenuClick(static_cast<std::uint8_t>(args.totalMode));
        if (args.ignoreFast) monitor_.MenuTotalIgnoreClick();
        // The items, as the window would offer them after its first poll
        // (which archives a finished result).
        const std::size_t items = view_.SelectorItemCount();
        if (items < 2 || static_cast<std::size_t>(args.view) >= items) {
            err << "skyvane-cli: no archived work unit " << args.view - 1 << " (there are "
                      << (items < 2 ? 0 : items - 2) << ")\n";
            return false;
        }
        view_.SelectSelectorItem(args.view);
        monitor_.WUComboBoxChange(args.view);
        return true;
    }

    monitor::Monitor& Monitor() { return monitor_; }
    const StatusView& View() const { return view_; }
    const CollectingDialogs& Dialogs() const { return dialogs_; }
    platform::Files& RealFiles() { return real_.files; }

private:
    platform::Services real_;
    ReadOnlyFiles files_;
    StatusView view_;
    CollectingDialogs dialogs_;
    monitor::Monitor monitor_;
};

// The status of an opened session.
cli::JsonObject StatusJson(Session& session) {
    const monitor::Monitor& monitor = session.Monitor();

    cli::JsonObject json;
    session.View().AddTo(json);
    json.Add("LiveMode", monitor.LiveMode());
    const signals::SignalLists& lists = monitor.Lists();
    cli::JsonObject counts;
    counts.Add("Spikes", static_cast<long long>(lists.SpikeList.size()));
    counts.Add("Gaussians", static_cast<long long>(lists.GaussianList.size()));
    counts.Add("Triplets", static_cast<long long>(lists.TripletList.size()));
    counts.Add("Pulses", static_cast<long long>(lists.PulseList.size()));
    json.Add("Signals", counts);
    json.Add("NoSignalsLabel", session.View().Visible(views::Control::NoSignalsLabel));
    const signals::DriftBar& bar = monitor.Bar();
    const std::pair<const char*, signals::Gauge> gauges[] = {{"GaugeN2", signals::kGaugeN2},
                                                             {"GaugeN1", signals::kGaugeN1},
                                                             {"GaugeP1", signals::kGaugeP1},
                                                             {"GaugeP2", signals::kGaugeP2}};
    for (const auto& [name, gauge] : gauges) {
        cli::JsonObject state;
        state.Add("Progress", static_cast<long long>(bar.Progress(gauge)));
        state.Add("Max", static_cast<long long>(bar.Maximum(gauge)));
        json.Add(name, state);
    }
    json.Add("ZoomState", static_cast<long long>(bar.ZoomState()));
    json.Add("Messages", session.Dialogs().messages);
    return json;
}

// Set by Ctrl-C (or a polite kill) while "status --watch" runs.
volatile std::sig_atomic_t stopWatching = 0;

extern "C" void StopWatching(int) { stopWatching = 1; }

int Status(const Arguments& args) {
    platform::NativePlatform native;
    if (args.watch) {
        std::signal(SIGINT, StopWatching);
        std::signal(SIGTERM, StopWatching);
        return cli::WatchStatus(native.services(), args, std::cout, std::cerr,
                                [] { return stopWatching != 0; });
    }
    Session session(native.services());
    if (!session.Open(args.clientDir, args, std::cerr)) return cli::kUsageError;
    std::cout << StatusJson(session).ToString() << "\n";
    return 0;
}

int GraphPicture(const Arguments& args) {
    platform::NativePlatform native;
    Session session(native.services());
    if (!session.Open(args.clientDir, args, std::cerr)) return cli::kUsageError;

    // The menus, as a user would click them.
    monitor::Monitor& monitor = session.Monitor();
    if (!args.axis.empty()) monitor.ChangeAxisLabel(KindByName(args.axis));
    if (args.scale != 0) monitor.ScaleClick(static_cast<std::uint8_t>(args.scale));
    for (const std::string& name : args.hidden)
        if (monitor.Menus().KindShown(KindByName(name)))
            monitor.ShowSignalsMenuClick(KindByName(name));
    if (args.dots) monitor.PlotMenuClick(true);

    if (!session.RealFiles().WriteFile(args.png,
                                       canvas::EncodePng(monitor.GraphView().Picture()))) {
        std::cerr << "skyvane-cli: cannot write " << args.png << "\n";
        return 1;
    }
    for (const std::string& message : session.Dialogs().messages)
        std::cerr << "skyvane-cli: " << message << "\n";
    return 0;
}

}  // namespace

namespace cli {

int WithClientDirectory(const std::string& dir,
                        const std::function<int(const monitor::Monitor&)>& use) {
    platform::NativePlatform native;
    Session session(native.services());
    if (!session.Open(dir, Arguments{}, std::cerr)) return kUsageError;
    return use(session.Monitor());
}

int WatchStatus(const platform::Services& services, const WindowArguments& args,
                std::ostream& out, std::ostream& err, const std::function<bool()>& stopRequested) {
    // Short enough that Ctrl-C ends the watch at once, not after the poll.
    constexpr std::chrono::milliseconds kSlice{100};
    std::string shown;     // the last line written
    std::string absence;   // why the directory could not be read, when said
    for (bool first = true; !stopRequested(); first = false) {
        std::ostringstream reason;
        Session session(services);
        if (session.Open(args.clientDir, args, reason)) {
            absence.clear();
            const std::string line = StatusJson(session).ToLine();
            if (line != shown) {
                // Flushed: a status bar reads it as soon as it is written.
                out << line << std::endl;
                shown = line;
            }
        } else if (first) {
            err << reason.str();
            return kUsageError;
        } else if (reason.str() != absence) {
            err << reason.str() << std::flush;
            absence = reason.str();
        }
        for (std::chrono::milliseconds waited{0}; waited < kWatchInterval && !stopRequested();
             waited += kSlice)
            services.clock.Sleep(kSlice);
    }
    return 0;
}

void AddStatusCommand(CLI::App& app, CommandResult& result) {
    auto args = std::make_shared<Arguments>();
    CLI::App* command =
        app.add_subcommand("status", "print what the main window shows, as one JSON object");
    cli::AddClientDirOption(*command, args->clientDir);
    AddViewOptions(*command, *args);
    command->add_flag("--watch", args->watch,
                      "keep watching: print the object as one line at the start and again "
                      "whenever it changes (the files are read every 2 seconds); Ctrl-C ends");
    command->callback([args, &result] { result.status = Status(*args); });
}

void AddGraphCommand(CLI::App& app, CommandResult& result) {
    auto args = std::make_shared<Arguments>();
    CLI::App* command =
        app.add_subcommand("graph", "write the drift-rate graph as a PNG picture (524 x 247)");
    cli::AddClientDirOption(*command, args->clientDir);
    command->add_option("--png", args->png, "the picture file to write")
        ->required()
        ->type_name("FILE");
    command
        ->add_option("--scale", args->scale,
                     "the graph's scale: 1, 2, 4, 8, 16 or 32 (1/2 to X16; 2 is normal)")
        ->check(CLI::Validator(
            [](const std::string& code) -> std::string {
                for (const char* allowed : {"1", "2", "4", "8", "16", "32"})
                    if (code == allowed) return {};
                return "scale code must be 1, 2, 4, 8, 16 or 32: " + code;
            },
            ""))
        ->type_name("CODE");
    command
        ->add_option("--hide", args->hidden,
                     "signal kinds to leave out: a comma-separated list of spikes, gaussians, "
                     "triplets, pulses")
        ->delimiter(',')
        ->check(KindName())
        ->type_name("KINDS");
    command->add_flag("--dots", args->dots, "draw signals as dots");
    command->add_option("--axis", args->axis, "the kind whose scale the vertical axis shows")
        ->check(KindName())
        ->type_name("spikes|gaussians|triplets|pulses");
    AddViewOptions(*command, *args);
    command->callback([args, &result] { result.status = GraphPicture(*args); });
}

}  // namespace cli
