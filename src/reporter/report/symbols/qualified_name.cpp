#include "reporter/report/symbols/qualified_name.h"

namespace Reporter::Symbols {
namespace {

bool IsIdentifierChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool StartsWith(std::string_view text, std::size_t position, std::string_view prefix) {
  return text.substr(position, prefix.size()) == prefix;
}

// When an operator name begins at position, the position after its symbol; for a conversion
// operator the end of its type (the next '(' outside brackets, or the end); else position.
std::size_t SkipOperator(std::string_view name, std::size_t position) {
  constexpr std::string_view kOperator = "operator";
  if (name[position] != 'o' || !StartsWith(name, position, kOperator)) return position;
  if (position > 0 && IsIdentifierChar(name[position - 1])) return position;
  std::size_t i = position + kOperator.size();
  if (i < name.size() && IsIdentifierChar(name[i])) return position;  // "operator_x"
  if (StartsWith(name, i, "()") || StartsWith(name, i, "[]")) return i + 2;
  // Longest first, so that "operator+<char>" is "operator+" with its template arguments.
  for (std::string_view symbol :
       {"<=>", "<<=", ">>=", "->*", "<<", ">>", "<=", ">=", "==", "!=", "&&", "||", "++",
        "--",  "+=",  "-=",  "*=",  "/=", "%=", "^=", "&=", "|=", "->", "+",  "-",  "*",
        "/",   "%",   "^",   "&",   "|",  "~",  "!",  "=",  "<",  ">",  ","}) {
    if (!StartsWith(name, i, symbol)) continue;
    i += symbol.size();
    // "operator< <char>": the blank only keeps the template's bracket apart.
    return StartsWith(name, i, " <") ? i + 1 : i;
  }
  if (StartsWith(name, i, "\"\"")) {
    i += 2;
    while (i < name.size() && (name[i] == ' ' || IsIdentifierChar(name[i]))) ++i;
    return i;
  }
  if (i >= name.size() || name[i] != ' ') return position;
  ++i;
  for (std::string_view word : {"new", "delete"}) {
    if (StartsWith(name, i, word) &&
        (i + word.size() == name.size() || !IsIdentifierChar(name[i + word.size()]))) {
      i += word.size();
      if (StartsWith(name, i, "[]")) i += 2;
      return i;
    }
  }
  // A conversion operator: its type runs up to the parameter list.
  int depth = 0;
  for (; i < name.size(); ++i) {
    const char c = name[i];
    if (c == '(' && depth == 0) break;
    if (c == '<' || c == '(' || c == '[' || c == '{') ++depth;
    if ((c == '>' || c == ')' || c == ']' || c == '}') && depth > 0) --depth;
  }
  return i;
}

// Walks the name, calling visit(position) for every character outside brackets and operator
// names; stops when visit returns true. Returns the position it stopped at, or npos.
template <typename Visit>
std::size_t WalkTopLevel(std::string_view name, Visit visit) {
  int depth = 0;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t after = SkipOperator(name, i);
    if (after != i) {
      i = after;
      continue;
    }
    const char c = name[i];
    if (c == '<' || c == '(' || c == '[' || c == '{') {
      if (depth == 0 && visit(i)) return i;
      ++depth;
    } else if (c == '>' || c == ')' || c == ']' || c == '}') {
      if (depth > 0) --depth;
    } else if (depth == 0 && visit(i)) {
      return i;
    }
    ++i;
  }
  return std::string_view::npos;
}

}  // namespace

std::vector<std::size_t> TopLevelSeparators(std::string_view name) {
  std::vector<std::size_t> separators;
  WalkTopLevel(name, [&](std::size_t i) {
    if (name[i] == ':' && i + 1 < name.size() && name[i + 1] == ':' &&
        (separators.empty() || separators.back() + 1 != i)) {
      separators.push_back(i);
    }
    return false;
  });
  return separators;
}

std::size_t TopLevelParenthesis(std::string_view name) {
  return WalkTopLevel(name, [&](std::size_t i) { return name[i] == '('; });
}

std::size_t LastTopLevelSpace(std::string_view name) {
  std::size_t last = std::string_view::npos;
  WalkTopLevel(name, [&](std::size_t i) {
    if (name[i] == ' ') last = i;
    return false;
  });
  return last;
}

std::string WithoutTemplateArguments(std::string_view name) {
  std::string result;
  int angles = 0;
  int parentheses = 0;  // a '<' or '>' between parentheses compares
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t after = SkipOperator(name, i);
    if (after != i) {
      if (angles == 0) result.append(name.substr(i, after - i));
      i = after;
      continue;
    }
    const char c = name[i++];
    if (c == '(') ++parentheses;
    if (c == ')' && parentheses > 0) --parentheses;
    if (parentheses == 0 && c == '<') {
      ++angles;
    } else if (parentheses == 0 && c == '>' && angles > 0) {
      --angles;
    } else if (angles == 0) {
      result.push_back(c);
    }
  }
  while (!result.empty() && result.back() == ' ') result.pop_back();
  return result;
}

}  // namespace Reporter::Symbols
