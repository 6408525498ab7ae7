#include "client/StartupRegistration.h"

namespace client {

void SetRunValue(platform::StartupValues& values, RunAction action, std::string_view name,
                 std::string_view data, std::string_view subkey, bool& exists) {
    switch (action) {
        case RunAction::Delete:
            values.Delete(subkey, name);
            break;
        case RunAction::Write:
            values.Write(subkey, name, data);
            break;
        case RunAction::Test:
            if (const auto found = values.Exists(subkey, name)) exists = *found;
            break;
    }
}

std::string StartupRegistration::ClientCommand() const {
    switch (client_.Kind()) {
        case ClientKind::Text:
            return SkyvaneCommand() + " " + std::string(kRunClientWord);
        case ClientKind::Graphical:
            return client_.ClientPath() + client_.ClientExeName() + " " +
                   std::string(kMinimizedSwitch);
        case ClientKind::None:
            break;
    }
    return {};
}

void StartupRegistration::RegisterRecovery(bool on, std::string_view word) {
    bool unused = false;
    std::string skyvane = SkyvaneCommand() + " " + std::string(kFailureWord);
    if (!word.empty()) skyvane += " " + std::string(word);
    SetRunValue(values_, on ? RunAction::Write : RunAction::Delete, kSkyvaneRecoveryValue, skyvane,
                kRunOnceKey, unused);
    // Without a client there is nothing to start after a power failure.
    const std::string clientCommand = on ? ClientCommand() : std::string();
    const bool writeClient = on && word.empty() && !clientCommand.empty();
    SetRunValue(values_, writeClient ? RunAction::Write : RunAction::Delete, kClientRecoveryValue,
                clientCommand, kRunOnceKey, unused);
}

void StartupRegistration::RemoveSkyvaneValues() {
    bool unused = false;
    SetRunValue(values_, RunAction::Delete, kSkyvaneValue, {}, kRunKey, unused);
    // The client's kind is not known yet when uninstalling starts; the value
    // tells whom it starts.
    const std::string startsSkyvane = SkyvaneCommand() + " " + std::string(kRunClientWord);
    if (values_.Read(kRunKey, kClientValue) == startsSkyvane)
        SetRunValue(values_, RunAction::Delete, kClientValue, {}, kRunKey, unused);
    RegisterRecovery(false);
}

bool StartupRegistration::Exists(std::string_view subkey, std::string_view name) const {
    bool exists = false;
    SetRunValue(values_, RunAction::Test, name, {}, subkey, exists);
    return exists;
}

}  // namespace client
