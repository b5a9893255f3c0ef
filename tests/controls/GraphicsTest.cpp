#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Bitmap.h"
#include "classlib/Canvas.h"
#include "classlib/Exceptions.h"
#include "classlib/GraphicsObjects.h"
#include "classlib/HandleCounter.h"
#include "classlib/Icon.h"
#include "classlib/MemoryStreams.h"
#include "tests/support/TestSupport.h"

namespace {

struct TChangeCounter {
  int Count = 0;
  void Changed(TObject*) { ++Count; }
};

TEST(GraphicsObjects, HandlesAreLazyAndRemadeOnlyWhenAttributesChange) {
  TFont font;
  TChangeCounter counter;
  font.OnChange = TNotifyEvent::Bind<&TChangeCounter::Changed>(&counter);
  EXPECT_FALSE(font.HandleAllocated());
  EXPECT_EQ(font.GetName(), "MS Sans Serif");
  EXPECT_EQ(font.GetSize(), 8);
  EXPECT_EQ(font.GetHeight(), -MulDiv(8, ScreenPixelsPerInch(), 72));
  HFONT first = font.GetHandle();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(IsLiveHandle(first));
  font.SetColor(clRed);  // colour: notification, same handle
  EXPECT_EQ(counter.Count, 1);
  EXPECT_EQ(font.GetHandle(), first);
  font.SetStyle({fsBold});
  EXPECT_EQ(counter.Count, 2);
  EXPECT_FALSE(IsLiveHandle(first));  // the old handle was destroyed after the notification
  LOGFONTA lf{};
  GetObjectA(font.GetHandle(), sizeof lf, &lf);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  font.SetStyle({fsBold});  // unchanged: no notification
  EXPECT_EQ(counter.Count, 2);

  TFont copy;
  copy.Assign(&font);
  EXPECT_EQ(copy.GetColor(), clRed);
  EXPECT_TRUE(copy.GetStyle().Contains(fsBold));
}

TEST(GraphicsObjects, FontSetFromAForeignHandleReadsItsLogFont) {
  LOGFONTA lf{};
  lf.lfHeight = -17;
  lf.lfItalic = TRUE;
  lf.lfWeight = FW_BOLD;
  strcpy(lf.lfFaceName, "Arial");
  HFONT foreign = CreateFontIndirectA(&lf);
  {
    TFont font;
    font.SetHandle(foreign);
    EXPECT_EQ(font.GetHandle(), foreign);
    EXPECT_EQ(font.GetHeight(), -17);
    EXPECT_EQ(font.GetName(), "Arial");
    EXPECT_TRUE(font.GetStyle().Contains(fsItalic));
    EXPECT_TRUE(font.GetStyle().Contains(fsBold));
    font.SetSize(20);  // now the font makes its own handle
    EXPECT_NE(font.GetHandle(), foreign);
  }
  // The borrowed handle still belongs to its maker.
  EXPECT_NE(GetObjectType(foreign), 0u);
  DeleteObject(foreign);
}

TEST(GraphicsObjects, BrushAndPenDefaults) {
  TBrush brush;
  EXPECT_EQ(brush.GetColor(), clWhite);
  EXPECT_EQ(brush.GetStyle(), bsSolid);
  brush.SetStyle(bsClear);
  EXPECT_EQ(brush.GetHandle(), GetStockObject(NULL_BRUSH));
  brush.SetColor(clBlue);  // a colour makes a clear brush solid again
  EXPECT_EQ(brush.GetStyle(), bsSolid);
  LOGBRUSH lb{};
  GetObjectA(brush.GetHandle(), sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, 0xFF0000u);
  TPen pen;
  EXPECT_EQ(pen.GetColor(), clBlack);
  EXPECT_EQ(pen.GetWidth(), 1);
  EXPECT_EQ(pen.GetMode(), pmCopy);
}

TEST(Canvas, DrawsOnAForeignDCAndGivesItsObjectsBack) {
  TDibSurface surface(40, 30);
  surface.Fill(RGB(0, 0, 0));
  HGDIOBJ originalBrush = GetCurrentObject(surface.DC(), OBJ_BRUSH);
  HGDIOBJ originalFont = GetCurrentObject(surface.DC(), OBJ_FONT);
  {
    TCanvas canvas;
    EXPECT_THROW(canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
    canvas.SetHandle(surface.DC());
    canvas.GetBrush()->SetColor(TColor(RGB(10, 20, 30)));
    canvas.FillRect(Rect(2, 3, 12, 13));
    EXPECT_EQ(surface.Color(2, 3), RGB(10, 20, 30));
    EXPECT_EQ(surface.Color(11, 12), RGB(10, 20, 30));
    EXPECT_EQ(surface.Color(12, 13), RGB(0, 0, 0));  // right and bottom excluded

    // Someone else selects a brush into the DC: the canvas selects its own again.
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(surface.DC(), red);
    canvas.Rectangle(20, 0, 30, 10);
    EXPECT_EQ(surface.Color(25, 5), RGB(10, 20, 30));
    EXPECT_EQ(surface.Color(20, 0), RGB(0, 0, 0));  // the black pen frame
    canvas.SetHandle(nullptr);
    EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_FONT), originalFont);
    DeleteObject(red);

    canvas.SetHandle(surface.DC());
    canvas.GetPen()->SetColor(TColor(RGB(0, 255, 0)));
    canvas.MoveTo(0, 20);
    canvas.LineTo(10, 20);
    EXPECT_EQ(surface.Color(5, 20), RGB(0, 255, 0));
    EXPECT_EQ(canvas.GetPenPos().x, 10);
    canvas.GetBrush()->SetColor(TColor(RGB(1, 1, 1)));
    canvas.SetPixel(39, 29, TColor(RGB(7, 8, 9)));
    EXPECT_EQ(canvas.GetPixel(39, 29), TColor(RGB(7, 8, 9)));
  }
  // Destroying the attached canvas restores the DC's objects.
  EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_BRUSH), originalBrush);
}

