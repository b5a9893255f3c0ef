// Validates the indicator images the generator wrote: usage
//   dxgrid_check <generator> <directory with the images>
// Checks every bitmap's headers and size, that it holds only ink and the white key, has
// ink and fits a 9-pixel-wide button content when centred in a 12-pixel cell; that the
// arrows point right and the insert mark is symmetric (DxGridImages.h); and that a
// second run of the generator writes the same bytes.
#include <cstdio>
#include <string>
#include <vector>

#include "DxGridCursors.h"
#include "DxGridImages.h"
#include "DxGridScrollImages.h"

using namespace dxgrid;
using luna::ReadFile;
using luna::ReadU16;
using luna::ReadU32;

namespace {

int failures = 0;

void Fail(const std::string& what) {
  if (++failures <= 40)
    std::fprintf(stderr, "dxgrid_check: %s\n", what.c_str());
}

// Decodes one 24-bit image of width x height; an empty sheet when its headers are wrong.
Sheet Load(const std::string& dir, const char* name, int width = kWidth, int height = kHeight) {
  const std::string path = dir + "/" + name + ".bmp";
  const std::string b = ReadFile(path);
  auto bad = [&](const char* what) {
    Fail(path + ": " + what);
    return Sheet(0, 0);
  };
  const size_t stride = size_t((width * 3 + 3) & ~3);
  const size_t fileSize = 54 + stride * size_t(height);
  if (b.size() != fileSize)
    return bad("wrong file size");
  if (b[0] != 'B' || b[1] != 'M' || ReadU32(b, 2) != fileSize || ReadU32(b, 10) != 54)
    return bad("bad file header");
  if (ReadU32(b, 14) != 40 || int32_t(ReadU32(b, 18)) != width || int32_t(ReadU32(b, 22)) != height ||
      ReadU16(b, 26) != 1 || ReadU16(b, 28) != 24 || ReadU32(b, 30) != 0)
    return bad("not an uncompressed 24-bit image of its size");
  Sheet image(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const size_t at = 54 + size_t(height - 1 - y) * stride + size_t(x) * 3;
      image.at(x, y) = Rgb{uint8_t(b[at + 2]), uint8_t(b[at + 1]), uint8_t(b[at])};
    }
  return image;
}

void CheckImage(const Sheet& image, const std::string& name) {
  int ink = 0;
  for (const Rgb& p : image.pixels) {
    if (!(p == kInk) && !(p == kKey)) {
      Fail(name + ": a pixel is neither ink nor the white key");
      return;
    }
    ink += p == kInk;
  }
  if (ink < 6)
    Fail(name + ": hardly any ink");
  // Centred in a 12-pixel cell the image starts at (12 - width) / 2; the standard look's
  // content runs from 1 to 9.
  const int left = (12 - kWidth) / 2;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (image.at(x, y) == kInk && (left + x < 1 || left + x > 9))
        Fail(name + ": ink outside the button's content");
}

void CheckArrow(const Sheet& image, const std::string& name) {
  const int middle = kHeight / 2;
  for (int y = 0; y < kHeight; ++y) {
    if (InkInRow(image, y) != InkInRow(image, kHeight - 1 - y))
      Fail(name + ": not symmetric about its middle row");
    if (InkInRow(image, y) > InkInRow(image, middle))
      Fail(name + ": a row is wider than the middle one");
  }
  // Pointing right: the first column holds the arrow's back, the tip is in the middle row.
  int back = -1;
  for (int x = 0; x < kWidth && back < 0; ++x)
    if (image.at(x, middle) == kInk)
      back = x;
  for (int y = 0; y < kHeight; ++y)
    if (back < 0 || !(image.at(back, y) == kInk))
      Fail(name + ": its back is not one straight column");
}

void CheckInsert(const Sheet& image, const std::string& name) {
  const int right = kWidth - 2;  // the mark's columns are 0 .. right, centred on right / 2
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x <= right; ++x)
      if (!(image.at(x, y) == image.at(right - x, y)) || !(image.at(x, y) == image.at(x, kHeight - 1 - y)))
        Fail(name + ": not symmetric");
}

