// A command line started through /bin/sh -c in a process group of its own that cannot outlive
// this program. A small supervisor, a copy of this process that runs no code of ours but a few
// system calls, leads the group and runs the shell as its child. When this program dies, even
// by SIGKILL, the kernel sends the supervisor its parent-death signal and it kills the whole
// group: the shell, the aligner the shell started, and whatever the aligner started.
#pragma once

#include <string>
#include <vector>

namespace kvr {

struct ProcessGroup {
    int processId = 0;  // the supervisor; the group's id is the same
    int endedFd = -1;   // readable once the supervisor has ended (a pidfd)
};

struct ProcessGroupStart {
    ProcessGroup group;  // processId 0 when it did not start
    std::string error;   // why not
};

// The environment the commands run in: this program's, with glibc's malloc told to back large
// blocks with transparent huge pages (unless the user's GLIBC_TUNABLES already says). An aligner
// touches tens of megabytes for every pair; at a page fault per 4 KiB that was a third of
// MUSCLE's time on a pair of ITS sequences, and the faults of two aligners slow each other
// down. Glibc before 2.35 and kernels without huge pages ignore it.
std::vector<std::string> ChildEnvironment(char* const* environment);

// Starts commandLine in folder with /dev/null as its input. To be called from the thread that
// lives as long as the program (the main thread): the parent-death signal follows the thread
// that started the child, not the process.
ProcessGroupStart StartProcessGroup(const std::string& commandLine, const std::string& folder);

// After endedFd became readable: kills what the command left running in the group, reaps the
// supervisor and closes endedFd. Returns the shell's exit status, 128 + n when signal n ended it.
int ReapProcessGroup(ProcessGroup& group);

// Kills the whole group at once and reaps the supervisor.
void KillProcessGroup(ProcessGroup& group);

// A command can leave its group (setsid, setpgid) and outlive it. Made a child subreaper, this
// program inherits such processes once their parents are gone, and EndStrayChildren, called when
// no group runs any more, kills and reaps every child this program still has.
void AdoptOrphans();
void EndStrayChildren();

}  // namespace kvr
