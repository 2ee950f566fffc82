// Programs we start (plug-in filters) must not outlive us: a plug-in runs in a process group
// of its own, with any programs it starts in turn, and the group is remembered here where a
// signal handler can reach it without allocating or taking a lock. The interrupt handler
// (temporary_files.h) ends every remembered group before the process ends.
#pragma once

#include <sys/types.h>

namespace corvane {

// Remembers the process group `group` until it is forgotten. Returns the registration, or -1
// when too many groups are remembered at once. Safe to call from any thread.
int registerChildGroup(pid_t group);
// After the group has been ended. -1 is ignored.
void forgetChildGroup(int registration);

// Sends SIGKILL to every remembered group. Async-signal-safe.
void endChildGroups();

} // namespace corvane