// A cursor file holds the drawing, its hot spot lies on an opaque pixel, and a scroll
// cursor is symmetric in the directions it shows.
void CheckCursor(const std::string& dir, int index) {
  const std::string name = kCursorNames[index];
  int hotX = -1, hotY = -1;
  std::string problem;
  const std::vector<std::string> rows = luna::DecodeMonoCursor(ReadFile(dir + "/" + name + ".cur"), hotX, hotY, problem);
  if (rows.empty()) {
    Fail(name + ".cur: " + problem);
    return;
  }
  if (rows != DrawCursor(index))
    Fail(name + ".cur: not the drawing");
  const int hot = IsScrollCursor(index) ? kCentre : 0;
  if (hotX != hot || hotY != hot || rows[size_t(hotY)][size_t(hotX)] == '.')
    Fail(name + ".cur: the hot spot is not on the cursor's point");
  int shown = 0;
  for (const std::string& row : rows)
    for (char c : row)
      shown += c != '.';
  if (shown < 40)
    Fail(name + ".cur: hardly anything shown");
  if (!IsScrollCursor(index))
    return;
  const Directions d = ScrollDirections(index);
  for (int y = 0; y <= 2 * kCentre; ++y)
    for (int x = 0; x <= 2 * kCentre; ++x) {
      const char c = rows[size_t(y)][size_t(x)];
      if (d.Up == d.Down && c != rows[size_t(2 * kCentre - y)][size_t(x)])
        Fail(name + ".cur: not symmetric about its middle row");
      if (d.Left == d.Right && c != rows[size_t(y)][size_t(2 * kCentre - x)])
        Fail(name + ".cur: not symmetric about its middle column");
    }
  // A head shows exactly where the cursor says: black beyond the dot in that direction.
  const bool heads[4] = {d.Up, d.Right, d.Down, d.Left};
  const int dx[4] = {0, 1, 0, -1}, dy[4] = {-1, 0, 1, 0};
  for (int i = 0; i < 4; ++i) {
    const char tip = rows[size_t(kCentre + dy[i] * 7)][size_t(kCentre + dx[i] * 7)];
    if ((tip == 'X') != heads[i])
      Fail(name + ".cur: an arrow head is missing or too many");
  }
}

// A scrolling marker's picture: its file, only face and ink, the drawing, symmetric in
// the directions it shows, with a head exactly towards each of them.
void CheckScrollPicture(const std::string& dir, int index) {
  const std::string name = kScrollNames[index];
  const Sheet image = Load(dir, kScrollNames[index], kScrollSize, kScrollSize);
  if (!image.width)
    return;
  for (const Rgb& p : image.pixels)
    if (!(p == kScrollInk) && !(p == kScrollFace)) {
      Fail(name + ".bmp: a pixel is neither ink nor face");
      return;
    }
  if (image.pixels != DrawScrollPicture(index).pixels)
    Fail(name + ".bmp: not the drawing");
  const int last = kScrollSize - 1, m = kScrollSize / 2 - 1;
  for (int y = 0; y < kScrollSize; ++y)
    for (int x = 0; x < kScrollSize; ++x)
      if (!(image.at(x, y) == image.at(last - x, y)) || !(image.at(x, y) == image.at(x, last - y)))
        Fail(name + ".bmp: not symmetric");
  const bool horizontal = ScrollShowsHorizontal(index), vertical = ScrollShowsVertical(index);
  const int tip = m - kHeadTip + 1;
  if ((image.at(m, tip) == kScrollInk) != vertical || (image.at(tip, m) == kScrollInk) != horizontal)
    Fail(name + ".bmp: an arrow head is missing or too many");
  if (!(image.at(m, m) == kScrollInk))
    Fail(name + ".bmp: no dot in the middle");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: dxgrid_check <generator> <directory>\n");
    return 2;
  }
  const std::string generator = argv[1], dir = argv[2];
  std::vector<std::string> files = {"treelist-contact-sheet.png"};
  for (int i = 0; i < kCount; ++i) {
    files.push_back(std::string(kNames[i]) + ".bmp");
    const Sheet image = Load(dir, kNames[i]);
    if (!image.width)
      continue;
    CheckImage(image, kNames[i]);
    if (i == kArrow || i == kMultiArrow)
      CheckArrow(image, kNames[i]);
    if (i == kInsert)
      CheckInsert(image, kNames[i]);
  }
  for (int i = 0; i < kCursorCount; ++i) {
    files.push_back(std::string(kCursorNames[i]) + ".cur");
    CheckCursor(dir, i);
  }
  for (int i = 0; i < kScrollCount; ++i) {
    files.push_back(std::string(kScrollNames[i]) + ".bmp");
    CheckScrollPicture(dir, i);
  }
  if (ReadFile(dir + "/treelist-contact-sheet.png").substr(1, 3) != "PNG")
    Fail("treelist-contact-sheet.png is missing");
  for (const std::string& problem : luna::SecondRunDifferences(generator, dir, dir + "/dxgrid-again", files))
    Fail(problem);
  if (failures) {
    std::fprintf(stderr, "dxgrid_check: %d problem(s)\n", failures);
    return 1;
  }
  std::printf("dxgrid_check: the indicator images, cursors and scrolling pictures pass\n");
  return 0;
}
