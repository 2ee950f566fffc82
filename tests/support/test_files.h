// Files the tests hand to the program, made byte by byte so that the tests do not depend on
// the readers and writers they check.
#pragma once

#include <string>
#include <vector>

namespace corvane::testing {

// A 24-bit BMP of grey levels (0..255), top row first, at 3937 pixels per metre.
std::string greyBmp(const std::vector<std::vector<int>>& rows);

// A square pyramid over [0,4] x [0,4] with its apex at (2, 2, 2), as four triangular
// 3DFACEs on layer 0: every level between 0 and 2 cuts one square loop.
std::string pyramidDxf();

} // namespace corvane::testing
