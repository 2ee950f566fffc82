// The largest picture each kind of file we write can hold, in one place: the writers refuse
// a picture beyond it, and a chain of operations is refused before it runs when its result
// would be (an enlargement that runs for minutes only to be refused by the writer).
#pragma once

#include "imaging/picture.h"

#include <string>

namespace corvane::imaging {

// Empty when a file of the kind (FileType of picture_io.h) can hold a picture of the shape;
// otherwise the reason, as "too large for a BMP file (4 GB at most)".
std::string fileLimitProblem(int fileType, PictureShape shape);

} // namespace corvane::imaging
