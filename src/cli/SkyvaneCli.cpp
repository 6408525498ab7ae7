// skyvane-cli: what Skyvane's windows would show for a client directory,
// computed by the same logic, printed for scripts and terminals; and the
// client and cache actions of its menus.

#include <CLI/CLI.hpp>

#include "cli/CacheCommands.h"
#include "cli/ClientCommands.h"
#include "cli/CommandLine.h"
#include "cli/InspectionCommands.h"
#include "cli/StatusCommands.h"

int main(int argc, char** argv) {
    CLI::App app{
        "What Skyvane's windows show for a SETI@home client directory, for scripts and\n"
        "terminals. Only the client and cache commands change anything (they start and\n"
        "stop the client, and exchange the cache with the server); the others write nothing\n"
        "but the picture asked for.\n"};
    app.footer(
        "Exit status: 0 done; 1 the action failed (a picture not written, the client not\n"
        "stopped, a cache refresh not completed); 2 wrong arguments, or DIR missing or no\n"
        "client directory.\n"
        "Run 'skyvane-cli COMMAND --help' for a command's options.");
    cli::ConfigureProgram(app, "skyvane-cli");
    cli::CommandResult result;
    cli::AddStatusCommand(app, result);
    cli::AddGraphCommand(app, result);
    cli::AddSignalsCommand(app, result, cli::WithClientDirectory);
    cli::AddPlotCommand(app, result, cli::WithClientDirectory);
    cli::AddClientCommand(app, result);
    cli::AddCacheCommand(app, result);
    return cli::RunCommandLine(app, result, argc, argv);
}
