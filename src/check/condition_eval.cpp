// The #if and #elif conditions of the check, evaluated as GCC evaluates them.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "check/arm_code_scan.h"
#include "check/code_text.h"

namespace {

struct ExpressionToken {
  enum class Kind { kNumber, kIdentifier, kOperator };
  Kind kind;
  std::string text;
  int64_t value = 0;
};

// The integer value of a preprocessing number: decimal, hex, octal or binary, with any u/l suffix.
bool ParseInteger(const std::string& text, int64_t* value) {
  size_t i = 0;
  int base = 10;
  if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    i = 2;
  } else if (text.size() > 1 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) {
    base = 2;
    i = 2;
  } else if (text.size() > 1 && text[0] == '0') {
    base = 8;
    i = 1;
  }
  uint64_t result = 0;
  size_t digits = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\'') continue;
    int digit = -1;
    if (IsDigit(c))
      digit = c - '0';
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    if (digit < 0 || digit >= base) break;
    result = result * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    ++digits;
  }
  if (digits == 0 && base != 8) return false;
  for (; i < text.size(); ++i) {
    const char c = LowerAscii(text[i]);
    if (c != 'u' && c != 'l') return false;
  }
  *value = static_cast<int64_t>(result);
  return true;
}

// Splits an #if expression into tokens; false when a number is no integer (1.5, 1e3). A string
// or a character no operator has becomes an operator token that no rule accepts, so it can only
// stand in the arguments that a __has_include or a function-like macro passes over.
bool TokenizeExpression(const std::string& text, std::vector<ExpressionToken>* tokens) {
  static const char* const kTwoCharOperators[] = {"&&", "||", "==", "!=", "<=", ">=", "<<", ">>"};
  const size_t size = text.size();
  size_t i = 0;
  while (i < size) {
    const char c = text[i];
    if (IsSpace(c)) {
      ++i;
      continue;
    }
    if (IsIdentifierStart(c)) {
      size_t j = i + 1;
      while (j < size && IsIdentifierChar(text[j])) ++j;
      tokens->push_back({ExpressionToken::Kind::kIdentifier, text.substr(i, j - i)});
      i = j;
      continue;
    }
    if (IsDigit(c)) {
      size_t j = i + 1;
      while (j < size && (IsIdentifierChar(text[j]) || text[j] == '\'')) ++j;
      ExpressionToken token{ExpressionToken::Kind::kNumber, text.substr(i, j - i)};
      if (!ParseInteger(token.text, &token.value)) return false;
      tokens->push_back(token);
      i = j;
      continue;
    }
    if (c == '\'') {
      // A character constant of one character or a simple escape.
      size_t j = i + 1;
      int64_t value = 0;
      if (j < size && text[j] == '\\' && j + 1 < size) {
        const char e = text[j + 1];
        value = e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e == '0' ? 0 : e;
        j += 2;
      } else if (j < size) {
        value = static_cast<unsigned char>(text[j]);
        ++j;
      }
      if (j >= size || text[j] != '\'') return false;
      tokens->push_back({ExpressionToken::Kind::kNumber, text.substr(i, j + 1 - i), value});
      i = j + 1;
      continue;
    }
    if (c == '"') {
      const size_t close = text.find('"', i + 1);
      const size_t end = close == std::string::npos ? size : close + 1;
      tokens->push_back({ExpressionToken::Kind::kOperator, text.substr(i, end - i)});
      i = end;
      continue;
    }
    std::string op(1, c);
    if (i + 1 < size) {
      const std::string two = text.substr(i, 2);
      for (const char* candidate : kTwoCharOperators) {
        if (two == candidate) op = two;
      }
    }
    tokens->push_back({ExpressionToken::Kind::kOperator, op});
    i += op.size();
  }
  return true;
}

// GCC's own operators that look like function-like macros.
constexpr const char* kBuiltinTests[] = {"__has_include",       "__has_include_next",
                                         "__has_builtin",       "__has_attribute",
                                         "__has_cpp_attribute", "__has_c_attribute"};

// Parentheses nested deeper than this, or macros expanded deeper, end the evaluation as an error.
constexpr int kMaxExpressionDepth = 200;
// The macro text one #if may expand, in all: past it the scan no longer follows the condition.
// Real conditions expand a few hundred bytes; macros that each use the one before twice expand
// 2^n names, which would take the scan minutes where GCC takes them in seconds.
constexpr size_t kMaxConditionExpansion = 64 * 1024;

// What the macros of one condition may still expand, and whether they wanted more.
struct ExpansionBudget {
  size_t left = kMaxConditionExpansion;
  bool exceeded = false;
};

