// skyvane-cli: what Skyvane's main window would show for a client
// directory, computed by the same logic, printed for scripts and tests. It
// only reads: no settings, counter, archive or registry value is written.

#include <charconv>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "canvas/Canvas.h"
#include "cli/ClientCommands.h"
#include "cli/InspectionCommands.h"
#include "cli/Json.h"
#include "clientfiles/ClientDir.h"
#include "inspection/HeadlessSignalInfoView.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "views/ControlNames.h"

namespace {

constexpr int kUsageError = 2;

constexpr const char* kUsage =
    "usage: skyvane-cli status --client-dir DIR\n"
    "       skyvane-cli graph --client-dir DIR --png FILE [--scale CODE] [--hide KINDS]\n"
    "                         [--dots] [--axis KIND]\n"
    "  both also take [--view current|total|N] [--total-mode all|best|last] [--ignore-fast]\n"
    "  status  print what the main window shows for DIR as one JSON object\n"
    "  graph   write the drift-rate graph of DIR's work unit as a PNG picture\n"
    "          CODE: 1, 2, 4, 8, 16 or 32 (the scale 1/2 to X16; 2 is normal)\n"
    "          KINDS: a comma-separated list of spikes, gaussians, triplets, pulses\n"
    "          KIND: the kind whose scale the vertical axis shows\n"
    "  --view  what the work-unit selector shows: the live work unit, the totals over\n"
    "          the archive in the program directory, or archived work unit N\n";

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
    std::optional<std::string> ReadFileFrom(const std::string& path, std::uint64_t offset,
                                            std::uint64_t limit) override {
        return inner_.ReadFileFrom(path, offset, limit);
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

constexpr const char* kKindNames[] = {"spikes", "gaussians", "triplets", "pulses"};

std::optional<int> KindByName(std::string_view name) {
    for (int kind = 0; kind < 4; ++kind)
        if (name == kKindNames[kind]) return kind;
    return std::nullopt;
}

struct Arguments {
    std::string command;
    std::optional<std::string> clientDir;
    std::optional<std::string> png;
    std::optional<std::uint8_t> scale;
    std::vector<int> hidden;
    bool dots = false;
    std::optional<int> axis;
    int view = monitor::kCurrentItem;  // selector item: current, total, archive
    std::optional<std::uint8_t> totalMode;
    bool ignoreFast = false;
};

// The arguments, or a one-line reason why they are wrong.
std::optional<Arguments> ParseArguments(int argc, char** argv, std::string& error) {
    if (argc < 2) return std::nullopt;
    Arguments args;
    args.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        const bool hasValue = i + 1 < argc;
        if (word == "--dots") {
            args.dots = true;
        } else if (word == "--ignore-fast") {
            args.ignoreFast = true;
        } else if (!hasValue) {
            error = "missing value or unknown option: " + word;
            return std::nullopt;
        } else if (word == "--client-dir") {
            args.clientDir = argv[++i];
        } else if (word == "--png") {
            args.png = argv[++i];
        } else if (word == "--scale") {
            const std::string code = argv[++i];
            for (int c : {1, 2, 4, 8, 16, 32})
                if (code == std::to_string(c)) args.scale = static_cast<std::uint8_t>(c);
            if (!args.scale) error = "scale code must be 1, 2, 4, 8, 16 or 32: " + code;
        } else if (word == "--view") {
            const std::string view = argv[++i];
            if (view == "current") {
                args.view = monitor::kCurrentItem;
            } else if (view == "total") {
                args.view = monitor::kTotalItem;
            } else {
                std::int32_t number = 0;
                const auto [end, ec] =
                    std::from_chars(view.data(), view.data() + view.size(), number);
                if (ec != std::errc() || end != view.data() + view.size() || number < 1)
                    error = "view must be current, total or an archive number: " + view;
                else
                    args.view = number + 1;
            }
        } else if (word == "--total-mode") {
            const std::string mode = argv[++i];
            const char* modes[] = {"all", "best", "last"};
            for (std::uint8_t m = 0; m < 3; ++m)
                if (mode == modes[m]) args.totalMode = static_cast<std::uint8_t>(m + 1);
            if (!args.totalMode) error = "total mode must be all, best or last: " + mode;
        } else if (word == "--axis") {
            args.axis = KindByName(argv[++i]);
            if (!args.axis) error = std::string("unknown signal kind: ") + argv[i];
        } else if (word == "--hide") {
            std::string_view list = argv[++i];
            while (!list.empty()) {
                const auto comma = list.find(',');
                const auto name = list.substr(0, comma);
                if (const auto kind = KindByName(name))
                    args.hidden.push_back(*kind);
                else
                    error = "unknown signal kind: " + std::string(name);
                list = comma == std::string_view::npos ? "" : list.substr(comma + 1);
            }
        } else {
            error = "unknown option: " + word;
        }
        if (!error.empty()) return std::nullopt;
    }
    return args;
}

// Skyvane's logic opened read-only on a client directory, as the window
// would show it after start-up.
class Session {
public:
    explicit Session(platform::NativePlatform& native)
        : real_(native.services()),
          files_(real_.files),
          monitor_(view_, dialogs_, real_.WithFiles(files_)) {}

