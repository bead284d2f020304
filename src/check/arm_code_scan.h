// Finding, line by line, the ARM Compiler constructs in C, C++ and assembler text that GCC rejects
// or ignores, with the preprocessor conditionals evaluated as GCC evaluates them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

/// How GCC reads a file: C, C++, assembler through the preprocessor (.S), or plain assembler (.s),
/// which has no preprocessor.
enum class SourceLanguage { kC, kCxx, kPreprocessedAssembler, kAssembler };

/// The language GCC gives `path` by its extension: .cpp .cc .cxx .c++ .C kCxx; .S .sx
/// kPreprocessedAssembler; .s .asm kAssembler; anything else (.c, headers) kC.
SourceLanguage LanguageOfPath(const std::string& path);

struct MacroDefinition {
  std::string body;  // the replacement text, trimmed; "" for an empty macro
  bool functionLike = false;
};

/// The macros GCC knows at a point of the scan: its own predefined ones, the target's defines and
/// what the scanned code has defined and undefined since.
class MacroState {
 public:
  /// The predefined macros of arm-none-eabi-gcc 12 for a Thumb-2 Cortex-M (__GNUC__ 12,
  /// __GNUC_MINOR__ 2, __arm__, __thumb__, __thumb2__, __ARM_ARCH 7, __ARMEL__, __ARM_EABI__,
  /// __ELF__, __STDC__, ...; never __CC_ARM, __ARMCC_VERSION, __ICCARM__, __clang__ and the like)
  /// for C, plus `targetDefines`, each "NAME" (value 1, as -D gives), "NAME=value" or
  /// "NAME(args)=body".
  explicit MacroState(const std::vector<std::string>& targetDefines);

  /// Sets the macros that depend on the language: __STDC_VERSION__ 201710L for C, __cplusplus
  /// 201703L for C++, __ASSEMBLER__ 1 for assembler.
  void SetLanguage(SourceLanguage language);
  void Define(const std::string& name, const std::string& body, bool functionLike);
  void Undefine(const std::string& name);
  /// The definition of `name`, or nullptr when it is not defined.
  const MacroDefinition* Find(const std::string& name) const;

  /// Notes that a branch GCC skips defines `name` at `where` ("<file>:<line>"), unless it is
  /// defined now; a later Define of the name forgets it.
  void NoteSkippedDefinition(const std::string& name, std::string where);
  /// Where a skipped branch defines `name`, which nothing has defined since; nullptr otherwise.
  const std::string* SkippedDefinition(const std::string& name) const;
  bool HasSkippedDefinitions() const { return !skipped_.empty(); }
  /// Whether `text` may use a name that only a skipped branch defines: false only when it holds
  /// none of them (asked of a few names; with many, always true).
  bool MayUseSkippedDefinition(std::string_view text) const;
  /// Forgets where a skipped branch defines `name`: the code GCC compiles declares it itself.
  void ForgetSkippedDefinition(const std::string& name) { skipped_.erase(name); }

  /// Whether GCC takes the branch of `#if expression`. Integer arithmetic in 64 bits, signed
  /// throughout; "defined X", "defined(X)"; an undefined name is 0. A defined object-like macro
  /// is the value of its body taken as an expression of its own; an empty body or one that is no
  /// integer expression counts as 1 (defined, value unknown), and so does a call of a
  /// function-like macro. GCC's __has_include, __has_builtin and the like count as defined and
  /// their tests as 0. An expression that does not parse (GCC stops there) is false. So is one
  /// whose macros, expanded, come to more than 64 KiB of macro text: past that bound the
  /// evaluation stops and sets `*beyondBound` (when given), which it otherwise clears.
  bool EvaluateCondition(const std::string& expression, bool* beyondBound = nullptr) const;

 private:
  std::unordered_map<std::string, MacroDefinition> macros_;
  std::unordered_map<std::string, std::string> skipped_;
};

struct CodeFinding {
  int line = 0;       // the first physical line, counted from 1, of the logical line
  size_t column = 0;  // where it starts in the logical line, to order the findings of a line
  /// The identifier the finding is about when a macro of that name would make the code right for
  /// GCC (a keyword, an intrinsic, a symbol); "" when no macro can.
  std::string name;
  std::string text;
  /// What the port knows the finding by: the name for a keyword, an intrinsic or a retargeting
  /// hook, "#pragma import"; "" for the rest.
  std::string port;
};

/// One occurrence, in code GCC compiles, of an ARM Compiler keyword or intrinsic, whether the check
/// reports it or not (an intrinsic's name that is not called, say).
struct ConstructUse {
  int line = 0;
  std::string name;
  /// The token before it: an identifier, a one-character punctuator, or "" (the start of a file,
  /// a directive, a number or a literal).
  std::string previous;
  bool called = false;  // "(" follows it
};

struct IncludeDirective {
  int line = 0;
  std::string name;  // as written between the quotes or the angle brackets
  bool angled = false;
};

/// A token of a line of code, by where it stands in the line. A line is part of a file of at
/// most a few MiB, so 32 bits hold its columns: a line of one-byte tokens keeps 12 bytes a byte.
struct CodeToken {
  enum class Kind : uint8_t { kIdentifier, kNumber, kString, kCharacter, kPunctuator };
  Kind kind;
  uint32_t begin;
  uint32_t end;
};

/// Scans one file, fed one physical line at a time, in a single pass that keeps only the lines
/// of a backslash-continued line. Comments, string and character literals and the branches GCC
/// skips are not looked at. Macros defined and undefined in taken branches change `macros` at
/// once, so that later conditionals, in this file and in the files scanned after it, see them.
/// Prints nothing and reads no file: the includes it meets are handed to the caller, who scans
/// the included file before feeding the next line.
class ArmCodeScanner {
 public:
  /// `macros` must outlive the scanner.
  ArmCodeScanner(MacroState* macros, SourceLanguage language);

