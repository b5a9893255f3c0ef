#include "tests/treelist/PublishedEvents.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <utility>

#include "classlib/Win.h"
#include "tests/support/TestSupport.h"

namespace {

bool IsIdentifier(const std::string& token) {
  return !token.empty() && (std::isalpha(uint8_t(token[0])) || token[0] == '_');
}

// The text cut into identifiers (and numbers), "::" and single punctuation, without
// comments, literals and preprocessor lines.
std::vector<std::string> Tokens(const std::string& text) {
  std::vector<std::string> tokens;
  const size_t n = text.size();
  bool lineStart = true;
  for (size_t i = 0; i < n;) {
    const char c = text[i];
    if (c == '\n') {
      lineStart = true;
      ++i;
      continue;
    }
    if (std::isspace(uint8_t(c))) {
      ++i;
      continue;
    }
    if (lineStart && c == '#') {
      for (; i < n && text[i] != '\n'; ++i)
        i += text[i] == '\\' ? 1 : 0;
      continue;
    }
    lineStart = false;
    if (text.compare(i, 2, "//") == 0) {
      i = std::min(text.find('\n', i), n);
      continue;
    }
    if (text.compare(i, 2, "/*") == 0) {
      const size_t end = text.find("*/", i + 2);
      i = end == std::string::npos ? n : end + 2;
      continue;
    }
    if (c == '"' || c == '\'') {
      for (++i; i < n && text[i] != c; ++i)
        i += text[i] == '\\' ? 1 : 0;
      ++i;
      tokens.emplace_back("\"\"");
      continue;
    }
    if (std::isalnum(uint8_t(c)) || c == '_') {
      const size_t start = i;
      while (i < n && (std::isalnum(uint8_t(text[i])) || text[i] == '_'))
        ++i;
      tokens.push_back(text.substr(start, i - start));
      continue;
    }
    if (text.compare(i, 2, "::") == 0) {
      tokens.emplace_back("::");
      i += 2;
      continue;
    }
    tokens.emplace_back(1, c);
    ++i;
  }
  return tokens;
}

// The event a member declaration declares: its last name, On and a capital, after a
// type of the libraries' naming (T...), without parameters; or the event a setter
// (SetOn...) sets; "" for anything else.
std::string DeclaredEvent(std::vector<std::string> statement) {
  // A class macro (KIVO_CLASS(...)) before the declaration belongs to neither.
  if (statement.size() > 1 && IsIdentifier(statement[0]) && statement[1] == "(" &&
      std::all_of(statement[0].begin(), statement[0].end(), [](char c) { return std::isupper(uint8_t(c)) || c == '_'; })) {
    const auto close = std::find(statement.begin(), statement.end(), ")");
    statement.erase(statement.begin(), close == statement.end() ? close : close + 1);
  }
  // A published event kept in a field of its own: its setter (SetOnTimer) names it.
  const auto open = std::find(statement.begin(), statement.end(), "(");
  if (open != statement.begin() && open != statement.end()) {
    const std::string& setter = *(open - 1);
    if (setter.size() > 5 && setter.compare(0, 5, "SetOn") == 0 && std::isupper(uint8_t(setter[5])))
      return setter.substr(3);
  }
  statement.erase(std::find(statement.begin(), statement.end(), "="), statement.end());
  if (statement.size() < 2 || std::find(statement.begin(), statement.end(), "(") != statement.end())
    return "";
  for (const char* word : {"using", "friend", "typedef", "static"})
    if (statement.front() == word)
      return "";
  const std::string& name = statement.back();
  if (name.size() < 3 || name.compare(0, 2, "On") != 0 || !std::isupper(uint8_t(name[2])))
    return "";
  const bool classType = std::any_of(statement.begin(), statement.end() - 1, [](const std::string& token) {
    return token.size() > 1 && token[0] == 'T' && std::isalpha(uint8_t(token[1]));
  });
  return classType ? name : "";
}

}  // namespace

TPublishedEvents::TPublishedEvents(const std::string& sourceDir) {
  for (const char* library : {"classlib", "skin", "xpcontrols", "containers", "editors", "treelist", "host"}) {
    const std::string folder = "Z:" + sourceDir + "/" + library + "/";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*.h").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
      continue;
    do {
      Read(FileBytes(folder + found.cFileName));
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
}

void TPublishedEvents::Read(const std::string& text) {
  const std::vector<std::string> t = Tokens(text);
  // The open braces: the class each opened, "" for any other.
  std::vector<std::string> scopes;
  std::vector<std::string> statement;
  auto memberEnds = [&] {
    if (!scopes.empty() && !scopes.back().empty()) {
      const std::string event = DeclaredEvent(statement);
      if (!event.empty())
        FClasses[scopes.back()].Events.push_back(event);
    }
    statement.clear();
  };
  for (size_t i = 0; i < t.size(); ++i) {
    const std::string& token = t[i];
    const bool head = (token == "class" || token == "struct") && (i == 0 || t[i - 1] != "enum") && i + 1 < t.size() &&
                      IsIdentifier(t[i + 1]);
    if (head) {
      size_t after = i + 2;
      after += after < t.size() && t[after] == "final" ? 1 : 0;
      if (after < t.size() && (t[after] == ":" || t[after] == "{")) {
        const std::string& name = t[i + 1];
        TDeclared declared;
        size_t k = after;
        if (t[k] == ":") {
          ++k;
          while (k < t.size() && (t[k] == "public" || t[k] == "protected" || t[k] == "private" || t[k] == "virtual"))
            ++k;
          while (k + 2 < t.size() && t[k + 1] == "::")  // the base's last name
            k += 2;
          declared.Base = k < t.size() ? t[k] : "";
          if (k + 2 < t.size() && t[k + 1] == "<" && IsIdentifier(t[k + 2]))
            declared.BaseArgument = t[k + 2];
          while (k < t.size() && t[k] != "{")
            ++k;
        }
        FClasses.try_emplace(name, declared);
        scopes.push_back(name);
        statement.clear();
        i = k;
        continue;
      }
    }
    if (token == "{") {
      memberEnds();  // an event with a brace initializer
      scopes.emplace_back();
      continue;
    }
    if (token == "}") {
      if (!scopes.empty())
        scopes.pop_back();
      statement.clear();
      continue;
    }
    if (token == ";") {
      memberEnds();
      continue;
    }
    if ((token == "public" || token == "protected" || token == "private") && i + 1 < t.size() && t[i + 1] == ":") {
      ++i;
      statement.clear();
      continue;
    }
    statement.push_back(token);
  }
}

std::vector<std::string> TPublishedEvents::Ancestry(const std::string& cls) const {
  std::vector<std::string> chain;
  std::string name = cls, argument;
  for (auto at = FClasses.find(name); at != FClasses.end(); at = FClasses.find(name)) {
    chain.push_back(name);
    const TDeclared& declared = at->second;
    if (FClasses.count(declared.Base)) {
      name = declared.Base;
      argument = declared.BaseArgument;
      continue;
    }
    // A template class standing on its argument (TKsBufferedControl<TWinControl>).
    if (argument.empty())
      break;
    name = std::exchange(argument, "");
  }
  return chain;
}

std::vector<std::string> TPublishedEvents::Events(const std::string& cls) const {
  std::vector<std::string> events;
  for (const std::string& name : Ancestry(cls))
    for (const std::string& event : FClasses.at(name).Events)
      if (std::find(events.begin(), events.end(), event) == events.end())
        events.push_back(event);
  return events;
}
