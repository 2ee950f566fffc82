// Reading a G-code ("DNC") program into its move list and extents. The reader never rejects
// a line: words it does not use, G numbers other than 0 to 3 and comment lines (any line
// holding "(") are skipped, and numbers are read leniently (see dnc_words.h). Any bytes give
// a move list; only a file that cannot be read is an error.
#pragma once

#include "common/run_control.h"
#include "dnc/dnc_move.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace corvane::dnc {

// Lines end in LF or CR LF; the last line needs no line end. Reports progress on the
// status-bar gauge at about every tenth of the bytes; when Esc is found pressed there the
// reading stops early (the caller, which tests Esc afterwards, throws the result away).
// A big program's records fill hundreds of megabytes, and faulting in their pages costs
// about as much as reading the numbers: for a program of PagesAheadBytes or more, on a
// machine with two cores, a helper thread faults them in a little ahead of the reading.
DncProgram ParseDncProgram(std::string_view bytes, RunControl& control);

inline constexpr std::size_t PagesAheadBytes = std::size_t(4) << 20;

// The same reading with no helper thread whatever the size: ParseDncProgram's twin.
DncProgram ParseDncProgramOnOneThread(std::string_view bytes, RunControl& control);

struct DncFile {
    std::string bytes; // the whole file, for the text pane: one read serves both
    DncProgram program;
};

// Reads the file whole and parses it, showing "Loading <name>... Esc to Cancel." first. Ends
// with a checkpoint, so that an Esc typed during the read is seen by the caller. Throws
// corvane::Error naming the file when it cannot be opened or read, is not a regular file
// (a FIFO is refused at once, without waiting for a writer), or changes while it is read
// ("changed while it was read").
DncFile LoadDncProgram(const std::string& fileName, RunControl& control);

} // namespace corvane::dnc
