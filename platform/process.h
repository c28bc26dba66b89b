// Starting a command line and waiting for its end, with the Windows meaning of the line.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace sevrik {

// Starts the command line as a new process and waits, without a time-out, until it ends.
// The line is cut as the Windows C runtime cuts it; a first word without a separator is
// searched, without regard to case and with or without ".exe", in the running program's
// folder, then the current folder, then each folder of PATH; one with a separator is resolved
// as a path. The child inherits the environment, the current folder and the standard
// handles. A program that is not found or cannot be started makes the call return at once,
// quietly. The exit status is not examined.
void RunAndWait(std::string_view command_line);

// A started program as another process can name it later: its id, and its start time in the
// system's own units, so that a program that later got the same id is not taken for it; and
// the group of every process it starts in turn (empty when unknown): on POSIX the id of its own
// session and process group (the program's id), on Windows the name of the job object that it
// and the processes it starts belong to.
struct ProcessIdentity {
  long long pid = 0;
  unsigned long long started = 0;
  std::string group;
};

// RunAndWait for a program that heads a group of its own, which the processes it starts
// inherit, named after `run` (letters, digits and "-") before the program starts: on POSIX a
// new session, its members carrying SEVRIK_RUN=<run> in their environment; on Windows the job
// object RunJobName(run), which the program is put in before it runs. `started` is called with
// the program's identity once it runs and before the wait, and the call returns only when every
// process of the group has ended, not only the program itself. Returns whether a program was
// started.
bool RunAndWait(std::string_view command_line, const std::string& run,
                const std::function<void(const ProcessIdentity&)>& started);

// Whether a process of the group named `run` still runs: one that carries its name (POSIX), or
// the job of that name holds (Windows). Knows the group even when its program's identity was
// never written down.
bool RunGroupRuns(const std::string& run);

// Whether the process still runs (the same id with the same start time).
bool ProcessRuns(const ProcessIdentity& process);

// Whether the process, or any process of its group, still runs. Without a group: ProcessRuns.
// On POSIX a member counts when it is in the group and session of the process's id and started
// no earlier than the process; a program that later got the same id, with its own group, is not
// taken for it.
bool ProcessGroupRuns(const ProcessIdentity& process);

// RunAndWait after the pending window events have been processed once, so that a window is
// repainted before the program blocks.
void ShellAndWait(std::string_view command_line);
bool ShellAndWait(std::string_view command_line, const std::string& run,
                  const std::function<void(const ProcessIdentity&)>& started);

// Processes the pending window events once (set by a program with windows).
void SetPendingEventsHandler(std::function<void()> handler);

// Where the program word of a command line is found; empty when nowhere.
std::string FindProgram(std::string_view word);

}  // namespace sevrik
