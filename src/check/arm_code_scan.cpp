// Finding, line by line, the ARM Compiler constructs in C, C++ and assembler text that GCC rejects
// or ignores, with the preprocessor conditionals evaluated as GCC evaluates them.
#include "check/arm_code_scan.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "check/code_text.h"
#include "check/finding_table.h"
#include "check/gcc_port.h"

namespace {

// The finding for the __asm (or CMSIS __ASM) at `tokens[index]`, which has a token after it;
// nullptr for GNU inline assembler. `sawRegister`: "register" stands before it on the line.
const char* AsmFinding(const std::string& text, const std::string& code,
                       const std::vector<Token>& tokens, size_t index, bool sawRegister) {
  const Token& next = tokens[index + 1];
  if (IsPunctuator(code, &next, '{')) return kInlineAsmText;
  if (next.kind == Token::Kind::kIdentifier) {
    // GNU asm takes only its qualifiers here; ARM's embedded assembler a function's type.
    return Contains(kGnuAsmQualifiers, TokenText(code, next)) ? nullptr : kEmbeddedAsmText;
  }
  if (IsPunctuator(code, &next, '(') && sawRegister && index + 2 < tokens.size() &&
      tokens[index + 2].kind == Token::Kind::kString) {
    const Token& literal = tokens[index + 2];
    if (literal.end - literal.begin < 2) return nullptr;
    std::string name = text.substr(literal.begin + 1, literal.end - literal.begin - 2);
    std::transform(name.begin(), name.end(), name.begin(), LowerAscii);
    if (Contains(kSystemRegisters, name)) return kRegisterAsmText;
  }
  return nullptr;
}

// Marks, for each "(" of `tokens`, whether an at( stands directly inside a "(" directly inside
// it: the place of ARM's at(address) in __attribute__((name(...), at(address))). One pass over
// the line, however many attributes it holds or leaves open.
void MarkAtAttributeLists(const std::string& code, const std::vector<Token>& tokens,
                          std::vector<char>* holdsAt) {
  holdsAt->assign(tokens.size(), 0);
  std::vector<size_t> open;
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (IsPunctuator(code, &tokens[i], '(')) {
      open.push_back(i);
    } else if (IsPunctuator(code, &tokens[i], ')')) {
      if (!open.empty()) open.pop_back();
    } else if (open.size() >= 2 && tokens[i].kind == Token::Kind::kIdentifier &&
               TokenText(code, tokens[i]) == "at" &&
               IsPunctuator(code, i + 1 < tokens.size() ? &tokens[i + 1] : nullptr, '(')) {
      (*holdsAt)[open[open.size() - 2]] = 1;
    }
  }
}

// Whether the __attribute__ at `tokens[index]` names ARM's at(address); `holdsAt` as
// MarkAtAttributeLists leaves it.
bool HasAtAttribute(const std::string& code, const std::vector<Token>& tokens, size_t index,
                    const std::vector<char>& holdsAt) {
  return index + 1 < tokens.size() && IsPunctuator(code, &tokens[index + 1], '(') &&
         holdsAt[index + 1] != 0;
}

}  // namespace

// --- Languages and macros ---

SourceLanguage LanguageOfPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return SourceLanguage::kC;
  }
  const std::string extension = path.substr(dot + 1);
  if (extension == "cpp" || extension == "cc" || extension == "cxx" || extension == "c++" ||
      extension == "C") {
    return SourceLanguage::kCxx;
  }
  if (extension == "S" || extension == "sx") return SourceLanguage::kPreprocessedAssembler;
  if (extension == "s" || extension == "asm") return SourceLanguage::kAssembler;
  return SourceLanguage::kC;
}

