// The bits per pixel a palette file declares in its header. The image library tells how many
// colours a palette holds, not how wide the file's index was: an 8-bit BMP that uses 16
// colours must still come back as 8-bit, so for the formats that say it plainly we look.
#pragma once

#include <string_view>

namespace corvane::imaging {

// 1, 4 or 8 for BMP and PCX files that declare such a depth; 0 otherwise (other formats,
// true-colour files, headers cut short). header: the file's first bytes (80 suffice).
int declaredPaletteBitCount(std::string_view header);

} // namespace corvane::imaging
