// Decisions taken here:
// - Validation counts a required position that lies beyond the end of the text as
//   unfilled, so that a value shorter than its mask never validates as complete.
// - At a ";" within the last four positions the separator reading wins over the field
//   reading, so ";;" ends a mask with two separators.
#include "editors/DxMaskEngine.h"

#include <algorithm>

#include "classlib/FormatSettings.h"
#include "classlib/Strings.h"
#include "classlib/Win.h"

namespace {

char At(std::string_view mask, int offset) { return mask[size_t(offset - 1)]; }

bool IsLeadByte(char c) { return IsDBCSLeadByte(BYTE(c)) != 0; }

// The character at `offset` is a lead or trail byte of a double-byte character.
bool IsDoubleByte(std::string_view mask, int offset) {
  for (int i = 1; i <= offset; ++i) {
    if (!IsLeadByte(At(mask, i)))
      continue;
    if (i == offset || i + 1 == offset)
      return true;
    ++i;
  }
  return false;
}

// Escaped by a "\" that is not itself escaped by a "\" before it.
bool IsEscaped(std::string_view mask, int offset) {
  if (offset < 2 || At(mask, offset - 1) != '\\')
    return false;
  return offset < 3 || At(mask, offset - 2) != '\\';
}

bool IsSeparatorAt(std::string_view mask, int offset) {
  const int length = int(mask.size());
  return length >= 4 && offset >= length - 3 && offset <= length && At(mask, offset) == MaskFieldSeparator &&
         !IsEscaped(mask, offset);
}

bool IsEditablePosition(TMaskCharType type) { return type == mcMask || type == mcMaskOpt; }

bool CountsAsText(TMaskCharType type) {
  return type != mcDirective && type != mcFieldSeparator && type != mcField && type != mcNone;
}

}  // namespace

TMaskCharType MaskGetCharType(std::string_view mask, int maskOffset) {
  if (maskOffset < 1 || maskOffset > int(mask.size()))
    return mcNone;
  if (IsSeparatorAt(mask, maskOffset))
    return mcFieldSeparator;
  if (maskOffset > 1 && IsSeparatorAt(mask, maskOffset - 1))
    return mcField;
  if (IsDoubleByte(mask, maskOffset) || IsEscaped(mask, maskOffset))
    return mcLiteral;
  switch (At(mask, maskOffset)) {
    case '!':
    case '<':
    case '>':
    case '\\': return mcDirective;
    case '/':
    case ':': return mcIntlLiteral;
    case '0':
    case 'A':
    case 'C':
    case 'L': return mcMask;
    case '#':
    case '9':
    case 'a':
    case 'c':
    case 'l': return mcMaskOpt;
    default: return mcLiteral;
  }
}

TMaskDirectives MaskGetCurrentDirectives(std::string_view mask, int maskOffset) {
  TMaskDirectives result;
  for (int i = 1; i <= int(mask.size()); ++i)
    if (At(mask, i) == '!' && MaskGetCharType(mask, i) == mcDirective)
      result.Include(mdReverseDir);
  for (int i = 1; i < maskOffset && i <= int(mask.size()); ++i) {
    if (MaskGetCharType(mask, i) != mcDirective)
      continue;
    const char c = At(mask, i);
    if (c == '<') {
      result.Include(mdLowerCase).Exclude(mdUpperCase);
    } else if (c == '>') {
      result.Exclude(mdLowerCase);
      const bool afterLower = i > 1 && At(mask, i - 1) == '<' && MaskGetCharType(mask, i - 1) == mcDirective;
      if (afterLower)
        result.Exclude(mdUpperCase);
      else
        result.Include(mdUpperCase);
    }
  }
  const TMaskCharType type = MaskGetCharType(mask, maskOffset);
  if (type == mcLiteral || type == mcIntlLiteral)
    result.Include(mdLiteralChar);
  return result;
}

char MaskIntlLiteralToChar(char c) {
  if (c == '/')
    return FormatSettings.DateSeparator;
  if (c == ':')
    return FormatSettings.TimeSeparator;
  return c;
}

bool MaskGetMaskSave(std::string_view mask) {
  for (int i = 1; i <= int(mask.size()); ++i)
    if (MaskGetCharType(mask, i) == mcFieldSeparator)
      return i == int(mask.size()) || At(mask, i + 1) != MaskNoSave;
  return true;
}