MacroState::MacroState(const std::vector<std::string>& targetDefines) {
  static const NamedText kPredefined[] = {
      {"__GNUC__", "12"},
      {"__GNUC_MINOR__", "2"},
      {"__GNUC_PATCHLEVEL__", "1"},
      {"__STDC__", "1"},
      {"__STDC_HOSTED__", "1"},
      {"__arm__", "1"},
      {"__thumb__", "1"},
      {"__thumb2__", "1"},
      {"__ARMEL__", "1"},
      {"__ARM_EABI__", "1"},
      {"__ELF__", "1"},
      {"__ARM_ARCH", "7"},
      {"__ARM_ARCH_ISA_THUMB", "2"},
      {"__ARM_ARCH_PROFILE", "77"},
      {"__APCS_32__", "1"},
      {"__CHAR_BIT__", "8"},
      {"__CHAR_UNSIGNED__", "1"},
      {"__SIZEOF_SHORT__", "2"},
      {"__SIZEOF_INT__", "4"},
      {"__SIZEOF_LONG__", "4"},
      {"__SIZEOF_LONG_LONG__", "8"},
      {"__SIZEOF_POINTER__", "4"},
      {"__ORDER_LITTLE_ENDIAN__", "1234"},
      {"__ORDER_BIG_ENDIAN__", "4321"},
      {"__BYTE_ORDER__", "1234"},
  };
  for (const NamedText& macro : kPredefined) Define(macro.name, macro.text, false);
  SetLanguage(SourceLanguage::kC);
  for (const std::string& define : targetDefines) {
    const size_t equals = define.find('=');
    std::string name = Trim(define.substr(0, equals));
    const std::string body = equals == std::string::npos ? "1" : Trim(define.substr(equals + 1));
    const size_t paren = name.find('(');
    const bool functionLike = paren != std::string::npos;
    if (functionLike) name = name.substr(0, paren);
    if (!name.empty()) Define(name, body, functionLike);
  }
}

void MacroState::SetLanguage(SourceLanguage language) {
  Undefine("__STDC_VERSION__");
  Undefine("__cplusplus");
  Undefine("__ASSEMBLER__");
  if (language == SourceLanguage::kC) Define("__STDC_VERSION__", "201710L", false);
  if (language == SourceLanguage::kCxx) Define("__cplusplus", "201703L", false);
  if (IsAssembler(language)) Define("__ASSEMBLER__", "1", false);
}

void MacroState::Define(const std::string& name, const std::string& body, bool functionLike) {
  macros_[name] = MacroDefinition{body, functionLike};
  if (!skipped_.empty()) skipped_.erase(name);
}

void MacroState::NoteSkippedDefinition(const std::string& name, std::string where) {
  if (Find(name) == nullptr) skipped_.emplace(name, std::move(where));
}

bool MacroState::MayUseSkippedDefinition(std::string_view text) const {
  // A search per name is cheaper than the tokens of the line, as long as the names are few.
  constexpr size_t kSearchedNames = 8;
  if (skipped_.size() > kSearchedNames) return true;
  for (const auto& [name, where] : skipped_) {
    if (text.find(name) != std::string_view::npos) return true;
  }
  return false;
}

const std::string* MacroState::SkippedDefinition(const std::string& name) const {
  const auto found = skipped_.find(name);
  return found == skipped_.end() ? nullptr : &found->second;
}

void MacroState::Undefine(const std::string& name) { macros_.erase(name); }

const MacroDefinition* MacroState::Find(const std::string& name) const {
  const auto found = macros_.find(name);
  return found == macros_.end() ? nullptr : &found->second;
}

// --- The scanner ---

ArmCodeScanner::ArmCodeScanner(MacroState* macros, SourceLanguage language)
    : macros_(macros), language_(language) {}

bool ArmCodeScanner::Active() const { return branches_.empty() || branches_.back().active; }

bool ArmCodeScanner::Active(size_t depth) const {
  return depth == 0 || branches_[depth - 1].active;
}

