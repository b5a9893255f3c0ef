// What the picture editors take from the class library: the picture clipboard format
// and pictures read back from the clipboard, the picture file dialogs (through the
// file dialogs' replaceable modal run), the speed button, images on menu items and the
// checks of icon images.
#include <cstring>
#include <string>
#include <vector>

#include "classlib/Bitmap.h"
#include "classlib/Buttons.h"
#include "classlib/Clipboard.h"
#include "classlib/ExtDlgs.h"
#include "classlib/HandleCounter.h"
#include "classlib/ImageList.h"
#include "classlib/Menus.h"
#include "classlib/MemoryStreams.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

// A bitmap of `width` x `height` filled with `color`, with a `square`-coloured block
// from (left, top) to (right, bottom).
void PaintBitmap(TBitmap& bitmap, int width, int height, TColor color, TColor square, const TRect& block) {
  bitmap.SetSize(width, height);
  TCanvas* canvas = bitmap.GetCanvas();
  canvas->GetBrush()->SetColor(color);
  canvas->FillRect(Rect(0, 0, width, height));
  canvas->GetBrush()->SetColor(square);
  canvas->FillRect(block);
}

void ReadIcon(TIcon& icon, const std::vector<uint8_t>& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), int32_t(bytes.size()));
  stream.SetPosition(0);
  icon.LoadFromStream(stream);
}

// ---- Clipboard ----------------------------------------------------------------------

TEST(PictureClipboard, TheFormatStandsForAnyBitmapAndReadsBackPixelForPixel) {
  const UINT format = CF_PICTURE();
  EXPECT_GE(format, 0xC000u) << "a registered format";
  EXPECT_EQ(CF_PICTURE(), format);
  Clipboard()->SetAsText("only words");
  EXPECT_FALSE(Clipboard()->HasFormat(format));
  TPicture picture;
  EXPECT_THROW(picture.Assign(Clipboard()), EInvalidGraphic);

  TBitmap bitmap;
  PaintBitmap(bitmap, 6, 4, TColor(RGB(10, 200, 30)), TColor(RGB(250, 5, 60)), Rect(2, 1, 4, 3));
  Clipboard()->Assign(&bitmap);
  EXPECT_TRUE(Clipboard()->HasFormat(format));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  picture.Assign(Clipboard());
  ASSERT_TRUE(picture.GetGraphic() && picture.GetGraphic()->Is<TBitmap>());
  TBitmap direct;
  direct.Assign(Clipboard());
  for (TBitmap* read : {picture.GetBitmap(), &direct}) {
    ASSERT_EQ(read->GetWidth(), 6);
    ASSERT_EQ(read->GetHeight(), 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x)
        EXPECT_EQ(read->GetCanvas()->GetPixel(x, y), bitmap.GetCanvas()->GetPixel(x, y)) << x << "," << y;
  }
}

TEST(PictureClipboard, AnIconIsCopiedAsABitmapAndStaysAnIcon) {
  // Regression: copying a picture that held an icon emptied the picture; cause: the
  // copy took the picture's bitmap, which replaces any other graphic.
  TPicture picture;
  TIcon icon;
  ReadIcon(icon, IconFileBytes(16, 16, [](int, int) { return RGB(0, 0, 200); }));
  picture.SetIcon(&icon);
  Clipboard()->Assign(&picture);
  ASSERT_TRUE(picture.GetGraphic()->Is<TIcon>());
  EXPECT_FALSE(picture.GetGraphic()->GetEmpty());
  TBitmap pasted;
  pasted.Assign(Clipboard());
  EXPECT_EQ(pasted.GetWidth(), 16);
  EXPECT_EQ(pasted.GetCanvas()->GetPixel(8, 8), TColor(RGB(0, 0, 200)));

  TPicture empty;
  EXPECT_THROW(Clipboard()->Assign(&empty), EInvalidGraphic);
}

// ---- Picture dialogs ----------------------------------------------------------------

