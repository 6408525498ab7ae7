// The readers of the client's small files, each over its part of the input:
// the work-unit header (with the version file it reads), the state file as
// the live poll reads it and as a finished result's, and the user file.
// Cheaper per input than the whole window, so it goes deeper into each.

#include <cstdint>
#include <string>

#include "ClientDirInput.h"
#include "clientfiles/Readers.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"

namespace {

struct Listener : clientfiles::StateListener {
    bool progress = true;
    void ResetProgress() override {}
    void ShowDriftProgress() override {}
    bool ShowProgress() override { return progress; }
    void UpdateLiveBests(clientfiles::Reading& reading, std::size_t) override {
        // As the window does: the client's best values follow the cursor.
        try {
            reading.FindLine("bs_power");
            reading.ReadReal();
            reading.FindLine("bg_power");
            reading.ReadReal();
        } catch (const clientfiles::ReadAbort&) {
        }
    }
    void ComputeBestSignals() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    testsupport::MemoryFiles files;
    fuzzing::FillClientDir(files, {reinterpret_cast<const char*>(data), size});
    testsupport::ScriptedDialogs dialogs;
    clientfiles::ReadingGate gate{dialogs};
    testsupport::RecordingView view;
    clientfiles::ClientFigures figures;
    clientfiles::ClientReaders readers(files, gate, view, figures);
    Listener listener;

    clientfiles::ReaderEnvironment env;
    env.clientPath = fuzzing::kClientDir;
    env.onNaturalZoom = [](int) {};
    readers.ReadUserInfo(env);
    readers.ReadWorkUnitHeader(std::string(fuzzing::kClientDir) + "work_unit.sah", env);
    readers.ShowTelescopeSpeed();
    readers.ReadState(std::string(fuzzing::kClientDir) + "state.sah", env, listener);
    env.liveMode = false;
    readers.ReadState(std::string(fuzzing::kClientDir) + "result.sah", env, listener);
    env.selector = clientfiles::SelectorView::Archived;
    readers.ReadWorkUnitHeader(std::string(fuzzing::kClientDir) + "result.sah", env);
    clientfiles::PeekWorkUnitName(files, std::string(fuzzing::kClientDir) + "result.sah");
    return 0;
}