TEST(Canvas, TextMeasuresWithItsOwnFontAndOpaqueTextRect) {
  TDibSurface surface(100, 40);
  surface.Fill(RGB(255, 255, 255));
  TCanvas canvas;
  canvas.SetHandle(surface.DC());
  canvas.GetFont()->SetHeight(-20);
  SIZE expected{};
  {
    HFONT font = canvas.GetFont()->GetHandle();
    HGDIOBJ old = SelectObject(surface.DC(), font);
    GetTextExtentPoint32A(surface.DC(), "Wg", 2, &expected);
    SelectObject(surface.DC(), old);
  }
  EXPECT_EQ(canvas.TextWidth("Wg"), expected.cx);
  EXPECT_EQ(canvas.TextHeight("Wg"), expected.cy);
  canvas.GetBrush()->SetColor(TColor(RGB(0, 0, 200)));
  canvas.TextRect(Rect(50, 0, 60, 10), 50, 0, "");
  EXPECT_EQ(surface.Color(55, 5), RGB(0, 0, 200));  // opaque brush fills the rectangle
  canvas.GetBrush()->SetStyle(bsClear);
  canvas.TextRect(Rect(60, 0, 70, 10), 60, 0, "");
  EXPECT_EQ(surface.Color(65, 5), RGB(255, 255, 255));
  canvas.SetHandle(nullptr);
}

TEST(Bitmap, IsA32BitDibWithAnOwnCanvasAndKeepsPixelsWhenResized) {
  const int bitmaps = LiveHandleCount(THandleKind::Bitmap);
  {
    TBitmap bitmap;
    EXPECT_TRUE(bitmap.GetEmpty());
    bitmap.SetSize(8, 6);
    EXPECT_EQ(bitmap.GetPixelFormat(), pf32bit);
    EXPECT_EQ(bitmap.GetHandleType(), bmDIB);
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(bitmap.GetHandle(), sizeof ds, &ds), int(sizeof ds));
    EXPECT_EQ(ds.dsBmih.biBitCount, 32);
    bitmap.GetCanvas()->GetBrush()->SetColor(TColor(RGB(200, 100, 50)));
    bitmap.GetCanvas()->FillRect(Rect(0, 0, 8, 6));
    // ScanLine 0 is the top row: bytes B, G, R.
    auto* top = static_cast<uint8_t*>(bitmap.ScanLine(0));
    EXPECT_EQ(top[0], 50);
    EXPECT_EQ(top[2], 200);
    bitmap.SetWidth(10);
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(7, 5), TColor(RGB(200, 100, 50)));
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(9, 5), TColor(RGB(255, 255, 255)));
    EXPECT_EQ(bitmap.GetTransparentColor(), TColor(RGB(200, 100, 50)));  // bottom-left pixel
    bitmap.SetTransparentColor(clRed);
    EXPECT_EQ(bitmap.GetTransparentMode(), tmFixed);
    EXPECT_THROW(bitmap.ScanLine(6), EInvalidGraphic);
    bitmap.SetPixelFormat(pf8bit);
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(0, 0), TColor(RGB(204, 102, 51)));  // nearest cube colour
  }
  EXPECT_EQ(LiveHandleCount(THandleKind::Bitmap), bitmaps);
}

