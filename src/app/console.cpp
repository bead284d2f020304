// Console output: the one way a run writes a line to standard output or standard error.
#include "app/console.h"

#include <iostream>

void PrintLine(const std::string& text) {
  std::cout << text << '\n' << std::flush;
}

void PrintErrorLine(const std::string& text) {
  std::cerr << text << '\n' << std::flush;
}
