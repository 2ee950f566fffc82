// What every command checks about the files it writes: that a write to standard output
// really happened (a full disk, a closed pipe), that an output's name says the kind written,
// and that an output never replaces one of the command's own inputs.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

// Writes to stdout; throws corvane::Error "cannot write the output: <reason>" when the system
// refuses the bytes, so a long dump stops at the first failure instead of ending as success.
void writeStandardOutput(std::string_view bytes);
// Flushes stdout with the same check.
void flushStandardOutput();

// The extension in lower case, with its dot: ".dnc"; empty when there is none.
std::string lowerExtension(const std::string& path);

// Throws CLI::ValidationError naming the option when path does not end in one of the
// extensions (lower case, with the dot; the test ignores case).
void requireExtension(const std::string& option, const std::string& path,
                      std::initializer_list<const char*> extensions);

// Throws corvane::Error naming the output when it is the same file as one of the inputs
// (links followed, so another name for the same file is caught too). Empty names are passed.
void refuseOutputOverInput(const std::string& output, const std::vector<std::string>& inputs);

} // namespace corvane::cli