TEST(Bitmap, StreamsRoundTripAndRejectBadData) {
  TBitmap bitmap;
  bitmap.LoadFromResourceName(GetModuleHandleA(nullptr), "TESTGLYPH");
  EXPECT_EQ(bitmap.GetWidth(), 4);
  EXPECT_EQ(bitmap.GetHeight(), 3);
  EXPECT_EQ(bitmap.GetPixelFormat(), pf24bit);
  EXPECT_EQ(bitmap.GetCanvas()->GetPixel(3, 2), TColor(RGB(180, 160, 200)));
  EXPECT_THROW(bitmap.LoadFromResourceName(GetModuleHandleA(nullptr), "NOSUCHGLYPH"), EResNotFound);

  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  const int64_t size = stream.GetSize();
  EXPECT_EQ(size, 14 + 40 + 12 * 3);
  stream.SetPosition(0);
  TBitmap copy;
  copy.LoadFromStream(stream);
  EXPECT_EQ(stream.GetPosition(), size);
  EXPECT_EQ(copy.GetCanvas()->GetPixel(1, 0), TColor(RGB(60, 0, 200)));

  // Truncated stream: the declared size is more than the stream holds.
  TMemoryStream cut;
  cut.WriteBuffer(stream.GetMemory(), int32_t(size - 5));
  cut.SetPosition(0);
  try {
    copy.LoadFromStream(cut);
    FAIL();
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Bitmap image is not valid: the file declares 90 bytes, the stream holds 85");
  }
  EXPECT_EQ(copy.GetWidth(), 4);  // a failed load leaves the bitmap as it was
}

TEST(Bitmap, TransparentDrawKeepsTheTargetWhereTheKeyColourIs) {
  TBitmap glyph;
  glyph.SetSize(4, 4);
  glyph.GetCanvas()->GetBrush()->SetColor(clFuchsia);
  glyph.GetCanvas()->FillRect(Rect(0, 0, 4, 4));
  glyph.GetCanvas()->GetBrush()->SetColor(clBlue);
  glyph.GetCanvas()->FillRect(Rect(1, 1, 3, 3));
  glyph.SetTransparent(true);  // automatic key: the bottom-left pixel, fuchsia
  TDibSurface surface(10, 10);
  surface.Fill(RGB(0, 128, 0));
  TCanvas canvas;
  canvas.SetHandle(surface.DC());
  canvas.Draw(3, 3, &glyph);
  EXPECT_EQ(surface.Color(3, 3), RGB(0, 128, 0));
  EXPECT_EQ(surface.Color(4, 4), RGB(0, 0, 255));
  EXPECT_EQ(surface.Color(6, 6), RGB(0, 128, 0));
  glyph.SetTransparent(false);
  canvas.StretchDraw(Rect(0, 0, 8, 8), &glyph);
  EXPECT_EQ(surface.Color(0, 0), RGB(255, 0, 255));
  EXPECT_EQ(surface.Color(3, 3), RGB(0, 0, 255));
  canvas.SetHandle(nullptr);
}

TEST(Picture, HoldsACopyAndPicksClassesByExtension) {
  TPicture picture;
  TChangeCounter counter;
  picture.OnChange = TNotifyEvent::Bind<&TChangeCounter::Changed>(&counter);
  TBitmap bitmap;
  bitmap.SetSize(3, 2);
  picture.Assign(&bitmap);
  ASSERT_NE(picture.GetGraphic(), nullptr);
  EXPECT_NE(picture.GetGraphic(), &bitmap);
  EXPECT_EQ(picture.GetWidth(), 3);
  EXPECT_GE(counter.Count, 1);
  picture.GetIcon();  // asking for another type replaces the graphic
  EXPECT_TRUE(picture.GetGraphic()->Is<TIcon>());
  picture.Assign(nullptr);
  EXPECT_EQ(picture.GetGraphic(), nullptr);
  EXPECT_THROW(picture.LoadFromFile("C:\\nowhere\\image.xyz"), EInvalidGraphic);
  EXPECT_EQ(GraphicFilter(TGraphic::StaticClass()),
            "All (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico");
  EXPECT_EQ(GraphicFilter(TBitmap::StaticClass()), "Bitmaps (*.bmp)|*.bmp");
  EXPECT_EQ(GraphicExtension(TIcon::StaticClass()), "ico");
}

