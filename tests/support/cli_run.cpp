#include "cli_run.h"

#include "scratch_folder.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

namespace corvane::testing {

CliRun runCli(const std::filesystem::path& folder, const std::string& arguments,
              const std::string& environment)
{
    const ScratchFolder captured;
    const std::filesystem::path out = captured.path() / "stdout",
                                errors = captured.path() / "stderr";
    const std::string command = "cd '" + folder.string() + "' && " + environment +
                                " " CORVANE_CLI " " + arguments + " > '" + out.string() + "' 2> '" +
                                errors.string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(errors)};
}

CliRun runCommand(const std::string& command)
{
    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 4096> buffer{};
    while (const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        run.out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

CliRun runCliFolded(const std::string& arguments)
{
    return runCommand(std::string(CORVANE_CLI) + " " + arguments + " 2>&1");
}

} // namespace corvane::testing
