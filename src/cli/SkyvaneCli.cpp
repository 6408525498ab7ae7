// skyvane-cli: what Skyvane's main window would show for a client
// directory, computed by the same logic, printed for scripts and tests. It
// only reads: no settings, counter, archive or registry value is written.

#include <cstdio>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/Json.h"
#include "clientfiles/ClientDir.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "views/ControlNames.h"

namespace {

constexpr int kUsageError = 2;

constexpr const char* kUsage =
    "usage: skyvane-cli status --client-dir DIR\n"
    "  status  print what the main window shows for DIR as one JSON object\n";

// Passes reads through and refuses every change, so that no code path of
// the shared logic can write while the CLI runs.
class ReadOnlyFiles : public platform::Files {
public:
    explicit ReadOnlyFiles(platform::Files& inner) : inner_(inner) {}

    bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
    bool DirectoryExists(const std::string& path) override {
        return inner_.DirectoryExists(path);
    }
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
                       Control::BaseFreqLabel, Control::UserNameLabel,
                       Control::EMailLabel, Control::CountryLabel, Control::RegisterLabel,
                       Control::TotalWULabel, Control::RecordedWULabel, Control::AllTimeLabel,
                       Control::AverageTimeLabel})
            texts_[c] = "unknown";
        texts_[Control::SAHVerLabel] = "";  // empty until the version is read
        texts_[Control::PercentageLabel] = "0%";
        texts_[Control::CPUTimeLabel] = "00:00:00";
        texts_[Control::LeftTimeLabel] = "unknown";
        texts_[Control::TotalTimeLabel] = "unknown";
        positions_[Control::ProgressBar] = 0;
    }

    void SetText(views::Control c, std::string_view text) override { texts_[c] = text; }
    void SetHint(views::Control c, std::string_view hint) override { hints_[c] = hint; }
    void SetVisible(views::Control, bool) override {}
    void SetEnabled(views::Control, bool) override {}
    void SetChecked(views::Control, bool) override {}
    void SetFontColor(views::Control, views::Rgb) override {}
    void SetUnderline(views::Control, bool) override {}
    void SetPosition(views::Control c, int position) override { positions_[c] = position; }
    void SetTimer(views::TimerId, bool) override {}
    void AddSelectorItem(std::string_view) override {}
    void SelectSelectorItem(int) override {}
    void SetWindowTitle(std::string_view) override {}
    void SetApplicationTitle(std::string_view) override {}
    void ShowWindow(bool) override {}
    void ShowTrayIcon(bool) override {}
    void Terminate() override {}

    void AddTo(cli::JsonObject& json) const {
        for (const auto& [control, text] : texts_) json.Add(views::ControlName(control), text);
        for (const auto& [control, position] : positions_)
            json.Add(views::ControlName(control), static_cast<long long>(position));
        for (const auto& [control, hint] : hints_)
            json.Add(std::string(views::ControlName(control)) + ".Hint", hint);
    }

private:
    // Ordered by control, which is the window's order top to bottom.
    std::map<views::Control, std::string> texts_;
    std::map<views::Control, std::string> hints_;
    std::map<views::Control, int> positions_;
};

// Message boxes become lines of the output; nobody is asked anything.
class CollectingDialogs : public views::Dialogs {
public:
    void ShowError(std::string_view text) override { messages.emplace_back(text); }
    std::optional<std::string> AskClientPath() override { return std::nullopt; }

    std::vector<std::string> messages;
};

struct Arguments {
    std::string command;
    std::optional<std::string> clientDir;
};

std::optional<Arguments> ParseArguments(int argc, char** argv) {
    if (argc < 2) return std::nullopt;
    Arguments args{argv[1], std::nullopt};
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--client-dir" && i + 1 < argc)
            args.clientDir = argv[++i];
        else
            return std::nullopt;
    }
    return args;
}

int Status(const Arguments& args) {
    if (!args.clientDir) {
        std::cerr << kUsage;
        return kUsageError;
    }
    platform::NativePlatform native;
    const platform::Services real = native.services();
    ReadOnlyFiles files(real.files);
    const platform::Services services{real.registry, files, real.windows, real.shell,
                                      real.environment};

    const std::string clientPath = clientfiles::WithTrailingSeparator(*args.clientDir);
    if (!files.DirectoryExists(clientPath)) {
        std::cerr << "skyvane-cli: no such directory: " << *args.clientDir << "\n";
        return kUsageError;
    }
    if (!clientfiles::IsClientDirectory(files, clientPath)) {
        std::cerr << "skyvane-cli: not a SETI@home client directory (none of its files): "
                  << *args.clientDir << "\n";
        return kUsageError;
    }

    StatusView view;
    CollectingDialogs dialogs;
    monitor::Monitor monitor(view, dialogs, services);
    monitor.OpenClientDirectory(clientPath, {{}, /*readOnly=*/true});

    cli::JsonObject json;
    view.AddTo(json);
    json.Add("LiveMode", monitor.LiveMode());
    json.Add("Messages", dialogs.messages);
    std::cout << json.ToString() << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const auto args = ParseArguments(argc, argv);
    if (args && args->command == "status") return Status(*args);
    std::cerr << kUsage;
    return kUsageError;
}