  /// The file's path as the findings show it, for the places they name.
  void SetShownPath(std::string shownPath) { shownPath_ = std::move(shownPath); }
  /// Feeds the next physical line, without its "\n" (a "\r" at its end is dropped).
  void AddLine(std::string_view line);
  /// Ends the file: scans a last continued line and orders the findings by line and column.
  void Finish();

  /// The includes met in taken branches since the last call, in line order. Computed includes
  /// (#include MACRO) and #include_next are not followed.
  std::vector<IncludeDirective> TakeIncludes();
  /// Whether TakeIncludes has any to give.
  bool HasIncludes() const { return !includes_.empty(); }
  /// Every finding, several on a line when the line has several; ordered once Finish has run.
  const std::vector<CodeFinding>& findings() const { return findings_; }
  /// The names this file defines as macros in branches GCC takes.
  const std::set<std::string>& definedNames() const { return definedNames_; }
  /// Every use of a keyword or an intrinsic of the tables, in line order once Finish has run.
  const std::vector<ConstructUse>& uses() const { return uses_; }
  /// Which of the C library's hooks (fputc, fgetc, _sys_exit) and newlib's system calls (_write,
  /// _read, _exit, _isatty) this file defines as functions in code GCC compiles.
  const std::set<std::string>& definedFunctions() const { return definedFunctions_; }
  /// Gives every macro this file itself defined or undefined its state from before the file, for
  /// a source file whose macros end with it. The macros of the files it included stay.
  void UndoOwnMacros();

 private:
  struct Branch {
    bool taken = false;   // a branch of this #if chain was taken, or the chain is inside a skip
    bool active = false;  // the current branch is compiled
    bool forArmCompiler = false;  // its condition names __CC_ARM or __ARMCC_VERSION
  };
  enum class RetargetStage { kNone, kParameters, kBody };

  bool Active() const;
  /// Whether the branch `depth` levels down (0: outside every conditional) is compiled.
  bool Active(size_t depth) const;
  void ScanLogicalLine(std::string_view line, int lineNumber);
  /// Takes the last token of `code` from `from` on as the identifier before the next line's
  /// first token, as ScanCode would leave it.
  void KeepLastIdentifier(std::string_view code, size_t from);
  void HandleDirective(const std::string& text, const std::string& code, size_t from,
                       int lineNumber);
  /// The condition of an #if or #elif at `column`; one past the expansion bound is reported.
  bool EvaluateCondition(const std::string& directive, const std::string& expression,
                         int lineNumber, size_t column);
  void HandlePragma(const std::string& code, size_t from, int lineNumber);
  void ScanCode(const std::string& text, const std::string& code, size_t from, int lineNumber,
                bool inDefine);
  /// Moves a pending retargeting definition on by the next token of code: `punctuator` is the
  /// token's character when it is "(", ")" or "{", else '\0'.
  void AdvanceRetarget(char punctuator, int lineNumber);
  void Report(int line, size_t column, std::string_view name, std::string text);
  void RememberOwnMacro(const std::string& name);

  /// Reports each identifier of `code` from `from` on that only a skipped branch defines; one
  /// after a type name (a function, a variable or a type of that name) is the code's own, and is
  /// never reported again.
  void ReportSkippedOnlyMacros(const std::string& code, size_t from, int lineNumber);

  MacroState* macros_;
  SourceLanguage language_;
  std::string shownPath_;
  int physicalLine_ = 0;
  int logicalStart_ = 0;
  std::string continued_;
  bool inBlockComment_ = false;
  std::vector<Branch> branches_;
  std::vector<IncludeDirective> includes_;
  std::vector<CodeFinding> findings_;
  std::set<std::string> definedNames_;
  std::vector<ConstructUse> uses_;
  std::set<std::string> definedFunctions_;
  std::map<std::string, std::optional<MacroDefinition>> ownMacros_;
  // Buffers for the line at hand, kept so that their room is reused from line to line: the line
  // less its comments, that less the contents of literals too, and its tokens of code.
  std::string text_;
  std::string code_;
  std::vector<CodeToken> tokens_;

  // State that spans lines of code: the identifier before the current token, an __asm that ended
  // a line (an ARM block when the next line opens with "{"), and a retargeting function name
  // waiting for its parameters and its body.
  std::string previousIdentifier_;
  char previousPunctuator_ = '\0';  // the punctuator that ended the last line of code, if one did
  bool asmPending_ = false;
  int asmLine_ = 0;
  size_t asmColumn_ = 0;
  RetargetStage retargetStage_ = RetargetStage::kNone;
  std::string retargetName_;
  int retargetLine_ = 0;
  size_t retargetColumn_ = 0;
  int retargetDepth_ = 0;
};

/// The findings to report from one file's `findings`: ordered by line and column, those whose
/// name is in `macroNames` or whose port key is in `ported` dropped, then the first left on each
/// line.
std::vector<CodeFinding> SelectReportedFindings(std::vector<CodeFinding> findings,
                                                const std::set<std::string>& macroNames,
                                                const std::set<std::string>& ported = {});

/// Whether `line` of an assembler file shows ARM (armasm) syntax: its first word, outside ";" and
/// "/* */" comments, is AREA, EXPORT, IMPORT, PRESERVE8 or REQUIRE8, in any case. `inBlockComment`
/// carries an open "/*" from line to line (start with false).
bool IsArmSyntaxAssemblerLine(std::string_view line, bool* inBlockComment);
