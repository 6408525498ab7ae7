// The poll runs every two seconds for as long as Skyvane runs: a quiet one
// should cost next to nothing, and a state reading little more.

#include <benchmark/benchmark.h>

#include "clientfiles/Readers.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace {

using testsupport::RecordingView;
using testsupport::ScopedEnv;
using testsupport::ScriptedDialogs;
using testsupport::TempDir;

// A live client directory with a Skyvane program directory beside it.
struct Installation {
    Installation()
        : programEnv("SKYVANE_PROGRAM_DIR", program.Path()),
          registryEnv("SKYVANE_REGISTRY_DIR", program.Path("registry")),
          runtimeEnv("SKYVANE_RUNTIME_DIR", program.Path("runtime")) {
        sample::WriteSampleClientDir(client.Path());
    }
    TempDir program, client;
    ScopedEnv programEnv, registryEnv, runtimeEnv;
    platform::NativePlatform native;
};

void QuietPoll(benchmark::State& state) {
    Installation install;
    RecordingView view;
    ScriptedDialogs dialogs;
    monitor::Monitor monitor(view, dialogs, install.native.services());
    monitor.OpenClientDirectory(install.client.Path(), {{}, /*readOnly=*/true});

    for (auto _ : state) monitor.Timer1Timer();
}
BENCHMARK(QuietPoll);

// What the poll does when the client has rewritten its state file.
void StateReading(benchmark::State& state) {
    Installation install;
    RecordingView view;
    ScriptedDialogs dialogs;
    clientfiles::ReadingGate gate(dialogs);
    clientfiles::ClientFigures figures;
    clientfiles::ClientReaders readers(install.native.services().files, gate, view, figures);
    clientfiles::ReaderEnvironment env;
    env.clientPath = install.client.Path();

    struct : clientfiles::StateListener {
        void ResetProgress() override {}
        void ShowDriftProgress() override {}
        bool ShowProgress() override { return true; }
        void UpdateLiveBests(clientfiles::Reading&, std::size_t) override {}
        void ComputeBestSignals() override {}
    } listener;

    const std::string statePath = install.client.Path("state.sah");
    for (auto _ : state) {
        if (readers.ReadState(statePath, env, listener) != clientfiles::ReadOutcome::Completed)
            state.SkipWithError("state reading failed");
    }
    state.SetBytesProcessed(state.iterations() * 3000);
}
BENCHMARK(StateReading);

}  // namespace
