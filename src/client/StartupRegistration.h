#pragma once
// The values that start Skyvane and the client when the user logs on:
// always ("Run") or only at the next start after Skyvane went down while
// running ("RunServicesOnce", the power-failure recovery). Named in the
// Windows vocabulary; platform::StartupValues maps them on other systems.

#include <string>
#include <string_view>

#include "client/ClientControl.h"
#include "platform/Platform.h"

namespace client {

inline constexpr std::string_view kRunKey = "Run";
inline constexpr std::string_view kRunOnceKey = "RunServicesOnce";
inline constexpr std::string_view kSkyvaneValue = "Skyvane";
inline constexpr std::string_view kClientValue = "seticlient";
inline constexpr std::string_view kSkyvaneRecoveryValue = "SkyvaneBak";
inline constexpr std::string_view kClientRecoveryValue = "SAHBak";

// Words Skyvane's command line understands.
inline constexpr std::string_view kRunClientWord = "runclient";
inline constexpr std::string_view kFailureWord = "failure";
inline constexpr std::string_view kFixConnectWord = "fixconnect";
inline constexpr std::string_view kFixPathWord = "fixpath";

enum class RunAction : int {
    Delete = 0,
    Write = 1,
    Test = 2,  // sets `exists`
};

// One operation on the value `name` under `subkey`. Failures are swallowed;
// when the values cannot be read at all a test leaves `exists` as it was.
void SetRunValue(platform::StartupValues& values, RunAction action, std::string_view name,
                 std::string_view data, std::string_view subkey, bool& exists);

class StartupRegistration {
public:
    // `client` gives the client command; both must outlive this object.
    StartupRegistration(platform::StartupValues& values, platform::Environment& environment,
                        const ClientControl& client)
        : values_(values), environment_(environment), client_(client) {}

    // Skyvane's own command: its executable path, unquoted.
    std::string SkyvaneCommand() const { return environment_.ExecutablePath(); }
    // The command that starts the client at logon: Skyvane with "runclient"
    // for a text client (which then starts it with its stop switch and
    // extra parameters), the windowed client itself minimised; empty without
    // a client.
    std::string ClientCommand() const;

    // Writes ("on") or removes the recovery values. With a repair word
    // ("fixconnect", "fixpath") Skyvane's value carries it and the client's
    // is removed: the client must not start by itself while a refresh is
    // unfinished.
    void RegisterRecovery(bool on, std::string_view word = {});

    // Uninstalling: removes Skyvane's logon value, the client's logon value
    // when it starts Skyvane (a text client's "runclient" line, which would
    // outlive the program it names), and both recovery values. A windowed
    // client's own logon value stays: it starts only the client.
    void RemoveSkyvaneValues();

    platform::StartupValues& Values() { return values_; }

    // Whether a value exists; false when that cannot be told.
    bool Exists(std::string_view subkey, std::string_view name) const;

private:
    platform::StartupValues& values_;
    platform::Environment& environment_;
    const ClientControl& client_;
};

}  // namespace client
