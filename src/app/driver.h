// The run: banner, options, and every generation step in order.
#pragma once

/// Runs the generator with the process arguments. Returns 0 after a complete run (or for
/// --help/--version) and -1 at the first failure.
int RunGenerator(int argc, char** argv);
