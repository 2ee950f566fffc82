// Temporary files that must not outlive an interrupted process (a half-written 4 GB mesh
// left hidden beside the user's files after Ctrl+C). Their paths are kept where a signal
// handler can reach them without allocating or taking a lock, the only things it may do.
#pragma once

namespace corvane {

// Remembers a temporary file until it is forgotten. Returns the registration, or -1 when
// the path is too long or too many files are open at once (that file is then only left
// behind by an interrupt, as before). Safe to call from any thread.
int registerTemporaryFile(const char* path);
// After the file has been renamed into place or removed. -1 is ignored.
void forgetTemporaryFile(int registration);

// Removes every remembered file. Async-signal-safe.
void removeTemporaryFiles();

// On SIGINT, SIGTERM and SIGHUP: ends the programs we started (child_processes.h), removes
// the remembered files, then ends the process by the same signal, so that the caller sees it
// was interrupted (a shell reports 130 or 143).
void removeTemporaryFilesOnInterrupt();

} // namespace corvane
