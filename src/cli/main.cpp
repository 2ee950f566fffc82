// corvane-cli: the engine's jobs without the desktop program.
#include "cli/commands.h"
#include "common/error.h"
#include "common/temporary_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>

int main(int argc, char** argv)
{
    using namespace corvane::cli;
    // Ctrl+C during a big surface must not leave gigabytes of hidden temporary file behind.
    corvane::removeTemporaryFilesOnInterrupt();
    CLI::App app{"Corvane: pictures into 3D reliefs for CNC engraving and milling", "corvane-cli"};
    app.set_version_flag("--version", std::string("corvane-cli ") + CORVANE_VERSION);
    app.require_subcommand(1);
    addInfoCommand(app);
    addReliefCommands(app);
    addMeshCommand(app);
    addDepthMapCommand(app);
    addDncCommand(app);
    addRegionsCommand(app);
    addImageCommand(app);
    addSimulateCommand(app);

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
    } catch (const std::bad_alloc&) {
        // The steps that grow with the picture say which and how much; this is the rest.
        std::cerr << "corvane-cli: Not enough memory.\n";
        return ExitFailure;
    } catch (const std::exception& e) {
        std::cerr << "corvane-cli: " << e.what() << "\n";
        return ExitFailure;
    }
    // Output that could not be written (a full disk, a closed pipe) is a failure, not
    // success; the stream only finds out when it is flushed.
    // A write that failed earlier leaves its mark on the stream and on stdout beneath it.
    errno = 0;
    if (!(std::cout << std::flush) || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::cerr << "corvane-cli: cannot write the output"
                  << (errno ? std::string(": ") + std::strerror(errno) : std::string()) << "\n";
        return ExitFailure;
    }
    return ExitOk;
}
