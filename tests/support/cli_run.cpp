#include "cli_run.h"

#include "scratch_folder.h"

#include <cstdlib>
#include <sys/wait.h>

namespace corvane::testing {

CliRun runCli(const std::filesystem::path& folder, const std::string& arguments,
              const std::string& environment)
{
    const ScratchFolder captured;
    const std::filesystem::path out = captured.path() / "stdout", errors = captured.path() / "stderr";
    const std::string command = "cd '" + folder.string() + "' && " + environment + " " CORVANE_CLI " " +
                                arguments + " > '" + out.string() + "' 2> '" + errors.string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(errors)};
}

} // namespace corvane::testing
