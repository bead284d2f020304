// Console output: the one way a run writes a line to standard output or standard error.
#include "app/console.h"

#include <unistd.h>

#include <iostream>

namespace {

// A person watching a terminal sees each line as it happens. Into a file or a pipe, lines go out
// in blocks: a run prints thousands of them, and a write per line costs as much as copying a
// small file. Standard error is written at once, after what standard output holds.
bool LineByLine() {
  static const bool terminal = isatty(STDOUT_FILENO) == 1;
  return terminal;
}

}  // namespace

void PrintLine(const std::string& text) {
  std::cout << text << '\n';
  if (LineByLine()) std::cout << std::flush;
}

void PrintErrorLine(const std::string& text) {
  std::cout << std::flush;
  std::cerr << text << '\n' << std::flush;
}
