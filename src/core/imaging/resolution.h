// Picture resolution in the program's unit, pixels per inch. Files give it per inch or
// per centimetre (BMP and PNG even per metre, which the library hands over per centimetre).
#pragma once

namespace corvane::imaging {

enum class ResolutionUnit { None, PerInch, PerCentimetre };

// Whole pixels per inch, halves rounded to the even neighbour; 0 for a file without a
// resolution, with no unit (a mere aspect ratio) or with a value no scanner or printer makes.
int pixelsPerInch(double value, ResolutionUnit unit);

} // namespace corvane::imaging