void ArmCodeScanner::ReportSkippedOnlyMacros(const std::string& code, size_t from,
                                             int lineNumber) {
  TokenizeCode(code, from, &tokens_);
  std::string name;
  std::string_view before = previousIdentifier_;
  for (const Token& token : tokens_) {
    if (token.kind != Token::Kind::kIdentifier) {
      before = std::string_view();
      continue;
    }
    name.assign(code, token.begin, token.end - token.begin);
    const std::string* where = macros_->SkippedDefinition(name);
    if (where != nullptr && !before.empty() && !Contains(kStatementWords, before)) {
      macros_->ForgetSkippedDefinition(name);
    } else if (where != nullptr) {
      Report(lineNumber, token.begin, name,
             "macro " + name + " is defined only in a branch GCC skips (" + *where +
                 "): GCC takes it for an unknown name; define it for GCC too");
    }
    before = TokenText(code, token);
  }
}

void ArmCodeScanner::AddLine(std::string_view line) {
  ++physicalLine_;
  if (continued_.empty()) logicalStart_ = physicalLine_;
  size_t end = line.size();
  if (end > 0 && line[end - 1] == '\r') --end;
  if (language_ != SourceLanguage::kAssembler) {
    // GCC joins a line that ends with a backslash (spaces after it too) to the next.
    size_t last = end;
    while (last > 0 && (line[last - 1] == ' ' || line[last - 1] == '\t')) --last;
    if (last > 0 && line[last - 1] == '\\') {
      continued_.append(line.substr(0, last - 1));
      return;
    }
  }
  if (continued_.empty()) {
    ScanLogicalLine(line.substr(0, end), logicalStart_);
    return;
  }
  continued_.append(line.substr(0, end));
  ScanLogicalLine(continued_, logicalStart_);
  continued_.clear();
}

void ArmCodeScanner::Finish() {
  if (!continued_.empty()) {
    ScanLogicalLine(continued_, logicalStart_);
    continued_.clear();
  }
  asmPending_ = false;
  retargetStage_ = RetargetStage::kNone;
  std::stable_sort(findings_.begin(), findings_.end(),
                   [](const CodeFinding& a, const CodeFinding& b) {
                     return a.line != b.line ? a.line < b.line : a.column < b.column;
                   });
}

std::vector<IncludeDirective> ArmCodeScanner::TakeIncludes() {
  std::vector<IncludeDirective> taken;
  taken.swap(includes_);
  return taken;
}

void ArmCodeScanner::UndoOwnMacros() {
  for (const auto& [name, before] : ownMacros_) {
    if (before)
      macros_->Define(name, before->body, before->functionLike);
    else
      macros_->Undefine(name);
  }
  ownMacros_.clear();
}

void ArmCodeScanner::RememberOwnMacro(const std::string& name) {
  if (ownMacros_.count(name) != 0) return;
  const MacroDefinition* before = macros_->Find(name);
  ownMacros_[name] = before ? std::optional<MacroDefinition>(*before) : std::nullopt;
}

void ArmCodeScanner::Report(int line, size_t column, std::string_view name, std::string text) {
  findings_.push_back({line, column, std::string(name), std::move(text), std::string(name)});
}

void ArmCodeScanner::ScanLogicalLine(std::string_view line, int lineNumber) {
  // Most lines hold nothing to report and nothing waits on them: they only pass their last
  // identifier on to the next line.
  const auto passesItsLastIdentifierOnly = [this](std::string_view text) {
    return !asmPending_ && retargetStage_ == RetargetStage::kNone && !MayHoldFinding(text) &&
           !(macros_->HasSkippedDefinitions() && macros_->MayUseSkippedDefinition(text));
  };
  // And most lines of C hold no comment and no literal: such a line is its own text and code,
  // and is looked at where it is.
  if (!inBlockComment_ && !IsAssembler(language_) &&
      FindAnyOf<'/', '"', '\'', '@'>(line, 0) == line.size()) {
    size_t first = 0;
    while (first < line.size() && (line[first] == ' ' || line[first] == '\t' ||
                                   line[first] == '\f' || line[first] == '\v')) {
      ++first;
    }
    if (first == line.size()) return;
    if (line[first] != '#') {
      if (!Active()) return;
      if (passesItsLastIdentifierOnly(line)) {
        KeepLastIdentifier(line, first);
        return;
      }
    }
  }
  // The buffers of the scanner keep their room from line to line.
  std::string& text = text_;
  std::string& code = code_;
  CleanLine(line, language_, &inBlockComment_, &text, &code);
  const size_t first = code.find_first_not_of(" \t\f\v");
  if (first == std::string::npos) return;
  if (code[first] == '#' && language_ != SourceLanguage::kAssembler) {
    previousIdentifier_.clear();
    previousPunctuator_ = '\0';
    HandleDirective(text, code, first + 1, lineNumber);
    return;
  }
  if (!Active()) return;
  if (macros_->HasSkippedDefinitions() && macros_->MayUseSkippedDefinition(code)) {
    ReportSkippedOnlyMacros(code, first, lineNumber);
  }
  if (passesItsLastIdentifierOnly(text)) {
    KeepLastIdentifier(code, first);
    return;
  }
  ScanCode(text, code, first, lineNumber, false);
}

