// The qm26-ide-gen executable: everything happens in the driver.
#include "app/driver.h"

int main(int argc, char** argv) {
  return RunGenerator(argc, argv);
}