struct TDialogRun {
  static inline TOpenFileNameFunc Func = nullptr;
  static inline std::string Filter, DefaultExt;
  static inline const char* Answer = "";
  static BOOL Replacement(TCommonDialog*, TOpenFileNameFunc func, OPENFILENAMEA& ofn) {
    Func = func;
    Filter.clear();
    for (const char* p = ofn.lpstrFilter; p && *p; p += strlen(p) + 1)
      Filter += std::string(p) + "|";
    DefaultExt = ofn.lpstrDefExt ? ofn.lpstrDefExt : "";
    lstrcpynA(ofn.lpstrFile, Answer, int(ofn.nMaxFile));
    return *Answer != '\0';
  }
};

TEST(PictureDialogs, OfferTheGraphicFormatsAndRunThroughTheModalRun) {
  CommonDialogModalRunProc = TDialogRun::Replacement;
  TDialogRun::Answer = "C:\\pictures\\a.bmp";
  TOpenPictureDialog open(nullptr);
  EXPECT_TRUE(open.Execute());
  EXPECT_EQ(TDialogRun::Func, &GetOpenFileNameA);
  EXPECT_EQ(TDialogRun::Filter, "All (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|");
  EXPECT_EQ(open.GetFileName(), "C:\\pictures\\a.bmp");

  TSavePictureDialog save(nullptr);
  save.SetFilter("Icons (*.ico)|*.ico");
  save.SetDefaultExt("ico");
  TDialogRun::Answer = "";
  EXPECT_FALSE(save.Execute());
  CommonDialogModalRunProc = CommonDialogModalRunOriginal;
  EXPECT_EQ(TDialogRun::Func, &GetSaveFileNameA);
  EXPECT_EQ(TDialogRun::Filter, "Icons (*.ico)|*.ico|");
  EXPECT_EQ(TDialogRun::DefaultExt, "ico");
}

// ---- Speed button -------------------------------------------------------------------

class SpeedButtonTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Button = new TSpeedButton(Form);
    Button->SetParent(Form);
    Button->SetBounds(10, 10, 100, 22);
    Button->SetFlat(true);
    Button->SetMargin(4);
    TBitmap glyph;  // fuchsia (its bottom-left pixel: transparent) with a blue block
    PaintBitmap(glyph, 16, 16, clFuchsia, clBlue, Rect(4, 4, 12, 12));
    Button->SetGlyph(&glyph);
    Button->OnClick = TNotifyEvent::Bind<&SpeedButtonTest::Clicked>(this);
  }
  void Clicked(TObject*) { ++Clicks; }
  // The button painted on its own into a surface of its size.
  void Paint(TDibSurface& surface) {
    surface.Fill(RGB(1, 2, 3));
    Button->Perform(WM_PAINT, reinterpret_cast<WPARAM>(surface.DC()), 0);
  }
  void Mouse(UINT msg, int x, int y) { Button->Perform(msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y)); }
  TSpeedButton* Button = nullptr;
  int Clicks = 0;
};

TEST_F(SpeedButtonTest, GlyphSitsAtTheMarginAndTheCaptionAfterIt) {
  Button->SetCaption("&Copy");
  TRect glyph, text;
  Button->CalcLayout(glyph, text);
  EXPECT_EQ(glyph, Rect(4, 3, 20, 19));
  EXPECT_EQ(text.left, 4 + 16 + 4);
  Button->SetMargin(-1);
  Button->SetCaption("");
  Button->CalcLayout(glyph, text);
  EXPECT_EQ(glyph, Rect(42, 3, 58, 19)) << "centred without a margin";
}