    // False (with the reason on stderr) when `dir` is no client directory or
    // the view cannot be shown.
    bool Open(const std::string& dir, const Arguments& args) {
        const std::string clientPath = clientfiles::WithTrailingSeparator(dir);
        if (!files_.DirectoryExists(clientPath)) {
            std::cerr << "skyvane-cli: no such directory: " << dir << "\n";
            return false;
        }
        if (!clientfiles::IsClientDirectory(files_, clientPath)) {
            std::cerr << "skyvane-cli: not a SETI@home client directory (none of its files): "
                      << dir << "\n";
            return false;
        }
        monitor_.OpenClientDirectory(clientPath, {{}, /*readOnly=*/true});
        // The totals' menu first, as a user would set it before choosing.
        if (args.totalMode) monitor_.TotalMenuClick(*args.totalMode);
        if (args.ignoreFast) monitor_.MenuTotalIgnoreClick();
        // The items, as the window would offer them after its first poll
        // (which archives a finished result).
        const std::size_t items = view_.SelectorItemCount();
        if (items < 2 || static_cast<std::size_t>(args.view) >= items) {
            std::cerr << "skyvane-cli: no archived work unit " << args.view - 1 << " (there are "
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

// Runs `use` on the logic opened read-only on `dir`.
int WithClientDirectory(const std::string& dir,
                        const std::function<int(const monitor::Monitor&)>& use) {
    platform::NativePlatform native;
    Session session(native);
    if (!session.Open(dir, Arguments{})) return kUsageError;
    return use(session.Monitor());
}

int Status(const Arguments& args) {
    platform::NativePlatform native;
    Session session(native);
    if (!session.Open(*args.clientDir, args)) return kUsageError;
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
    json.AddRaw("Signals", counts.ToString(1));
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
        json.AddRaw(name, state.ToString(1));
    }
    json.Add("ZoomState", static_cast<long long>(bar.ZoomState()));
    json.Add("Messages", session.Dialogs().messages);
    std::cout << json.ToString() << "\n";
    return 0;
}

int GraphPicture(const Arguments& args) {
    if (!args.png) {
        std::cerr << kUsage;
        return kUsageError;
    }
    platform::NativePlatform native;
    Session session(native);
    if (!session.Open(*args.clientDir, args)) return kUsageError;

    // The menus, as a user would click them.
    monitor::Monitor& monitor = session.Monitor();
    if (args.axis) monitor.ChangeAxisLabel(*args.axis);
    if (args.scale) monitor.ScaleClick(*args.scale);
    for (int kind : args.hidden)
        if (monitor.Menus().KindShown(kind)) monitor.ShowSignalsMenuClick(kind);
    if (args.dots) monitor.PlotMenuClick(true);

    if (!session.RealFiles().WriteFile(*args.png,
                                       canvas::EncodePng(monitor.GraphView().Picture()))) {
        std::cerr << "skyvane-cli: cannot write " << *args.png << "\n";
        return 1;
    }
    for (const std::string& message : session.Dialogs().messages)
        std::cerr << "skyvane-cli: " << message << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto code = cli::RunClientCommand(argc, argv)) return *code;
    if (const auto code = cli::RunInspectionCommand(argc, argv, WithClientDirectory)) return *code;
    std::string error;
    const auto args = ParseArguments(argc, argv, error);
    if (!args || !args->clientDir) {
        if (!error.empty()) std::cerr << "skyvane-cli: " << error << "\n";
        std::cerr << kUsage << cli::kInspectionUsage << cli::kClientUsage;
        return kUsageError;
    }
    if (args->command == "status") return Status(*args);
    if (args->command == "graph") return GraphPicture(*args);
    std::cerr << kUsage << cli::kInspectionUsage << cli::kClientUsage;
    return kUsageError;
}
