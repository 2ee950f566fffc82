// The words of a DNC line: a capital letter and the number after it. Only the first
// occurrence of a letter in a line counts. Numbers are read leniently, because the reader
// never rejects a line: a text that is not a well-formed number reads as its longest leading
// part that is one ("1,5" as 1, "1-2" as 1), and as 0 when no such part exists ("", "+-3").
#pragma once

#include <optional>
#include <string_view>

namespace corvane::dnc {

// The characters that may follow a letter as its number, in character-code ranges.
enum class WordChars {
    Coordinate, // X, Y, Z, I, J: "+" to "9" (+ , - . / and the digits)
    Feed,       // F: "$" to "9", which adds $ % & ' ( ) and *
};

// The number after the first occurrence of `letter`, as the float the reader works with, or
// nothing when the letter does not occur.
std::optional<float> WordValue(std::string_view line, char letter, WordChars accepted);

// The number of a word whose characters start at `from` (just after the letter), whatever
// its letter: the characters the sets add to the number's own are never part of a number.
float wordValueAt(std::string_view line, std::size_t from);

// The longest leading part of `text` that is a decimal number (optional sign, then digits
// with an optional "." and fraction, or "." and a fraction), converted to double; 0 when
// there is none. Values beyond the double range read as the largest double of that sign.
double leadingNumber(std::string_view text);

// Double to the reader's working precision: toWorkingFloat in number_scan.h. Values beyond
// the float range become the largest float of that sign, so every working value stays finite.

// The G number of the word starting at `from` (just after the "G"): at most the next two
// characters, while they are digits. "G1", "G01", "G01X5" give 1, "G021" gives 2, and a
// "G" with no digit after it gives 0.
int gNumberAt(std::string_view line, std::size_t from);

// The direction of (dx, dy) in radians, 0 <= angle < 2π, exact on the axes: π/2 for the
// zero vector and straight up, π to the left, 3π/2 straight down, 0 to the right.
double ArcAngle(double dx, double dy);

inline constexpr double HalfPi = 1.5707963267948966;
inline constexpr double Pi = 3.141592653589793;
inline constexpr double ThreeHalvesPi = 4.71238898038469;
inline constexpr double TwoPi = 6.283185307179586;

} // namespace corvane::dnc
