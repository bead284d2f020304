// Console output: every progress and error message of a run goes through here to standard output.
#include "app/console.h"

#include <iostream>

void PrintLine(const std::string& text) {
  std::cout << text << '\n' << std::flush;
}
