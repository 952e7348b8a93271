// Starting other programs directly, never through a shell: no text of an
// argument is ever interpreted as a command.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace platform {

// Starts argv[0] (looked up on PATH when it has no "/") with the arguments
// and does not wait for it; the child is reaped by the system. False when it
// could not be started.
bool SpawnDetached(const std::vector<std::string>& argv, const std::string& workingDirectory = {});

// Runs it to its end; its exit code, or -1 when it could not be run.
int RunAndWait(const std::vector<std::string>& argv);

// Runs it for at most `limit`, its output and errors discarded: a child still
// running then is killed with what it started and reaped. Its exit code, or
// -1 when it could not be run, was killed or died of a signal.
int RunWithin(const std::vector<std::string>& argv, std::chrono::milliseconds limit);

struct RunOutput {
  int exitCode = -1;  // as RunWithin's
  std::string output;
};

// As RunWithin, keeping what it writes to stdout.
RunOutput ReadWithin(const std::vector<std::string>& argv, std::chrono::milliseconds limit);

}  // namespace platform
