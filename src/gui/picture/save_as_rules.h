// How Save As turns the name and filter chosen in the save dialog into the file written:
// the filter decides the type, and a name without a dot gets the filter's extension.
#pragma once

#include <QString>

namespace corvane::gui {

// Save As offers these, in this order (PNG and netpbm after the four classic kinds).
inline const QString kSaveAsFilter = QStringLiteral(
    "Bmp Files *.Bmp|*.bmp|JPEG Files *.Jpg|*.jpg|PCX Files *.Pcx|*.pcx|TIFF Files *.Tif|*.tif|"
    "PNG Files *.Png|*.png|PNM Files *.Pnm|*.pnm");

struct SaveTarget {
    QString fileName;
    int typeCode = 4; // imaging file type: 4 BMP, 11 JPEG, 8 PCX, 9 TIFF
};

// filterIndex is 1-based as in kSaveAsFilter; anything else counts as the first filter.
// A file-name part without "." gets the filter's extension (".Bmp", ".Jpg", ".Pcx", ".Tif",
// ".Png", ".Pnm");
// a name with a dot anywhere in its file-name part is kept as typed, still written in the
// filter's type.
SaveTarget saveTargetFor(const QString& chosenName, int filterIndex);

// PNG, TIFF and PNM keep a 16-bit depth map's samples; BMP, JPEG and PCX hold 256 levels.
bool keepsSixteenBits(int typeCode);
// "BMP", "JPEG", "PCX", "TIFF", "PNG" or "PNM"; "picture" for any other code.
QString fileKindName(int typeCode);

// "New Picture" and " " are the captions of a picture that has no file yet.
bool isUntitledCaption(const QString& caption);

} // namespace corvane::gui
