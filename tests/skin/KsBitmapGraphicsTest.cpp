// TKsBitmap with the class library's graphics: its font and text, pictures in and out,
// and where the bitmap makes GDI's alpha-0 output opaque again. Text pixels are
// compared with the same GDI calls made on a reference bitmap, never with a font's look.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Bitmap.h"
#include "classlib/Canvas.h"
#include "classlib/HandleCounter.h"
#include "classlib/Icon.h"
#include "classlib/MemoryStreams.h"
#include "skin/KsBitmap.h"
#include "tests/skin/SkinTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr TKsColor kMagenta = Argb(255, 255, 0, 255);

// A 32-bit class-library bitmap painted through its canvas (so its alpha is GDI's).
void PaintSample(TBitmap& bitmap) {
  bitmap.SetSize(3, 2);
  TCanvas* canvas = bitmap.GetCanvas();
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      canvas->SetPixel(x, y, static_cast<TColor>(RGB(40 * x, 100 + y, 7)));
}
TKsColor SampleColor(int x, int y) { return Argb(255, 40 * x, 100 + y, 7); }

TEST(KsColorConversion, SystemColoursResolveAndAlphaIsKept) {
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(ColorToKsColor(clBtnFace, 9), Argb(9, GetRValue(face), GetGValue(face), GetBValue(face)));
  EXPECT_EQ(ColorToKsColor(clRed, 255), Argb(255, 255, 0, 0));
  EXPECT_EQ(ColorToKsColorOpaque(Argb(7, 1, 2, 3)), static_cast<TColor>(RGB(1, 2, 3)));
  // The unit's start-up took the three system colours.
  EXPECT_EQ(KsColorBtnFace, ColorToKsColor(clBtnFace, 255));
  EXPECT_EQ(KsColorWindow, ColorToKsColor(clWindow, 255));
  EXPECT_EQ(KsColorBtnShadow, ColorToKsColor(clBtnShadow, 255));
}

TEST(KsBitmapText, SizesComeFromDrawTextWithTheFont) {
  TKsBitmap bitmap;
  EXPECT_EQ(bitmap.TextWidth("Skin", 0), 0);  // empty bitmap
  bitmap.SetSize(4, 4);
  bitmap.GetFont()->SetHeight(-17);
  EXPECT_EQ(bitmap.TextWidth("", 0), 0);
  EXPECT_EQ(bitmap.TextHeight(""), 0);
  TDibSurface reference(4, 4);
  HGDIOBJ old = SelectObject(reference.DC(), bitmap.GetFont()->GetHandle());
  RECT wide{0, 0, 0, 0}, tall{0, 0, 0, 0};
  DrawTextA(reference.DC(), "Skin text", -1, &wide, DT_SINGLELINE | DT_CALCRECT);
  DrawTextA(reference.DC(), "Skin\ntext", -1, &tall, DT_CALCRECT);
  SelectObject(reference.DC(), old);
  EXPECT_GT(wide.right, 20);
  EXPECT_EQ(bitmap.TextWidth("Skin text", DT_SINGLELINE), wide.right);
  EXPECT_EQ(bitmap.TextHeight("Skin\ntext"), tall.bottom);
}

// GDI text into a 32-bit DIB writes alpha 0 (Wine as Windows); the skin's compositing
// depends on that, so DrawText leaves it as GDI wrote it.
TEST(KsBitmapText, DrawTextInksWithAlphaZeroInTheFontColour) {
  TKsBitmap bitmap;
  Prepare(bitmap, 60, 24, KsColorWhite);
  bitmap.GetFont()->SetColor(clBlue);
  bitmap.GetFont()->SetHeight(-16);
  bitmap.DrawText("Wg", RECT{2, 2, 60, 24}, DT_SINGLELINE);
  GdiFlush();
  int inked = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 60; ++x) {
      TKsColor p = bitmap.GetPixel(x, y);
      if (p == KsColorWhite)
        continue;
      ++inked;
      EXPECT_EQ(KsAlpha(p), 0) << x << ", " << y;
    }
  EXPECT_GT(inked, 10);
  EXPECT_EQ(bitmap.GetPixel(3, 12) & 0xFF000000u, 0xFF000000u);  // untouched stays opaque
  EXPECT_EQ(GetTextColor(bitmap.GetDC()), RGB(0, 0, 0));  // colour restored
}

// Draws `text` turned into `rect` and checks it pixel for pixel against the same text
// drawn upright into a reference bitmap of the turned size.
void CheckVerticalText(bool clockwise) {
  const RECT rect{5, 3, 25, 41};  // 20 wide, 38 high
  TKsBitmap bitmap;
  Prepare(bitmap, 30, 45, kBack);
  bitmap.GetFont()->SetColor(clRed);
  bitmap.GetFont()->SetHeight(-15);
  bitmap.DrawVerticalText("Ab", rect, clockwise, DT_SINGLELINE);

  TKsBitmap upright;
  Prepare(upright, 38, 20, kMagenta);
  upright.SetFont(bitmap.GetFont());
  upright.DrawText("Ab", RECT{0, 0, 38, 20}, DT_SINGLELINE);
  GdiFlush();
  std::vector<TKsColor> expected(30 * 45, kBack);
  int inked = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 38; ++x) {
      if ((upright.GetPixel(x, y) & 0x00FFFFFFu) == 0x00FF00FFu)
        continue;
      ++inked;
      int tx = clockwise ? rect.right - y : rect.left + y;
      int ty = clockwise ? rect.top + x : rect.bottom - x;
      if (tx < 30 && ty < 45)
        expected[ty * 30 + tx] = Argb(255, 255, 0, 0);  // opaque font colour
    }
  EXPECT_GT(inked, 10);
  ExpectPixels(bitmap, [&](int x, int y) { return expected[y * 30 + x]; });
}

