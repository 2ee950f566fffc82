#include "cli/commands.h"

namespace corvane::cli {

void addReliefCommands(CLI::App&) {}

} // namespace corvane::cli
