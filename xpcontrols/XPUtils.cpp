// GradientFillRect divides by the number of steps, which is zero for a rectangle one
// pixel wide (horizontal) or tall (vertical): such a rectangle gets the start colour.
//
// NaturalCompare is an order a sort can rely on: every text is a row of chunks (a text
// without digits is one chunk as it stands, a text with digits is cut into runs of
// digits and of other characters, blanks removed, digit runs to eight digits), and two
// texts compare chunk by chunk without case, the first chunks that differ deciding and
// a text that ends first coming first. Stopping at the first chunks that differ in case
// only, or comparing a text without digits with one with digits as plain text, made
// "A1" equal to "a2" and "a10" while "a2" < "a10", so a sort's result depended on the
// order of its input.
#include "xpcontrols/XPUtils.h"

#include <cmath>
#include <cstdlib>

#include "classlib/Controls.h"
#include "classlib/Strings.h"

bool IsControlEnabled(TControl* control) {
  if (!control)
    return false;
  for (TControl* c = control; c; c = c->GetParent())
    if (!c->GetEnabled())
      return false;
  return true;
}

namespace {

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool HasDigit(std::string_view s) {
  for (char c : s)
    if (IsDigitChar(c))
      return true;
  return false;
}

void RemoveBlanks(std::string& s) { std::erase(s, ' '); }

void SplitNaturalChunk(std::string& s, std::string& chunk) {
  chunk.clear();
  if (s.empty())
    return;
  const bool digits = IsDigitChar(s[0]);
  size_t length = 1;
  while (length < s.size() && IsDigitChar(s[length]) == digits)
    ++length;
  chunk = s.substr(0, length);
  s.erase(0, length);
  if (!digits)
    return;
  const std::string padded = "00000000" + chunk;
  chunk = padded.substr(padded.size() - 8);
}

namespace {

// The next chunk of `s` from `pos` on, blanks skipped, as SplitNaturalChunk cuts it from
// the text without blanks; false at the end. The chunk's buffer is reused, so that a
// comparison of short runs allocates nothing.
bool NextNaturalChunk(std::string_view s, size_t& pos, std::string& chunk) {
  chunk.clear();
  while (pos < s.size() && s[pos] == ' ')
    ++pos;
  if (pos >= s.size())
    return false;
  const bool digits = IsDigitChar(s[pos]);
  for (; pos < s.size(); ++pos) {
    if (s[pos] == ' ')
      continue;
    if (IsDigitChar(s[pos]) != digits)
      break;
    chunk += s[pos];
  }
  if (digits && chunk.size() < 8)
    chunk.insert(0, 8 - chunk.size(), '0');
  else if (digits)
    chunk.erase(0, chunk.size() - 8);
  return true;
}

// The chunks of one text in turn; empty at the end.
class TNaturalChunks {
 public:
  explicit TNaturalChunks(std::string_view text) : FText(text), FWhole(!HasDigit(text)) {}
  std::string_view Next() {
    if (!FWhole) {
      NextNaturalChunk(FText, FPos, FBuffer);
      return FBuffer;
    }
    // A text without digits is one chunk, blanks and all.
    const std::string_view chunk = FText.substr(FPos);
    FPos = FText.size();
    return chunk;
  }

 private:
  std::string_view FText;
  bool FWhole;
  size_t FPos = 0;
  std::string FBuffer;
};

}  // namespace

int NaturalCompare(std::string_view a, std::string_view b) {
  if (a == b)
    return 0;
  TNaturalChunks chunksA(a);
  TNaturalChunks chunksB(b);
  for (;;) {
    const std::string_view chunkA = chunksA.Next();
    const std::string_view chunkB = chunksB.Next();
    if (chunkA.empty() && chunkB.empty())
      return 0;
    const int r = CompareText(chunkA, chunkB);
    if (r != 0)
      return r < 0 ? -1 : 1;
  }
}

// ---- Gradient fill -------------------------------------------------------------------

TGradientFillProc GradientFillProc = GradientFillRect;

namespace {

using TGradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

HMODULE gMsImgLibrary = nullptr;
TGradientFillFn gGradientFill = nullptr;
int gStartCount = 0;

COLOR16 Channel16(BYTE value) { return COLOR16(value << 8); }

}  // namespace

void GradientFillRectMsImg(HDC dc, const TRect& rect, TColor startColor, bool horizontal, TColor endColor) {
  if (!gGradientFill)
    return;
  const COLORREF start = ColorToRGB(startColor);
  const COLORREF end = ColorToRGB(endColor);
  TRIVERTEX vertices[2] = {
      {rect.left, rect.top, Channel16(GetRValue(start)), Channel16(GetGValue(start)),
       Channel16(GetBValue(start)), 0},
      {rect.right, rect.bottom, Channel16(GetRValue(end)), Channel16(GetGValue(end)),
       Channel16(GetBValue(end)), 0},
  };
  GRADIENT_RECT gradient{0, 1};
  gGradientFill(dc, vertices, 2, &gradient, 1, horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

TColor GradientColorAt(int index, int count, TColor startRGB, TColor endRGB) {
  const COLORREF start = ColorToRGB(startRGB);
  const COLORREF end = ColorToRGB(endRGB);
  auto step = [&](int shift) {
    const int s = int((start >> shift) & 0xFF);
    const int e = int((end >> shift) & 0xFF);
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const double value = count == 0 ? s : s + double(e - s) * index / count;
    return (long(std::nearbyint(value)) & 0xFF) << shift;
  };
  return TColor(ColorToRGB(TColor(step(0) | step(8) | step(16))));
}

void GradientFillRect(HDC dc, const TRect& rect, TColor startColor, bool horizontal, TColor endColor) {
  if (rect.right <= rect.left || rect.bottom <= rect.top)
    return;
  if (horizontal) {
    const int n = rect.right - rect.left - 1;
    for (int i = 0; i <= n; ++i)
      SetPixel(dc, rect.left + i, rect.top, COLORREF(GradientColorAt(i, n, startColor, endColor)));
    for (int y = rect.top + 1; y < rect.bottom; ++y)
      BitBlt(dc, rect.left, y, rect.right - rect.left, 1, dc, rect.left, rect.top, SRCCOPY);
    return;
  }
  const int n = rect.bottom - rect.top - 1;
  for (int i = 0; i <= n; ++i)
    SetPixel(dc, rect.left, rect.top + i, COLORREF(GradientColorAt(i, n, startColor, endColor)));
  for (int x = rect.left + 1; x < rect.right; ++x)
    BitBlt(dc, x, rect.top, 1, rect.bottom - rect.top, dc, rect.left, rect.top, SRCCOPY);
}

void InitializeXPUtilsWith(const char* library) {
  if (gStartCount++ > 0)
    return;
  GradientFillProc = GradientFillRect;
  gMsImgLibrary = LoadLibraryA(library);
  if (!gMsImgLibrary)
    return;
  gGradientFill = reinterpret_cast<TGradientFillFn>(GetProcAddress(gMsImgLibrary, "GradientFill"));
  if (gGradientFill)
    GradientFillProc = GradientFillRectMsImg;
}

void InitializeXPUtils() { InitializeXPUtilsWith("msimg32.dll"); }

void FinalizeXPUtils() {
  if (gStartCount == 0 || --gStartCount > 0)
    return;
  gGradientFill = nullptr;
  GradientFillProc = GradientFillRect;
  if (gMsImgLibrary)
    FreeLibrary(gMsImgLibrary);
  gMsImgLibrary = nullptr;
}
