// Running one program as a child process and measuring it.
#pragma once

#include <string>
#include <vector>

/// What one child run cost.
struct ChildRun {
  double seconds = 0;       // wall time from fork to the child's end
  long peakRssKb = 0;       // the child's peak resident memory, from getrusage (wait4)
  int exitStatus = -1;      // -1 when it could not start or died of a signal
};

/// Runs `argv` (looked up on PATH) with standard output and standard error going to `logPath`,
/// appended, and waits for it.
ChildRun RunChild(const std::vector<std::string>& argv, const std::string& logPath);
