// A grammar check of G-code against what GRBL 1.1 accepts, so every program written for
// GRBL is known to run there without an error: only the G and M codes it supports, one word
// per modal group and each other letter once per line, numbers it can read, comments that
// close on their line, a feed rate before the first feed move, and lines of at most 80
// characters (its line buffer). Lines end in CR LF, as all our programs do.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvane::testing {

// One message per fault, "line N: ..."; empty when GRBL 1.1 takes the program.
std::vector<std::string> grblProblems(std::string_view program);

} // namespace corvane::testing
