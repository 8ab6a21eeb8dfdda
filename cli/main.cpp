// tornvale-cli: the QD-TR25 service tool without a window, for scripts and
// scheduled collection.

#include "cli/CliTexts.h"
#include "cli/CommandLine.h"
#include "cli/DeviceCommands.h"
#include "cli/ExitCodes.h"
#include "cli/PortsCommand.h"
#include "platform/Console.h"

#include <iostream>
#include <string>
#include <vector>

#ifndef TORNVALE_VERSION
#define TORNVALE_VERSION "unknown"
#endif

int main(int argc, char** argv)
{
    platform::UseUtf8Console();
    const int language = cli::LanguageFromEnvironment();
    const cli::TParsed parsed = cli::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.Error) {
        std::cerr << "tornvale-cli: " << cli::Text(parsed.Error->Text, language, parsed.Error->Args) << '\n'
                  << cli::Text(cli::TCliText::ctUsageHint, language) << '\n';
        return cli::kExitUsage;
    }
    const cli::TCliRequest& request = parsed.Request;
    switch (request.Command) {
    case cli::TCliCommand::ccHelp: std::cout << cli::HelpText(language); return cli::kExitOk;
    case cli::TCliCommand::ccVersion: std::cout << "tornvale-cli " TORNVALE_VERSION "\n"; return cli::kExitOk;
    case cli::TCliCommand::ccPorts: return cli::ListPorts(request.Json, language, std::cout, std::cerr);
    default: break;
    }
    platform::CatchInterrupt();
    return cli::RunDeviceCommand(request, language, std::cout, std::cerr);
}
