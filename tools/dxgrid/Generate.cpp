// Draws the tree list's indicator images (DxGridImages.h) and cursors (DxGridCursors.h)
// into the directory given as the first argument: DXGRID_*.bmp as 24-bit BMP files,
// DXTL*.cur as cursor files, the middle-button scrolling's pictures (DxGridScrollImages.h)
// as 24-bit BMP files and a contact sheet
// (treelist-contact-sheet.png) for people to look at, each image zoomed on a checkerboard
// and as it shows in an indicator button. The artwork is this project's own, drawn here
// pixel by pixel; the output is the same byte for byte on every run.
//
// Regenerate the committed contact sheet from the worktree root with:
//   scripts/build.sh && cp build/generated/treelist-contact-sheet.png docs/
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DxGridCursors.h"
#include "DxGridImages.h"
#include "DxGridScrollImages.h"

using namespace dxgrid;

namespace {

// One image as text: kHeight rows of kWidth characters, "K" ink, "." the key colour.
using Art = std::vector<const char*>;

const Art kArt[kCount] = {
    {
        ".K......",
        ".KK.....",
        ".KKK....",
        ".KKKK...",
        ".KKKKK..",
        ".KKKK...",
        ".KKK....",
        ".KK.....",
        ".K......",
    },
    {
        ".KK.KK..",
        "...K....",
        "...K....",
        "...K....",
        "...K....",
        "...K....",
        "...K....",
        "...K....",
        ".KK.KK..",
    },
    {
        "........",
        "...K....",
        ".K.K.K..",
        "..KKK...",
        ".KKKKK..",
        "..KKK...",
        ".K.K.K..",
        "...K....",
        "........",
    },
    {
        "........",
        "........",
        "........",
        "...KK...",
        "..KKKK..",
        "..KKKK..",
        "...KK...",
        "........",
        "........",
    },
    {
        "K.......",
        "KK......",
        "KKK.....",
        "KKKK..KK",
        "KKKKK.KK",
        "KKKK..KK",
        "KKK.....",
        "KK......",
        "K.......",
    },
};

Sheet Draw(const Art& art, const char* name) {
  Sheet image(kWidth, kHeight);
  if (art.size() != size_t(kHeight)) {
    std::fprintf(stderr, "dxgrid: %s has %zu rows\n", name, art.size());
    std::exit(1);
  }
  for (int y = 0; y < kHeight; ++y) {
    if (std::string(art[size_t(y)]).size() != size_t(kWidth)) {
      std::fprintf(stderr, "dxgrid: %s row %d is not %d wide\n", name, y, kWidth);
      std::exit(1);
    }
    for (int x = 0; x < kWidth; ++x)
      image.at(x, y) = art[size_t(y)][x] == 'K' ? kInk : kKey;
  }
  return image;
}

// Each image zoomed eight times with its key pixels as a light checkerboard, and below
// it zoomed four times on a button face of the standard look's 12 x 18 indicator cell.
std::string ContactSheet(const std::vector<Sheet>& images) {
  const int zoom = 8, small = 4, gap = 8;
  const int cellWidth = 12 * small, cellHeight = 18 * small;
  const int column = std::max(kWidth * zoom, cellWidth) + gap;
  const int cursorZoom = 2, cursorCell = 32 * cursorZoom + gap;
  const int w = std::max(kCount * column, kCursorCount * cursorCell) + gap;
  const int h = gap + kHeight * zoom + gap + cellHeight + gap + cursorCell;
  std::vector<Rgb> pixels(size_t(w) * h, Rgb{64, 64, 64});
  auto put = [&](int x, int y, Rgb p) { pixels[size_t(y) * w + x] = p; };
  const Rgb face{212, 208, 200}, light{255, 255, 255}, shadow{128, 128, 128}, dark{64, 64, 64};
  for (int i = 0; i < kCount; ++i) {
    const Sheet& image = images[size_t(i)];
    const int left = gap + i * column;
    for (int y = 0; y < kHeight * zoom; ++y)
      for (int x = 0; x < kWidth * zoom; ++x) {
        const Rgb p = image.at(x / zoom, y / zoom);
        const Rgb checker = (x / 4 + y / 4) % 2 ? Rgb{255, 255, 255} : Rgb{220, 220, 220};
        put(left + x, gap + y, p == kKey ? checker : p);
      }
    // The indicator cell: highlight left and top, shadow and dark shadow right and bottom.
    const int top = 2 * gap + kHeight * zoom;
    const int ox = (12 - kWidth) / 2, oy = (18 - kHeight) / 2;
    for (int cy = 0; cy < 18; ++cy)
      for (int cx = 0; cx < 12; ++cx) {
        Rgb p = face;
        if (cx == 11 || cy == 17)
          p = dark;
        else if (cx == 10 || cy == 16)
          p = shadow;
        else if (cx == 0 || cy == 0)
          p = light;
        const int ix = cx - ox, iy = cy - oy;
        if (ix >= 0 && iy >= 0 && ix < kWidth && iy < kHeight && image.at(ix, iy) == kInk)
          p = kInk;
        for (int y = 0; y < small; ++y)
          for (int x = 0; x < small; ++x)
            put(left + cx * small + x, top + cy * small + y, p);
      }
  }
  // The cursors zoomed twice on a checkerboard, their hot spot marked in red.
  const int cursorTop = 3 * gap + kHeight * zoom + cellHeight;
  for (int i = 0; i < kCursorCount; ++i) {
    const CursorArt art = DrawCursor(i);
    const int hot = i == kDelete || i >= kDragCopy ? 0 : kCentre;
    for (int y = 0; y < 32 * cursorZoom; ++y)
      for (int x = 0; x < 32 * cursorZoom; ++x) {
        const char c = art[size_t(y / cursorZoom)][size_t(x / cursorZoom)];
        Rgb p = (x / 4 + y / 4) % 2 ? Rgb{200, 230, 200} : Rgb{120, 150, 120};
        if (c == 'X')
          p = Rgb{0, 0, 0};
        else if (c == 'o')
          p = Rgb{255, 255, 255};
        if (x / cursorZoom == hot && y / cursorZoom == hot)
          p = Rgb{255, 0, 0};
        put(gap + i * cursorCell + x, cursorTop + y, p);
      }
  }
  return luna::EncodePng(w, h, pixels);
}

char CursorPixel(const void* art, int x, int y) {
  return (*static_cast<const CursorArt*>(art))[size_t(y)][size_t(x)];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dxgrid <output directory>\n");
    return 2;
  }
  const std::string dir = argv[1];
  std::vector<Sheet> images;
  for (int i = 0; i < kCount; ++i) {
    images.push_back(Draw(kArt[i], kNames[i]));
    luna::WriteFile(dir + "/" + kNames[i] + ".bmp", luna::EncodeBmp(images.back()));
  }
  for (int i = 0; i < kCursorCount; ++i) {
    const CursorArt art = DrawCursor(i);
    const int hot = i == kDelete || i >= kDragCopy ? 0 : kCentre;
    luna::WriteFile(dir + "/" + kCursorNames[i] + ".cur", luna::EncodeMonoCursor(hot, hot, CursorPixel, &art));
  }
  for (int i = 0; i < kScrollCount; ++i)
    luna::WriteFile(dir + "/" + kScrollNames[i] + ".bmp", luna::EncodeBmp(DrawScrollPicture(i)));
  luna::WriteFile(dir + "/treelist-contact-sheet.png", ContactSheet(images));
  return 0;
}