void ArmCodeScanner::KeepLastIdentifier(std::string_view code, size_t from) {
  size_t end = code.size();
  while (end > from && IsSpace(code[end - 1])) --end;
  if (end == from || !IsIdentifierChar(code[end - 1])) {
    previousIdentifier_.clear();
    const char last = end == from ? '\0' : code[end - 1];
    previousPunctuator_ = (last == '"' || last == '\'') ? '\0' : last;
    return;
  }
  previousPunctuator_ = '\0';
  // Back to where the last token may begin: a number such as 1.5e+3f runs through ".", "'" and an
  // exponent's sign, and only the tokens from there tell whether the line ends with a name.
  size_t start = end;
  while (start > from) {
    const char c = code[start - 1];
    const bool sign = (c == '+' || c == '-') && start - 1 > from &&
                      std::strchr("eEpP", code[start - 2]) != nullptr;
    if (!IsIdentifierChar(c) && c != '.' && c != '\'' && !sign) break;
    --start;
  }
  TokenizeCode(code, start, &tokens_);
  const Token& last = tokens_.back();
  if (last.kind == Token::Kind::kIdentifier) {
    previousIdentifier_.assign(code, last.begin, last.end - last.begin);
  } else {
    previousIdentifier_.clear();
  }
}

void ArmCodeScanner::HandleDirective(const std::string& text, const std::string& code, size_t from,
                                     int lineNumber) {
  size_t begin = from;
  while (begin < code.size() && IsSpace(code[begin])) ++begin;
  size_t end = begin;
  while (end < code.size() && IsIdentifierChar(code[end])) ++end;
  const std::string directive = code.substr(begin, end - begin);
  const std::string rest = text.substr(end);
  auto firstName = [&]() {
    const std::vector<Token> tokens = TokenizeCode(code, end);
    if (tokens.empty() || tokens[0].kind != Token::Kind::kIdentifier) return std::string();
    return std::string(TokenText(code, tokens[0]));
  };

  if (directive == "if" || directive == "ifdef" || directive == "ifndef") {
    const bool parentActive = Active();
    bool condition = false;
    if (parentActive) {
      if (directive == "if")
        condition = EvaluateCondition(directive, rest, lineNumber, begin);
      else
        condition = (macros_->Find(firstName()) != nullptr) == (directive == "ifdef");
    }
    // Inside a skipped branch the whole chain counts as taken, so none of its branches is.
    branches_.push_back({!parentActive || condition, parentActive && condition,
                         NamesArmCompiler(rest)});
    return;
  }
  if (directive == "elif" || directive == "elifdef" || directive == "elifndef") {
    if (branches_.empty()) return;
    Branch& branch = branches_.back();
    if (branch.taken) {
      branch.active = false;
      return;
    }
    bool condition = false;
    if (directive == "elif")
      condition = EvaluateCondition(directive, rest, lineNumber, begin);
    else
      condition = (macros_->Find(firstName()) != nullptr) == (directive == "elifdef");
    branch.active = condition;
    branch.forArmCompiler = NamesArmCompiler(rest);
    branch.taken = condition;
    return;
  }
  if (directive == "else") {
    if (branches_.empty()) return;
    branches_.back().forArmCompiler = false;
    branches_.back().active = !branches_.back().taken;
    branches_.back().taken = true;
    return;
  }
  if (directive == "endif") {
    if (!branches_.empty()) branches_.pop_back();
    return;
  }
  if (!Active()) {
    if (directive == "define" && branches_.back().forArmCompiler &&
        Active(branches_.size() - 1)) {
      // Defined for ARM Compiler only; GCC's code may use it all the same.
      const std::string name = firstName();
      if (!name.empty() && !Contains(kLanguageNames, name)) {
        macros_->NoteSkippedDefinition(name, shownPath_ + ":" + std::to_string(lineNumber));
      }
    }
    return;
  }

  if (directive == "define") {
    size_t nameBegin = end;
    while (nameBegin < code.size() && IsSpace(code[nameBegin])) ++nameBegin;
    size_t nameEnd = nameBegin;
    while (nameEnd < code.size() && IsIdentifierChar(code[nameEnd])) ++nameEnd;
    if (nameEnd == nameBegin) return;
    const std::string name = code.substr(nameBegin, nameEnd - nameBegin);
    size_t bodyBegin = nameEnd;
    const bool functionLike = nameEnd < code.size() && code[nameEnd] == '(';
    if (functionLike) {
      const size_t close = code.find(')', nameEnd);
      bodyBegin = close == std::string::npos ? code.size() : close + 1;
    }
    RememberOwnMacro(name);
    macros_->Define(name, Trim(text.substr(bodyBegin)), functionLike);
    definedNames_.insert(name);
    // The body is what the macro's users compile.
    ScanCode(text, code, bodyBegin, lineNumber, true);
    return;
  }
  if (directive == "undef") {
    const std::string name = firstName();
    if (name.empty()) return;
    RememberOwnMacro(name);
    macros_->Undefine(name);
    return;
  }
  if (directive == "include") {
    const size_t open = text.find_first_not_of(" \t", end);
    if (open == std::string::npos || (text[open] != '"' && text[open] != '<')) return;
    const char closeChar = text[open] == '"' ? '"' : '>';
    const size_t close = text.find(closeChar, open + 1);
    if (close == std::string::npos || close == open + 1) return;
    includes_.push_back({lineNumber, text.substr(open + 1, close - open - 1), closeChar == '>'});
    return;
  }
  if (directive == "pragma") HandlePragma(code, end, lineNumber);
}