TEST(Icon, ReadsIcoFilesAndRefusesBrokenOnes) {
  // A 16 x 16 32-bit icon image in an .ico directory.
  std::vector<uint8_t> ico(6 + 16 + 40 + 16 * 16 * 4 + 16 * 4, 0);
  ico[2] = 1;
  ico[4] = 1;
  uint8_t* e = &ico[6];
  e[0] = 16;
  e[1] = 16;
  e[4] = 1;
  e[6] = 32;
  const uint32_t bytes = uint32_t(ico.size() - 22), offset = 22;
  memcpy(e + 8, &bytes, 4);
  memcpy(e + 12, &offset, 4);
  BITMAPINFOHEADER h{};
  h.biSize = 40;
  h.biWidth = 16;
  h.biHeight = 32;
  h.biPlanes = 1;
  h.biBitCount = 32;
  memcpy(&ico[22], &h, sizeof h);
  for (int i = 0; i < 256; ++i)
    ico[62 + i * 4 + 3] = 255;
  TMemoryStream stream;
  stream.WriteBuffer(ico.data(), int32_t(ico.size()));
  stream.SetPosition(0);
  TIcon icon;
  icon.LoadFromStream(stream);
  EXPECT_FALSE(icon.GetEmpty());
  EXPECT_EQ(icon.GetWidth(), 16);
  EXPECT_THROW(icon.SetWidth(32), EInvalidGraphic);
  TMemoryStream saved;
  icon.SaveToStream(saved);
  EXPECT_EQ(saved.GetSize(), int64_t(ico.size()));

  const uint32_t hostile = 0xFFFFFF00u;
  memcpy(&ico[6 + 12], &hostile, 4);
  TMemoryStream bad;
  bad.WriteBuffer(ico.data(), int32_t(ico.size()));
  bad.SetPosition(0);
  EXPECT_THROW(icon.LoadFromStream(bad), EInvalidGraphic);
}

}  // namespace

namespace {

// The face GDI picks for `face`, and the rightmost ink column of `text` drawn unclipped
// in it against the width DrawText measures for it.
struct TFontCheck {
  std::string Face;
  int Measured = 0;
  int InkRight = 0;
};

TFontCheck CheckFont(const char* face, int height, BYTE charset, const std::string& text) {
  TDibSurface surface(400, 60);
  surface.Fill(RGB(255, 255, 255));
  HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, charset, 0, 0, 0, 0, face);
  HGDIOBJ old = SelectObject(surface.DC(), font);
  char got[LF_FACESIZE] = "";
  GetTextFaceA(surface.DC(), LF_FACESIZE, got);
  RECT measured{0, 0, 0, 0};
  DrawTextA(surface.DC(), text.c_str(), int(text.size()), &measured, DT_CALCRECT);
  RECT at{0, 0, 400, 60};
  SetBkMode(surface.DC(), TRANSPARENT);
  DrawTextA(surface.DC(), text.c_str(), int(text.size()), &at, DT_LEFT | DT_NOCLIP);
  GdiFlush();
  SelectObject(surface.DC(), old);
  DeleteObject(font);
  TFontCheck check{got, int(measured.right), 0};
  for (int y = 0; y < surface.Height(); ++y)
    for (int x = 0; x < surface.Width(); ++x)
      if (surface.Color(x, y) != RGB(255, 255, 255))
        check.InkRight = std::max(check.InkRight, x + 1);
  return check;
}

}  // namespace

// Fault: the Wine prefix lacked Wine's own fonts. Captions showed "r" and "0 1 r"
// instead of Marlett's caption-button glyphs, and "MS Sans Serif" and Tahoma fell back
// to a font whose letters reach a column past the width it measures, so texts drawn in
// their measured rectangles lost the edge of their last letter ("Repon", "agair").
TEST(PrefixFonts, TheDialogFontsAreWinesOwnAndStayWithinTheirMeasuredWidth) {
  EXPECT_EQ(CheckFont("Marlett", -13, SYMBOL_CHARSET, "r").Face, "Marlett");
  const TFontCheck dialog = CheckFont("MS Sans Serif", -11, DEFAULT_CHARSET, "&View Report");
  EXPECT_EQ(dialog.Face, "MS Sans Serif");
  EXPECT_LE(dialog.InkRight, dialog.Measured);
  const TFontCheck message = CheckFont("Tahoma", -11, DEFAULT_CHARSET, "Shutdown server and try again");
  EXPECT_EQ(message.Face, "Tahoma");
  EXPECT_LE(message.InkRight, message.Measured);
}
