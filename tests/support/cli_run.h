// Runs corvane-cli as a user runs it from a shell, for the command-line tests.
#pragma once

#include <filesystem>
#include <string>

namespace corvane::testing {

struct CliRun {
    int exitCode = -1; // -1 when the program did not end normally
    std::string out;
    std::string errors;
};

// Runs `corvane-cli ARGUMENTS` from `folder` with the environment assignments given (by default
// a fixed clock and the C locale, so headers are reproducible), and captures stdout and stderr.
CliRun runCli(const std::filesystem::path& folder, const std::string& arguments,
              const std::string& environment = "SOURCE_DATE_EPOCH=0 LC_ALL=C");

// Runs a shell command and captures its standard output; `errors` stays empty (fold stderr in
// with "2>&1" where it matters).
CliRun runCommand(const std::string& command);

// corvane-cli with the arguments, its stderr folded into `out` as a user sees both.
CliRun runCliFolded(const std::string& arguments);

} // namespace corvane::testing
