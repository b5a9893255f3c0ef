#include "importer/KivoKeywords.h"

#include <array>
#include <cstring>

namespace {

using namespace KivoKeywordsDetail;

constexpr std::array<bool, 256> MakeWordText() {
  std::array<bool, 256> table{};
  for (unsigned char c : std::string_view("%()+-./[]_{}"))
    table[c] = true;
  for (int c = '0'; c <= '9'; ++c)
    table[c] = true;
  for (int c = 'A'; c <= 'Z'; ++c)
    table[c] = true;
  return table;
}
constexpr std::array<bool, 256> kWordText = MakeWordText();

}  // namespace

std::string_view KivoKeywordText(int code) {
  return code >= 1 && code <= KivoKeywordCount ? Keywords[code - 1] : std::string_view();
}

bool IsNotWordText(std::string_view text) {
  for (unsigned char c : text)
    if (!kWordText[c])
      return true;
  return false;
}

int FindKivoKeyword(std::string_view text, bool upperCase) {
  // A text of a key's size or longer is no keyword; a shorter one is copied into a
  // key-sized block, because the text may end where nothing more can be read.
  if (text.size() >= KeySize)
    return kwUnknown;
  TKey padded{};
  if (!text.empty())
    std::memcpy(padded.Chars, text.data(), text.size());
  return FindPadded(padded.Chars, text.size(), upperCase);
}
