#include "cli/commands.h"

namespace corvane::cli {

void addInfoCommand(CLI::App&) {}

} // namespace corvane::cli