TEST(KsBitmapText, VerticalTextTurnsClockwiseAndBackOpaque) {
  CheckVerticalText(true);
  CheckVerticalText(false);
}

TEST(KsBitmapPicture, AssignFromABitmapIsMadeOpaque) {
  TBitmap source;
  PaintSample(source);
  // The canvas wrote with GDI: alpha 0 in the source's own pixels.
  EXPECT_EQ(static_cast<const uint32_t*>(source.ScanLine(0))[1] >> 24, 0u);
  TKsBitmap bitmap;
  bitmap.Assign(&source);
  ASSERT_EQ(bitmap.GetWidth(), 3);
  ASSERT_EQ(bitmap.GetHeight(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(bitmap.GetPixel(x, y), SampleColor(x, y)) << x << ", " << y;
}

TEST(KsBitmapPicture, AssignFromPictureAndOtherGraphics) {
  TBitmap sample;
  PaintSample(sample);
  TPicture picture;
  picture.SetGraphic(&sample);
  TKsBitmap bitmap;
  bitmap.Assign(&picture);
  EXPECT_EQ(bitmap.GetPixel(2, 1), SampleColor(2, 1));

  TIcon icon;
  icon.SetHandle(CopyIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION))));
  bitmap.Assign(&icon);
  EXPECT_EQ(bitmap.GetWidth(), icon.GetWidth());
  EXPECT_EQ(bitmap.GetHeight(), icon.GetHeight());
  int transparent = 0;
  for (int y = 0; y < bitmap.GetHeight(); ++y)
    for (int x = 0; x < bitmap.GetWidth(); ++x)
      transparent += KsAlpha(bitmap.GetPixel(x, y)) != 255;
  EXPECT_EQ(transparent, 0);

  TPicture empty;
  EXPECT_THROW(bitmap.Assign(&empty), EConvertError);
}

TEST(KsBitmapPicture, LoadFromStreamReadsABmpFile) {
  TBitmap sample;
  PaintSample(sample);
  sample.SetPixelFormat(pf24bit);
  TMemoryStream stream;
  sample.SaveToStream(stream);
  stream.SetPosition(0);
  TKsBitmap bitmap;
  bitmap.LoadFromStream(stream);
  ASSERT_EQ(bitmap.GetWidth(), 3);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(bitmap.GetPixel(x, y), SampleColor(x, y)) << x << ", " << y;

  TMemoryStream garbage;
  garbage.WriteBuffer("BMnonsense", 10);
  garbage.SetPosition(0);
  EXPECT_THROW(bitmap.LoadFromStream(garbage), EInvalidGraphic);
}

TEST(KsBitmapPicture, AssignToBitmapAndPictureGives24BitCopies) {
  TKsBitmap bitmap;
  bitmap.SetSize(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      bitmap.SetPixel(x, y, Argb(x * 50, 10 * x, 20 * y, 30));
  TBitmap dest;
  dest.Assign(&bitmap);
  EXPECT_EQ(dest.GetPixelFormat(), pf24bit);
  EXPECT_EQ(dest.GetHandleType(), bmDIB);
  ASSERT_EQ(dest.GetWidth(), 3);
  ASSERT_EQ(dest.GetHeight(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(dest.GetCanvas()->GetPixel(x, y), static_cast<TColor>(RGB(10 * x, 20 * y, 30)));

  TPicture picture;
  picture.Assign(&bitmap);
  auto* held = ObjectAs<TBitmap>(picture.GetGraphic());
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held->GetCanvas()->GetPixel(2, 1), static_cast<TColor>(RGB(20, 20, 30)));

  TFont font;
  EXPECT_THROW(font.Assign(&bitmap), EConvertError);
}

TEST(KsBitmapHandles, EveryHandleMadeIsFreedAndAdoptedOnesAreLeft) {
  int before = LiveGdiHandleCount();
  int mismatches = HandleMismatchCount();
  TKsBitmap owner;
  owner.SetSize(8, 8);
  EXPECT_EQ(LiveGdiHandleCount(), before + 2);  // the DIB and its DC
  {
    TKsBitmap bitmap;
    bitmap.SetSize(10, 10);
    bitmap.SetSize(20, 12);
    bitmap.LineTo(5, 5, KsColorRed);
    bitmap.FillRoundRect(RECT{0, 0, 9, 9}, 3, KsColorNavy);
    bitmap.DrawText("x", RECT{0, 0, 20, 12}, 0);
    bitmap.DrawVerticalText("x", RECT{0, 0, 12, 20}, true, 0);
    TKsBufferDesc desc;
    owner.SaveBufferDesc(desc);
    bitmap.AdoptBuffer(desc);
    // A buffer made after adopting one is still this bitmap's to free.
    bitmap.SetSize(3, 3);
  }
  EXPECT_EQ(GetObjectType(owner.GetDC()), static_cast<DWORD>(OBJ_MEMDC));
  owner.FreeHandles();
  EXPECT_EQ(LiveGdiHandleCount(), before);
  EXPECT_EQ(HandleMismatchCount(), mismatches);
}

}  // namespace
