// Each sub-command of corvane-cli registers itself on the application.
#pragma once

#include <CLI/CLI.hpp>

namespace corvane::cli {

// Exit codes: 0 success, 1 bad input or I/O failure, 2 wrong usage.
enum ExitCode : int { ExitOk = 0, ExitFailure = 1, ExitUsage = 2 };

void addInfoCommand(CLI::App& app);
void addReliefCommands(CLI::App& app); // surface, gcode, gouge
void addMeshCommand(CLI::App& app);
void addDepthMapCommand(CLI::App& app);
void addDncCommand(CLI::App& app);
void addRegionsCommand(CLI::App& app);
void addImageCommand(CLI::App& app);
void addSimulateCommand(CLI::App& app);

} // namespace corvane::cli
