// The ARM Compiler constructs that GCC can be given exactly, by a definition in the compatibility
// header the project forces into every C and C++ compile: one row per construct.
#pragma once

#include <string>
#include <string_view>
#include <vector>

/// Which uses of a construct its definition gives GCC exactly.
enum class AcceptedUses {
  kAnywhere,            // a keyword without arguments, wherever it stands
  kCalled,              // a keyword with an argument list: __align(8)
  kAfterStructOrBrace,  // after "struct", "union" or a closing "}": GCC ignores it elsewhere
  kStaticOrInSource,    // after "static", or anywhere in a source file (not a header)
  kCallNotDeclaration,  // an intrinsic called, not declared or defined by the code itself
};

/// One construct of the port.
struct PortRow {
  const char* name;
  AcceptedUses accepts;
  /// The lines of the compatibility header that define it, each ending in "\n"; the header puts
  /// them between "#ifndef <name>" and "#endif".
  const char* definition;
  /// The test that runs the definition and checks what the program sees.
  const char* provenBy;
};

/// Every row, in the order the header defines them.
const std::vector<PortRow>& PortRows();

/// The row of `name`, or nullptr when no definition gives GCC that construct.
const PortRow* FindPortRow(std::string_view name);

/// Where one use of a construct stands.
struct UseContext {
  std::string previous;  // the token before it: an identifier, a punctuator, or ""
  bool called = false;   // "(" follows it
  bool inHeader = false; // it lies in a header rather than a source file
};

/// Whether `row`'s definition gives GCC exactly what ARM Compiler made of the use in `context`.
bool AcceptsUse(const PortRow& row, const UseContext& context);
