// Running one program as a child process and measuring it.
#include "child_run.h"

#include <chrono>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

ChildRun RunChild(const std::vector<std::string>& argv, const std::string& logPath) {
  std::vector<char*> arguments;
  for (const std::string& argument : argv) arguments.push_back(const_cast<char*>(argument.c_str()));
  arguments.push_back(nullptr);

  ChildRun run;
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) return run;
  if (child == 0) {
    const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (log < 0 || dup2(log, STDOUT_FILENO) < 0 || dup2(log, STDERR_FILENO) < 0) _exit(127);
    close(log);
    execvp(arguments[0], arguments.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage = {};
  if (wait4(child, &status, 0, &usage) != child) return run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakRssKb = usage.ru_maxrss;
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}