int BinaryPrecedence(const std::string& op) {
  if (op == "||") return 1;
  if (op == "&&") return 2;
  if (op == "|") return 3;
  if (op == "^") return 4;
  if (op == "&") return 5;
  if (op == "==" || op == "!=") return 6;
  if (op == "<" || op == ">" || op == "<=" || op == ">=") return 7;
  if (op == "<<" || op == ">>") return 8;
  if (op == "+" || op == "-") return 9;
  if (op == "*" || op == "/" || op == "%") return 10;
  return 0;
}

// Arithmetic wraps in 64 bits, as unsigned arithmetic does, and never overflows a signed type.
// `evaluated`: false for the right operand that && or || skips, where GCC lets a division by zero
// pass.
bool ApplyBinary(const std::string& op, int64_t a, int64_t b, bool evaluated, int64_t* result) {
  const uint64_t ua = static_cast<uint64_t>(a);
  const uint64_t ub = static_cast<uint64_t>(b);
  if (op == "||")
    *result = (a != 0 || b != 0) ? 1 : 0;
  else if (op == "&&")
    *result = (a != 0 && b != 0) ? 1 : 0;
  else if (op == "|")
    *result = static_cast<int64_t>(ua | ub);
  else if (op == "^")
    *result = static_cast<int64_t>(ua ^ ub);
  else if (op == "&")
    *result = static_cast<int64_t>(ua & ub);
  else if (op == "==")
    *result = a == b;
  else if (op == "!=")
    *result = a != b;
  else if (op == "<")
    *result = a < b;
  else if (op == ">")
    *result = a > b;
  else if (op == "<=")
    *result = a <= b;
  else if (op == ">=")
    *result = a >= b;
  else if (op == "<<")
    *result = (b < 0 || b >= 64) ? 0 : static_cast<int64_t>(ua << b);
  else if (op == ">>")
    *result = (b < 0 || b >= 64) ? (a < 0 ? -1 : 0) : (a >> b);
  else if (op == "+")
    *result = static_cast<int64_t>(ua + ub);
  else if (op == "-")
    *result = static_cast<int64_t>(ua - ub);
  else if (op == "*")
    *result = static_cast<int64_t>(ua * ub);
  else if (op == "/" || op == "%") {
    if (b == 0) {
      *result = 0;
      return !evaluated;  // GCC stops at a division by zero it evaluates
    }
    if (a == INT64_MIN && b == -1)
      *result = op == "/" ? a : 0;
    else
      *result = op == "/" ? a / b : a % b;
  } else {
    return false;
  }
  return true;
}

class ConditionParser {
 public:
  ConditionParser(const std::vector<ExpressionToken>& tokens, const MacroState& macros,
                  std::set<std::string>* expanding, ExpansionBudget* budget, int depth)
      : tokens_(tokens), macros_(macros), expanding_(expanding), budget_(budget), depth_(depth) {}

  // The value of the whole token list; false when it is no complete expression.
  bool Parse(int64_t* value) {
    return !tokens_.empty() && Conditional(value) && position_ == tokens_.size();
  }

 private:
  const ExpressionToken* Peek() const {
    return position_ < tokens_.size() ? &tokens_[position_] : nullptr;
  }
  bool PeekOperator(const char* op) const {
    const ExpressionToken* token = Peek();
    return token != nullptr && token->kind == ExpressionToken::Kind::kOperator && token->text == op;
  }
  bool Expect(const char* op) {
    if (!PeekOperator(op)) return false;
    ++position_;
    return true;
  }
  // Steps over a parenthesized argument list, if one follows.
  bool SkipArguments() {
    if (!PeekOperator("(")) return false;
    int depth = 0;
    while (position_ < tokens_.size()) {
      const ExpressionToken& token = tokens_[position_++];
      if (token.kind != ExpressionToken::Kind::kOperator) continue;
      if (token.text == "(") ++depth;
      if (token.text == ")" && --depth == 0) return true;
    }
    return false;
  }

  bool Conditional(int64_t* value) {
    if (++depth_ > kMaxExpressionDepth) return false;
    int64_t condition = 0;
    if (!Binary(1, &condition)) return false;
    if (Expect("?")) {
      int64_t whenTrue = 0;
      int64_t whenFalse = 0;
      const int skipTrue = condition == 0 ? 1 : 0;
      unevaluated_ += skipTrue;
      const bool first = Conditional(&whenTrue);
      unevaluated_ += 1 - 2 * skipTrue;  // now the other operand is the skipped one
      const bool second = first && Expect(":") && Conditional(&whenFalse);
      unevaluated_ -= 1 - skipTrue;
      if (!second) return false;
      condition = condition != 0 ? whenTrue : whenFalse;
    }
    --depth_;
    *value = condition;
    return true;
  }

