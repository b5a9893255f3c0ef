// The stand-in host's pictures of dialogs: a window captured through its own handle, the
// flat-colour check that tells an unpainted window, a dropped list composed over its
// dialog, and the PNG file read back.
#include <gtest/gtest.h>

#include <zlib.h>

#include <fstream>
#include <sstream>
#include <string>

#include "standin/host/DialogShots.h"
#include "tests/support/TestSupport.h"

namespace {

uint32_t BigEndian(const std::string& bytes, size_t at) {
  return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
         uint32_t(uint8_t(bytes[at + 2])) << 8 | uint32_t(uint8_t(bytes[at + 3]));
}

TEST(DialogShots, AWindowIsCapturedAsPaintedAndAFlatOneIsTold) {
  TTestWindow window({}, 200, 120);
  HDC dc = GetDC(window.Handle());
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT part{0, 0, 20, 10};
  FillRect(dc, &part, red);
  DeleteObject(red);
  ReleaseDC(window.Handle(), dc);
  GdiFlush();
  const standin::TShotImage shot = standin::CaptureWindow(window.Handle());
  RECT r{};
  GetWindowRect(window.Handle(), &r);
  ASSERT_EQ(shot.Width, r.right - r.left);
  ASSERT_EQ(shot.Height, r.bottom - r.top);
  EXPECT_FALSE(shot.Flat());
  POINT client{0, 0};
  ClientToScreen(window.Handle(), &client);
  const size_t at = size_t(client.y - r.top) * size_t(shot.Width) + size_t(client.x - r.left);
  EXPECT_EQ(shot.Pixels[at] & 0xFFFFFFu, 0xFF0000u);  // the red corner where it was drawn
  standin::TShotImage flat{3, 2, std::vector<uint32_t>(6, 0xFF000000u)};
  EXPECT_TRUE(flat.Flat());
  flat.Pixels[5] = 0x00000000u;  // alpha aside, still one colour
  EXPECT_TRUE(flat.Flat());
  flat.Pixels[4] = 0xFF010000u;
  EXPECT_FALSE(flat.Flat());
  EXPECT_TRUE(standin::CaptureWindow(nullptr).Pixels.empty());
  EXPECT_TRUE(standin::TShotImage{}.Flat());
}

TEST(DialogShots, AListIsComposedOverItsDialogAndThePngReadsBack) {
  const standin::TShotImage dialog{4, 3, std::vector<uint32_t>(12, 0xFF0000FFu)};  // blue
  const standin::TShotImage list{2, 3, std::vector<uint32_t>(6, 0xFF00FF00u)};     // green
  // The list hangs out of the dialog by one row below and starts at its third column.
  const standin::TShotImage both = standin::Compose(dialog, RECT{10, 10, 14, 13}, list, RECT{12, 11, 14, 14});
  ASSERT_EQ(both.Width, 4);
  ASSERT_EQ(both.Height, 4);
  EXPECT_EQ(both.Pixels[0], 0xFF0000FFu);
  EXPECT_EQ(both.Pixels[1 * 4 + 2], 0xFF00FF00u);
  EXPECT_EQ(both.Pixels[3 * 4 + 3], 0xFF00FF00u);
  EXPECT_EQ(both.Pixels[3 * 4 + 0], 0xFF808080u);  // neither window: grey

  const std::string file = EmptiedTempFolder("kivo-dialog-shots") + "both.png";
  ASSERT_TRUE(standin::WritePng(file, both));
  std::ifstream in(file, std::ios::binary);
  std::ostringstream read;
  read << in.rdbuf();
  const std::string png = read.str();
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(BigEndian(png, 16), 4u);
  EXPECT_EQ(BigEndian(png, 20), 4u);
  const size_t idat = png.find("IDAT");
  ASSERT_NE(idat, std::string::npos);
  const std::string packed = png.substr(idat + 4, BigEndian(png, idat - 4));
  std::string raw(4 * (1 + 4 * 3), '\0');
  uLongf size = uLongf(raw.size());
  ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(raw.data()), &size, reinterpret_cast<const Bytef*>(packed.data()),
                       uLong(packed.size())),
            Z_OK);
  EXPECT_EQ(size, raw.size());
  // Row 1 (filter byte, then RGB): blue, blue, green, green.
  EXPECT_EQ(raw.substr(13, 13), std::string("\0\0\0\xff\0\0\xff\0\xff\0\0\xff\0", 13));
  EXPECT_FALSE(standin::WritePng(file, standin::TShotImage{}));
}

// Fault: at 120 and 144 pixels per inch the shot of a lower row's layer list showed
// DRILL's and PADINT's list instead of SLKSCR's; cause: the row was clicked at the rows'
// pitch of 96 pixels per inch, not at the grid's drawn rows.
TEST(DialogShots, TheGridsRowsAndLayerColumnAreReadFromItsLines) {
  struct TCase {
    int RowHeight;
    int Widths[3];
  };
  const TCase cases[] = {{18, {103, 20, 125}}, {23, {129, 25, 156}}, {27, {154, 30, 188}}};
  for (const TCase& c : cases) {
    TTestWindow window({}, 400, 200);
    HDC dc = GetDC(window.Handle());
    auto fill = [&](RECT r, COLORREF colour) {
      HBRUSH brush = CreateSolidBrush(colour);
      FillRect(dc, &r, brush);
      DeleteObject(brush);
    };
    // Drawn as the grid draws: cells, the current one highlighted, its text, and a
    // silver line below and right of every cell.
    fill(RECT{0, 0, 400, 200}, RGB(255, 255, 255));
    fill(RECT{0, 0, c.Widths[0], c.RowHeight}, RGB(0x30, 0x96, 0xFA));
    fill(RECT{2, 2, 20, c.RowHeight - 2}, RGB(0, 0, 0));
    for (int y = c.RowHeight; y < 200; y += c.RowHeight + 1)
      fill(RECT{0, y, 400, y + 1}, RGB(192, 192, 192));
    for (int col = 0, x = 0; col < 3; ++col) {
      x += c.Widths[col];
      fill(RECT{x, 0, x + 1, 200}, RGB(192, 192, 192));
      x += 1;
    }
    ReleaseDC(window.Handle(), dc);
    GdiFlush();
    standin::TGridGeometry geometry;
    ASSERT_TRUE(standin::ReadGridGeometry(window.Handle(), geometry)) << c.RowHeight;
    EXPECT_EQ(geometry.RowPitch, c.RowHeight + 1);
    EXPECT_EQ(geometry.LayerColumnLeft, c.Widths[0] + 1 + c.Widths[1] + 1);
  }
  TTestWindow blank({}, 100, 100);
  standin::TGridGeometry geometry;
  EXPECT_FALSE(standin::ReadGridGeometry(blank.Handle(), geometry));
}

}  // namespace
