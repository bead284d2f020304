// The target's own startup file: which file it is, and the stack and heap it reserves.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fs/result.h"
#include "mdk/project_info.h"

/// The symbols of ARM-syntax startup files for the sizes of the stack and the heap.
constexpr char kStackSizeSymbol[] = "Stack_Size";
constexpr char kHeapSizeSymbol[] = "Heap_Size";

/// The startup file of the target that the BSP's startup file takes the place of, relative to the
/// MDK folder with "/": the first built assembler file (type 2) of its groups whose name begins
/// with "startup", else its RTE startup file; "" when it has none. Pure.
std::string TargetStartupFile(const ProjectInfo& project);

/// A size that the startup file reserves, or why it gives none.
struct StartupSize {
  uint64_t bytes = 0;
  /// Fails, naming the startup file (or "" when there is none), with the reason; a size that
  /// nothing read fails with "not read".
  Result read = Result::Failure("", "not read");
};

/// Sets `value` from one line of ARM assembler that defines `symbol` with EQU
/// ("Stack_Size      EQU     0x00000800 ; comment"); leaves it alone and returns false for
/// any other line. `value` is the text after EQU, blanks and the comment taken off. Pure.
bool ParseEquLine(std::string_view line, const std::string& symbol, std::string* value);

/// The number of bytes `value` gives when it is a hexadecimal ("0x800") or decimal ("2048")
/// number below 2^32; false for an expression, a symbol or anything else. Pure.
bool ParseSizeValue(const std::string& value, uint64_t* bytes);

/// What the target's startup file reserves for the stack (Stack_Size) and the heap (Heap_Size).
struct [[nodiscard]] StartupSizes {
  std::string file;  // as TargetStartupFile gives it; "" when the target has none
  StartupSize stack;
  StartupSize heap;
};

/// Reads Stack_Size and Heap_Size from the first EQU that defines each in the target's startup
/// file, below `mdkFolder`. A size fails, naming the file as `file` holds it, when the target has
/// no startup file, the file cannot be read, no line defines the symbol ("no Stack_Size EQU") or
/// its value is no number ("Stack_Size EQU __STACK_SIZE is not a number"). Prints nothing.
StartupSizes ReadStartupSizes(const ProjectInfo& project, const std::string& mdkFolder);