  bool Binary(int minPrecedence, int64_t* value) {
    int64_t left = 0;
    if (!Unary(&left)) return false;
    for (;;) {
      const ExpressionToken* token = Peek();
      if (token == nullptr || token->kind != ExpressionToken::Kind::kOperator) break;
      const std::string op = token->text;
      const int precedence = BinaryPrecedence(op);
      if (precedence == 0 || precedence < minPrecedence) break;
      ++position_;
      const bool skipped = (op == "&&" && left == 0) || (op == "||" && left != 0);
      unevaluated_ += skipped ? 1 : 0;
      int64_t right = 0;
      const bool parsed = Binary(precedence + 1, &right);
      unevaluated_ -= skipped ? 1 : 0;
      if (!parsed || !ApplyBinary(op, left, right, unevaluated_ == 0, &left)) return false;
    }
    *value = left;
    return true;
  }

  bool Unary(int64_t* value) {
    if (++depth_ > kMaxExpressionDepth) return false;
    const ExpressionToken* token = Peek();
    if (token == nullptr) return false;
    bool ok = true;
    if (token->kind == ExpressionToken::Kind::kOperator &&
        (token->text == "!" || token->text == "~" || token->text == "-" || token->text == "+")) {
      const std::string op = token->text;
      ++position_;
      int64_t operand = 0;
      ok = Unary(&operand);
      if (op == "!")
        *value = operand == 0;
      else if (op == "~")
        *value = static_cast<int64_t>(~static_cast<uint64_t>(operand));
      else if (op == "-")
        *value = static_cast<int64_t>(0 - static_cast<uint64_t>(operand));
      else
        *value = operand;
    } else {
      ok = Primary(value);
    }
    --depth_;
    return ok;
  }

  bool Primary(int64_t* value) {
    const ExpressionToken token = tokens_[position_++];
    if (token.kind == ExpressionToken::Kind::kNumber) {
      *value = token.value;
      return true;
    }
    if (token.kind == ExpressionToken::Kind::kOperator) {
      return token.text == "(" && Conditional(value) && Expect(")");
    }
    if (token.text == "defined") {
      const bool parenthesized = Expect("(");
      const ExpressionToken* name = Peek();
      if (name == nullptr || name->kind != ExpressionToken::Kind::kIdentifier) return false;
      ++position_;
      *value = (macros_.Find(name->text) != nullptr || Contains(kBuiltinTests, name->text)) ? 1 : 0;
      return !parenthesized || Expect(")");
    }
    if (Contains(kBuiltinTests, token.text)) {
      *value = 0;
      return SkipArguments();
    }
    const MacroDefinition* macro = macros_.Find(token.text);
    if (macro == nullptr || expanding_->count(token.text) != 0) {
      // An unknown name is 0; one applied to arguments is an error to GCC.
      *value = 0;
      return !PeekOperator("(");
    }
    if (macro->functionLike) {
      // Without its arguments the name is not expanded and is 0.
      *value = SkipArguments() ? 1 : 0;
      return true;
    }
    *value = 1;
    // Every expansion costs at least a byte, an empty body too.
    const size_t cost = macro->body.size() + 1;
    if (cost > budget_->left) {
      budget_->exceeded = true;
      return false;
    }
    budget_->left -= cost;
    std::vector<ExpressionToken> body;
    if (!TokenizeExpression(macro->body, &body)) return true;
    expanding_->insert(token.text);
    int64_t bodyValue = 0;
    ConditionParser inner(body, macros_, expanding_, budget_, depth_);
    if (inner.Parse(&bodyValue)) *value = bodyValue;
    expanding_->erase(token.text);
    return !budget_->exceeded;
  }

  const std::vector<ExpressionToken>& tokens_;
  const MacroState& macros_;
  std::set<std::string>* expanding_;
  ExpansionBudget* budget_;
  int depth_;
  size_t position_ = 0;
  int unevaluated_ = 0;  // > 0 inside an operand GCC does not evaluate
};

}  // namespace

bool MacroState::EvaluateCondition(const std::string& expression, bool* beyondBound) const {
  std::vector<ExpressionToken> tokens;
  if (!TokenizeExpression(expression, &tokens)) return false;
  std::set<std::string> expanding;
  ExpansionBudget budget;
  int64_t value = 0;
  ConditionParser parser(tokens, *this, &expanding, &budget, 0);
  const bool parsed = parser.Parse(&value);
  if (beyondBound != nullptr) *beyondBound = budget.exceeded;
  return parsed && !budget.exceeded && value != 0;
}
