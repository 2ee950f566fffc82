// corvane-cli: the engine's jobs without the desktop program.
#include "cli/commands.h"
#include "common/error.h"

#include <iostream>

int main(int argc, char** argv)
{
    using namespace corvane::cli;
    CLI::App app{"Corvane: pictures into 3D reliefs for CNC engraving and milling", "corvane-cli"};
    app.set_version_flag("--version", std::string("corvane-cli ") + CORVANE_VERSION);
    app.require_subcommand(1);
    addInfoCommand(app);
    addReliefCommands(app);
    addMeshCommand(app);
    addRegionsCommand(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return ExitUsage;
    } catch (const corvane::Error& e) {
        std::cerr << "corvane-cli: " << e.what() << "\n";
        return ExitFailure;
    } catch (const std::exception& e) {
        std::cerr << "corvane-cli: " << e.what() << "\n";
        return ExitFailure;
    }
    return ExitOk;
}