char MaskGetMaskBlank(std::string_view mask) {
  const int length = int(mask.size());
  if (length < 4 || MaskGetCharType(mask, length - 1) != mcFieldSeparator)
    return DefaultBlank;
  if (MaskGetCharType(mask, length - 2) == mcFieldSeparator || MaskGetCharType(mask, length - 3) == mcFieldSeparator)
    return At(mask, length);
  return DefaultBlank;
}

int MaskOffsetToOffset(std::string_view mask, int maskOffset) {
  int count = 0;
  for (int i = 1; i <= maskOffset && i <= int(mask.size()); ++i)
    if (CountsAsText(MaskGetCharType(mask, i)))
      ++count;
  return count;
}

int OffsetToMaskOffset(std::string_view mask, int offset) {
  if (offset < 1)
    return -1;
  int count = 0;
  for (int i = 1; i <= int(mask.size()); ++i) {
    if (!CountsAsText(MaskGetCharType(mask, i)))
      continue;
    if (++count == offset)
      return i;
  }
  return -1;
}

bool IsLiteralChar(std::string_view mask, int offset) {
  const int maskOffset = OffsetToMaskOffset(mask, offset);
  if (maskOffset < 0)
    return false;
  const TMaskCharType type = MaskGetCharType(mask, maskOffset);
  return type == mcLiteral || type == mcIntlLiteral;
}

std::string FormatMaskText(std::string_view mask, std::string_view value, char blank) {
  std::string result(value);
  const int length = int(mask.size());
  if (MaskGetCurrentDirectives(mask, 1).Contains(mdReverseDir)) {
    int offset = int(result.size());
    for (int i = length; i >= 1; --i) {
      const TMaskCharType type = MaskGetCharType(mask, i);
      if (type == mcLiteral || type == mcIntlLiteral) {
        const char c = type == mcIntlLiteral ? MaskIntlLiteralToChar(At(mask, i)) : At(mask, i);
        result.insert(size_t(std::max(offset, 0)), 1, c);
      } else if (IsEditablePosition(type)) {
        if (offset < 1)
          result.insert(0, 1, blank);
        else
          --offset;
      }
    }
    return result;
  }
  int offset = 1;
  for (int i = 1; i <= length; ++i) {
    const TMaskCharType type = MaskGetCharType(mask, i);
    if (type == mcLiteral || type == mcIntlLiteral) {
      const char c = type == mcIntlLiteral ? MaskIntlLiteralToChar(At(mask, i)) : At(mask, i);
      result.insert(std::min(size_t(offset - 1), result.size()), 1, c);
      ++offset;
    } else if (IsEditablePosition(type)) {
      if (int(result.size()) < offset)
        result.push_back(blank);
      ++offset;
    }
  }
  return result;
}

std::string MaskTextValue(std::string_view mask, std::string_view editText, char blank, bool keepLiterals) {
  std::string result;
  for (int k = 1; k <= int(editText.size()); ++k) {
    const char c = editText[size_t(k - 1)];
    if (IsLiteralChar(mask, k)) {
      if (keepLiterals)
        result.push_back(c);
    } else if (c != blank) {
      result.push_back(c);
    }
  }
  return result;
}

bool MaskValidate(std::string_view mask, std::string_view text, char blank, int& position) {
  int offset = 1;
  for (int i = 1; i <= int(mask.size()); ++i) {
    const TMaskCharType type = MaskGetCharType(mask, i);
    if (type == mcLiteral || type == mcIntlLiteral || type == mcMaskOpt) {
      ++offset;
    } else if (type == mcMask) {
      const bool missing = offset > int(text.size());
      const char c = missing ? blank : text[size_t(offset - 1)];
      if (missing || c == blank || (c == ' ' && At(mask, i) != 'C')) {
        position = offset - 1;
        return false;
      }
      ++offset;
    }
  }
  return true;
}

bool MaskCharAccepts(char maskChar, char c) {
  switch (maskChar) {
    case '0':
    case '9': return c >= '0' && c <= '9';
    case '#': return (c >= '0' && c <= '9') || c == ' ' || c == '+' || c == '-';
    case 'L':
    case 'l': return IsCharAlphaA(c) != 0;
    case 'A':
    case 'a': return IsCharAlphaNumericA(c) != 0;
    case 'C':
    case 'c': return true;
    default: return false;
  }
}

char MaskApplyCase(char c, TMaskDirectives directives) {
  if (!IsCharAlphaA(c))
    return c;
  if (directives.Contains(mdUpperCase))
    return AnsiUpperCase(std::string(1, c))[0];
  if (directives.Contains(mdLowerCase))
    return AnsiLowerCase(std::string(1, c))[0];
  return c;
}