bool ArmCodeScanner::EvaluateCondition(const std::string& directive,
                                       const std::string& expression, int lineNumber,
                                       size_t column) {
  bool beyondBound = false;
  const bool condition = macros_->EvaluateCondition(expression, &beyondBound);
  if (beyondBound) Report(lineNumber, column, "", "#" + directive + kExpansionBoundSuffix);
  return condition;
}

void ArmCodeScanner::HandlePragma(const std::string& code, size_t from, int lineNumber) {
  const std::vector<Token> tokens = TokenizeCode(code, from);
  if (tokens.empty() || tokens[0].kind != Token::Kind::kIdentifier) return;
  const std::string_view word = TokenText(code, tokens[0]);
  const size_t column = tokens[0].begin;
  if (word == "anon_unions" || word == "no_anon_unions") {
    Report(lineNumber, column, "", kAnonUnionsText);
  } else if (word == "arm" && tokens.size() > 1 && TokenText(code, tokens[1]) == "section") {
    Report(lineNumber, column, "", kArmSectionText);
  } else if (word == "import") {
    Report(lineNumber, column, "", kImportPragmaText);
    findings_.back().port = kImportPragmaKey;
  } else {
    for (const NamedText& pragma : kOptimizePragmas) {
      if (word == pragma.name) Report(lineNumber, column, "", pragma.text);
    }
  }
}

