// Surviving a mapped file that shrinks under the reader. The pages of a file mapping that
// lie past the file's new end no longer exist, and touching one raises SIGBUS, which ends
// the process (another program truncating a mesh while it is read, a file on a network
// share that goes away). While a mapping is guarded, a SIGBUS inside it puts readable zero
// pages in place of the rest of the mapping and notes the loss; the reader runs on over
// zeros (which the readers take as blanks) and asks afterwards whether pages were lost.
// Costs nothing while no page is lost: the handler runs only on the fault.
//
// A SIGBUS outside every guarded mapping goes to the handler that was there before (the
// default one ends the process as it always did).
#pragma once

#include <cstddef>

namespace corvane {

// Guards [data, data + size), a mapping made with mmap. Returns the registration, or -1 when
// too many mappings are guarded at once (that one is then unguarded, as before). Safe to
// call from any thread; installs the handler on first use.
int guardMapping(const void* data, std::size_t size);

// Whether a page of the guarded mapping was lost. -1 gives false.
bool mappingLostPages(int registration);

// Before the mapping is unmapped. -1 is ignored.
void unguardMapping(int registration);

} // namespace corvane
