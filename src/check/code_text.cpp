// The lexer of the check: comments and literals taken out of a line, and its tokens.
#include "check/code_text.h"

std::string Trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool StartsWith(std::string_view text, const char* prefix) {
  return text.compare(0, strlen(prefix), prefix) == 0;
}

bool IsAssembler(SourceLanguage language) {
  return language == SourceLanguage::kPreprocessedAssembler ||
         language == SourceLanguage::kAssembler;
}

// A quote that continues a number rather than opening a character literal: C++14's digit
// separator (1'000'000).
bool IsDigitSeparator(std::string_view line, size_t quote) {
  size_t start = quote;
  while (start > 0 && IsIdentifierChar(line[start - 1])) --start;
  return start < quote && IsDigit(line[start]);
}

// Fills `text` with `line` less its comments, and `code` with that less the contents of string
// and character literals too; both keep the columns of `line`, with spaces where something was
// taken out. `inBlockComment` carries an open "/*" from line to line.
void CleanLine(std::string_view line, SourceLanguage language, bool* inBlockComment,
               std::string* text, std::string* code) {
  text->assign(line.data(), line.size());
  code->assign(line.data(), line.size());
  const size_t size = line.size();
  char* const textBytes = text->data();
  char* const codeBytes = code->data();
  auto blank = [&](size_t from, size_t to) {
    std::memset(textBytes + from, ' ', to - from);
    std::memset(codeBytes + from, ' ', to - from);
  };
  const bool assembler = IsAssembler(language);
  if (language == SourceLanguage::kAssembler && !*inBlockComment) {
    // Without the preprocessor, a line that opens with "#" is a comment to the assembler.
    const size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] == '#') {
      blank(0, size);
      return;
    }
  }
  size_t i = 0;
  while (i < size) {
    if (*inBlockComment) {
      const size_t close = line.find("*/", i);
      if (close == std::string::npos) {
        blank(i, size);
        return;
      }
      blank(i, close + 2);
      i = close + 2;
      *inBlockComment = false;
      continue;
    }
    // Most of a line is neither comment nor literal.
    i = FindAnyOf<'/', '"', '\'', '@'>(line, i);
    if (i == size) break;
    const char c = line[i];
    if (c == '/' && i + 1 < size && line[i + 1] == '/') {
      blank(i, size);
      return;
    }
    if (c == '/' && i + 1 < size && line[i + 1] == '*') {
      *inBlockComment = true;
      blank(i, i + 2);
      i += 2;
      continue;
    }
    if (assembler && c == '@') {
      blank(i, size);
      return;
    }
    if (c == '"' || (c == '\'' && !assembler && !IsDigitSeparator(line, i))) {
      size_t j = i + 1;
      while (j < size && line[j] != c) j += (line[j] == '\\' && j + 1 < size) ? 2 : 1;
      const size_t end = j < size ? j : size;
      if (end > i + 1) std::memset(codeBytes + i + 1, ' ', end - i - 1);
      i = j < size ? j + 1 : size;
      continue;
    }
    ++i;
  }
}

// Fills `tokens` with the tokens of `code` from `from` on.
void TokenizeCode(std::string_view code, size_t from, std::vector<Token>* tokens) {
  tokens->clear();
  const size_t size = code.size();
  // Room for a token a byte, the most a line can hold, so that a long line's tokens are never
  // moved: only the part that they fill is ever touched.
  if (size > from) tokens->reserve(size - from);
  size_t i = from;
  while (i < size) {
    const char c = code[i];
    if (IsSpace(c)) {
      ++i;
      continue;
    }
    size_t j = i + 1;
    Token::Kind kind = Token::Kind::kPunctuator;
    if (IsIdentifierStart(c)) {
      kind = Token::Kind::kIdentifier;
      while (j < size && IsIdentifierChar(code[j])) ++j;
    } else if (IsDigit(c) || (c == '.' && j < size && IsDigit(code[j]))) {
      kind = Token::Kind::kNumber;
      while (j < size) {
        const char d = code[j];
        const char before = code[j - 1];
        const bool exponentSign = (d == '+' || d == '-') && (before == 'e' || before == 'E' ||
                                                             before == 'p' || before == 'P');
        if (!IsIdentifierChar(d) && d != '.' && d != '\'' && !exponentSign) break;
        ++j;
      }
    } else if (c == '"' || c == '\'') {
      // The contents are blanked, so the next quote of the same kind closes the literal.
      kind = c == '"' ? Token::Kind::kString : Token::Kind::kCharacter;
      const size_t close = code.find(c, j);
      j = close == std::string::npos ? size : close + 1;
    }
    // Filled in place: a token built aside and copied in costs a stall per token.
    Token& token = tokens->emplace_back();
    token.kind = kind;
    token.begin = static_cast<uint32_t>(i);
    token.end = static_cast<uint32_t>(j);
    i = j;
  }
}

std::vector<Token> TokenizeCode(const std::string& code, size_t from) {
  std::vector<Token> tokens;
  TokenizeCode(code, from, &tokens);
  return tokens;
}

std::string_view TokenText(const std::string& code, const Token& token) {
  return std::string_view(code).substr(token.begin, token.end - token.begin);
}

bool IsPunctuator(const std::string& code, const Token* token, char c) {
  return token != nullptr && token->kind == Token::Kind::kPunctuator && code[token->begin] == c;
}
