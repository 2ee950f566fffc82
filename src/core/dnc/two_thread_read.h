// Reading a large program on two threads. The second thread reads the lines from a seam
// past the middle on, starting from a guessed modal state (the state at the file's start),
// and notes its state, its record count and the box of its records every few thousand
// lines. Once the first thread has read up to the seam it goes on reading line by line until
// it reaches one of those notes in the very state the second thread had there: from that line
// on, the second thread's records are the ones it would have made (a line's records depend on
// the line and the state alone), so they are taken over with the line numbers shifted.
// A program whose state never meets the guess is read to its end by the first thread, so the
// result is always that of the one-thread reading (ParseDncProgramOnOneThread).
#pragma once

#include "common/run_control.h"
#include "dnc/dnc_move.h"

#include <cstddef>
#include <string_view>

namespace corvane::dnc {

// Below this size a second thread costs more than it saves.
inline constexpr std::size_t TwoThreadBytes = std::size_t(4) << 20;

// Where ParseDncProgram puts the seam, in hundredths of the bytes. The second thread also
// faults in the first thread's room for its records, about 40% more work a byte than the
// reading alone: a seam past the middle lets both threads end together.
inline constexpr std::size_t SeamPercent = 58;

// The one-thread reading, the twin of the two-thread one; ParseDncProgram's contract.
DncProgram ParseDncProgramOnOneThread(std::string_view bytes, RunControl& control);

// ParseDncProgram's contract, on two threads whatever the size, the second one starting at
// the first line that starts at or after byte `from` (no second thread when there is none).
// Progress points and the Esc test follow the first thread's reading.
DncProgram ParseDncProgramFromSeam(std::string_view bytes, std::size_t from, RunControl& control);

} // namespace corvane::dnc