void ArmCodeScanner::ScanCode(const std::string& text, const std::string& code, size_t from,
                              int lineNumber, bool inDefine) {
  std::vector<Token>& tokens = tokens_;
  TokenizeCode(code, from, &tokens);
  bool sawRegister = false;
  // Filled at the line's first __attribute__.
  std::vector<char> holdsAt;
  // The identifier before the current token, kept as a view while the line lasts.
  std::string_view previous = previousIdentifier_;
  // The token before the current one, for the uses of keywords and intrinsics: an identifier or a
  // punctuator, also inside a #define's body.
  std::string_view before = inDefine ? std::string_view() : std::string_view(previousIdentifier_);
  char punctuatorBefore = inDefine ? '\0' : previousPunctuator_;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const Token& token = tokens[i];
    const Token* next = i + 1 < tokens.size() ? &tokens[i + 1] : nullptr;
    if (!inDefine) {
      if (asmPending_) {
        if (IsPunctuator(code, &token, '{')) Report(asmLine_, asmColumn_, "", kInlineAsmText);
        asmPending_ = false;
      }
      if (retargetStage_ != RetargetStage::kNone) {
        const char c = code[token.begin];
        const bool structural =
            token.kind == Token::Kind::kPunctuator && (c == '(' || c == ')' || c == '{');
        AdvanceRetarget(structural ? c : '\0', lineNumber);
      }
    }
    if (token.kind == Token::Kind::kString &&
        TokenText(text, token).find(".ARM.__at_") != std::string_view::npos) {
      Report(lineNumber, token.begin, "", kAtSectionText);
    }
    if (token.kind != Token::Kind::kIdentifier) {
      if (!inDefine) previous = std::string_view();
      before = std::string_view();
      punctuatorBefore = token.kind == Token::Kind::kPunctuator ? code[token.begin] : '\0';
      continue;
    }
    const std::string_view name = TokenText(code, token);
    // Every name looked for below begins with one of a few letters; most identifiers end here.
    if ((ClassOf(name[0]) & kFindingStart) == 0) {
      if (!inDefine) previous = name;
      before = name;
      punctuatorBefore = '\0';
      continue;
    }
    const bool called = IsPunctuator(code, next, '(');
    if (name == "register") sawRegister = true;

    if (name == "__asm" || name == "__ASM") {
      if (next == nullptr) {
        if (!inDefine) {
          asmPending_ = true;
          asmLine_ = lineNumber;
          asmColumn_ = token.begin;
        }
      } else if (const char* finding = AsmFinding(text, code, tokens, i, sawRegister)) {
        Report(lineNumber, token.begin, "", finding);
      }
    } else if (name == "__attribute__" || name == "__attribute") {
      if (holdsAt.empty()) MarkAtAttributeLists(code, tokens, &holdsAt);
      if (HasAtAttribute(code, tokens, i, holdsAt)) {
        Report(lineNumber, token.begin, "", kAtAttributeText);
      }
    } else if (name == "__FILE" && previous == "struct") {
      Report(lineNumber, token.begin, name, kFileStructText);
    } else if ((name[0] == 'I' || name[0] == 'L') &&
               (StartsWith(name, "Image$$") || StartsWith(name, "Load$$"))) {
      Report(lineNumber, token.begin, name,
             kRegionSymbolPrefix + std::string(name) + kRegionSymbolSuffix);
    } else if (name[0] == '$' && (StartsWith(name, "$Sub$$") || StartsWith(name, "$Super$$"))) {
      Report(lineNumber, token.begin, name,
             kPatchSymbolPrefix + std::string(name) + kPatchSymbolSuffix);
    } else if (const NamedFinding* named = FindNamedFinding(name)) {
      if (named->keyword != nullptr || named->intrinsic != nullptr) {
        ConstructUse& use = uses_.emplace_back();
        use.line = lineNumber;
        use.name = name;
        use.previous = before.empty() && punctuatorBefore != '\0' ? std::string(1, punctuatorBefore)
                                                                   : std::string(before);
        use.called = called;
      }
      const Keyword* keyword = named->keyword;
      if (keyword != nullptr && (called || !keyword->takesArguments)) {
        Report(lineNumber, token.begin, name, keyword->text);
      }
      if (named->intrinsic != nullptr && called) {
        Report(lineNumber, token.begin, name, named->intrinsic->text);
      }
      const RetargetHook* hook = named->hook;
      if (hook != nullptr && !hook->definitionOnly) {
        Report(lineNumber, token.begin, name, hook->text);
      }
    }
    if (!inDefine && (name[0] == '_' || name[0] == 'f') && !previous.empty() &&
        Contains(kWatchedDefinitions, name) && !Contains(kStatementWords, previous)) {
      // A type name before it: a declaration or a definition, told apart by what follows the
      // parameters.
      retargetStage_ = RetargetStage::kParameters;
      retargetName_ = name;
      retargetLine_ = lineNumber;
      retargetColumn_ = token.begin;
      retargetDepth_ = 0;
    }
    if (!inDefine) previous = name;
    before = name;
    punctuatorBefore = '\0';
  }
  if (!inDefine && previous.data() != previousIdentifier_.data()) {
    previousIdentifier_.assign(previous.data(), previous.size());
  }
  if (!inDefine) previousPunctuator_ = before.empty() ? punctuatorBefore : '\0';
}