TEST_F(SpeedButtonTest, FlatFaceShowsAFrameOnlyUnderTheMouseAndSinksWhenPressed) {
  Form->Show();
  TDibSurface surface(100, 22);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
  Paint(surface);
  EXPECT_EQ(surface.Color(0, 0), face);
  EXPECT_EQ(surface.Color(4, 3), face) << "the glyph's transparent colour shows the face";
  EXPECT_EQ(surface.Color(8, 7), RGB(0, 0, 255));

  Button->Perform(CM_MOUSEENTER);
  Paint(surface);
  EXPECT_EQ(surface.Color(0, 0), light);
  EXPECT_EQ(surface.Color(99, 21), dark);

  Mouse(WM_LBUTTONDOWN, 5, 5);
  EXPECT_TRUE(Button->GetPressed());
  Paint(surface);
  EXPECT_EQ(surface.Color(0, 0), dark);
  EXPECT_EQ(surface.Color(99, 21), light);
  EXPECT_EQ(surface.Color(9, 8), RGB(0, 0, 255)) << "the face moves by a pixel";
  EXPECT_EQ(surface.Color(8, 7), face);
  Mouse(WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(Clicks, 1);
  EXPECT_FALSE(Button->GetPressed());

  // Released away from the button: no click.
  Mouse(WM_LBUTTONDOWN, 5, 5);
  Mouse(WM_MOUSEMOVE, 300, 5);
  EXPECT_FALSE(Button->GetPressed());
  Mouse(WM_LBUTTONUP, 300, 5);
  EXPECT_EQ(Clicks, 1);
}

TEST_F(SpeedButtonTest, DisabledGlyphIsEmbossed) {
  Button->SetEnabled(false);
  Button->Perform(CM_MOUSEENTER);
  TDibSurface surface(100, 22);
  Paint(surface);
  EXPECT_EQ(surface.Color(0, 0), GetSysColor(COLOR_BTNFACE)) << "no hot frame while disabled";
  EXPECT_EQ(surface.Color(8, 7), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(surface.Color(16, 15), GetSysColor(COLOR_BTNHIGHLIGHT));
  Mouse(WM_LBUTTONDOWN, 5, 5);
  Mouse(WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(Clicks, 0);
}

// ---- Menu images --------------------------------------------------------------------

TEST_F(FormTest, MenuItemImagesLiveOnlyWhileTheMenuIsTracked) {
  ShowForm();
  TImageList images(nullptr);
  images.SetSize(16, 16);
  TBitmap glyph;
  PaintBitmap(glyph, 16, 16, clFuchsia, clRed, Rect(2, 2, 14, 14));
  images.AddMasked(&glyph, clFuchsia);
  auto* menu = new TPopupMenu(Form);
  menu->SetImages(&images);
  auto* listed = new TMenuItem(menu);
  listed->SetCaption("&Listed");
  listed->SetImageIndex(0);
  menu->GetItems()->Add(listed);
  auto* own = new TMenuItem(menu);
  own->SetCaption("&Own");
  own->SetBitmap(&glyph);
  own->GetBitmap()->SetTransparent(true);
  menu->GetItems()->Add(own);
  auto* beyond = new TMenuItem(menu);
  beyond->SetCaption("&Beyond");
  beyond->SetImageIndex(5);  // the list has no such image
  menu->GetItems()->Add(beyond);
  EXPECT_TRUE(own->HasBitmap());
  EXPECT_FALSE(listed->HasBitmap());

  const int bitmaps = LiveHandleCount(THandleKind::Bitmap);
  PostMessageA(Form->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
  menu->Popup(650, 450);
  EXPECT_EQ(LiveHandleCount(THandleKind::Bitmap), bitmaps);
  own->SetBitmap(nullptr);
  EXPECT_FALSE(own->HasBitmap());
}

// ---- Icons and bitmaps --------------------------------------------------------------

TEST(PictureGraphics, AnIconImageMustHoldWhatItsHeaderPromises) {
  // Regression: an image header promising more rows than the entry's bytes was handed
  // to the system, which reads by the header; cause: only the entry's size was checked.
  std::vector<uint8_t> ico = IconFileBytes(16, 16, [](int, int) { return RGB(1, 2, 3); });
  const int32_t width = 64, doubledHeight = 128;
  memcpy(&ico[22 + 4], &width, 4);
  memcpy(&ico[22 + 8], &doubledHeight, 4);
  TIcon icon;
  try {
    ReadIcon(icon, ico);
    FAIL() << "the image is too short for its header";
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Icon image is not valid: an image is truncated");
  }
  std::vector<uint8_t> odd = IconFileBytes(16, 16, [](int, int) { return RGB(1, 2, 3); });
  odd[22 + 14] = 7;  // bits per pixel
  EXPECT_THROW(ReadIcon(icon, odd), EInvalidGraphic);
  EXPECT_TRUE(icon.GetEmpty());
  ReadIcon(icon, IconFileBytes(16, 16, [](int, int) { return RGB(1, 2, 3); }));
  EXPECT_TRUE(icon.GetTransparent()) << "an icon draws through its mask";
}

}  // namespace
