// The simulation's pictures: the carved surface as a 16-bit grey PGM (0 the deepest cell,
// 65535 the highest) and the deviation map as a colour picture in the preview's colours.
#pragma once

#include "imaging/picture.h"
#include "simulation/z_map.h"

#include <string>
#include <vector>

namespace corvane::simulation {

// "P5\n<cols> <rows>\n65535\n" then big-endian samples, row 0 (the top) first. A map that
// was never cut is all 65535. Written whole or not at all; throws corvane::Error naming
// the file.
void writeCarvedPgm(const ZMap& carved, const std::string& fileName);

std::string encodeCarvedPgm(const ZMap& carved);

imaging::Picture deviationPicture(const ZMap& carved, const std::vector<double>& target,
                                  double tolerance);

// The deviation picture as a PNG, written whole or not at all; throws corvane::Error naming
// the file.
void writeDeviationPng(const ZMap& carved, const std::vector<double>& target, double tolerance,
                       const std::string& fileName);

} // namespace corvane::simulation