void ArmCodeScanner::AdvanceRetarget(char punctuator, int lineNumber) {
  if (retargetStage_ == RetargetStage::kNone) return;
  if (lineNumber - retargetLine_ > kRetargetLineSpan) {
    retargetStage_ = RetargetStage::kNone;
    return;
  }
  if (retargetStage_ == RetargetStage::kParameters) {
    if (punctuator == '(') {
      ++retargetDepth_;
    } else if (punctuator == ')') {
      if (--retargetDepth_ == 0) retargetStage_ = RetargetStage::kBody;
    } else if (retargetDepth_ == 0) {
      retargetStage_ = RetargetStage::kNone;  // no parameter list after the name
    }
    return;
  }
  if (punctuator == '{') {
    definedFunctions_.insert(retargetName_);
    for (const RetargetHook& hook : kRetargetHooks) {
      if (retargetName_ == hook.name && hook.definitionOnly) {
        Report(retargetLine_, retargetColumn_, retargetName_, hook.text);
      }
    }
  }
  retargetStage_ = RetargetStage::kNone;
}

std::vector<CodeFinding> SelectReportedFindings(std::vector<CodeFinding> findings,
                                                const std::set<std::string>& macroNames,
                                                const std::set<std::string>& ported) {
  std::stable_sort(findings.begin(), findings.end(),
                   [](const CodeFinding& a, const CodeFinding& b) {
                     return a.line != b.line ? a.line < b.line : a.column < b.column;
                   });
  std::vector<CodeFinding> reported;
  for (CodeFinding& finding : findings) {
    if (!finding.name.empty() && macroNames.count(finding.name) != 0) continue;
    if (!finding.port.empty() && ported.count(finding.port) != 0) continue;
    if (!reported.empty() && reported.back().line == finding.line) continue;
    reported.push_back(std::move(finding));
  }
  return reported;
}

bool IsArmSyntaxAssemblerLine(std::string_view line, bool* inBlockComment) {
  static const char* const kArmDirectives[] = {"area", "export", "import", "preserve8", "require8"};
  std::string visible;
  size_t i = 0;
  while (i < line.size()) {
    if (*inBlockComment) {
      const size_t close = line.find("*/", i);
      if (close == std::string::npos) break;
      *inBlockComment = false;
      visible += ' ';
      i = close + 2;
      continue;
    }
    if (line[i] == ';') break;
    if (line.compare(i, 2, "/*") == 0) {
      *inBlockComment = true;
      i += 2;
      continue;
    }
    visible += line[i++];
  }
  size_t begin = 0;
  while (begin < visible.size() && IsSpace(visible[begin])) ++begin;
  size_t end = begin;
  while (end < visible.size() && IsIdentifierChar(visible[end])) ++end;
  if (end == begin || (end < visible.size() && !IsSpace(visible[end]))) return false;
  std::string word = visible.substr(begin, end - begin);
  std::transform(word.begin(), word.end(), word.begin(), LowerAscii);
  return Contains(kArmDirectives, word);
}
