// The native XP theme against Wine's own visual-style library with its light style
// switched on (this executable runs in the build's themed prefix). The theme's parts,
// sizes and region are compared with what the same library calls give when made
// directly; the menus, whose parts the light style lacks, with the theme's own drawing
// made directly; a server dialog gets the native theme and its frame is the style's; and
// a real switch of the visual style, broadcast by the system, closes the cached handles
// (last: the switch holds for the rest of the process).
#include <functional>

#include <gtest/gtest.h>

#include "classlib/GdiHandles.h"
#include "classlib/UxTheme.h"
#include "host/DialogTheme.h"
#include "host/ServerDialog.h"
#include "host/Utilities.h"
#include "skin/KsBitmap.h"
#include "skin/KsButtons.h"
#include "skin/KsGlobalBuffer.h"
#include "skin/KsItems.h"
#include "skin/KsThemeForms.h"
#include "skin/TeThemeEngine.h"
#include "skin/TeThemeXP.h"
#include "skin/TeThemeXPImpl.h"
#include "tests/support/TestSupport.h"

#include <vsstyle.h>

namespace {

constexpr TKsColor kBack = KsColorARGB(255, 1, 2, 3);

// The system's library, bound here independently of the theme's binding.
struct TDirect {
  HMODULE Module = LoadLibraryA("uxtheme.dll");
  TOpenThemeData Open = BindEntry<TOpenThemeData>(Module, "OpenThemeData");
  TCloseThemeData Close = BindEntry<TCloseThemeData>(Module, "CloseThemeData");
  TDrawThemeBackground Draw = BindEntry<TDrawThemeBackground>(Module, "DrawThemeBackground");
  TGetThemePartSize Size = BindEntry<TGetThemePartSize>(Module, "GetThemePartSize");
  TGetThemeBackgroundRegion Region =
      BindEntry<TGetThemeBackgroundRegion>(Module, "GetThemeBackgroundRegion");
  TIsThemePartDefined Defined = BindEntry<TIsThemePartDefined>(Module, "IsThemePartDefined");
  ~TDirect() { FreeLibrary(Module); }

  // Calls `use` with a freshly opened handle of `className` (0 when it cannot be opened).
  void With(const wchar_t* className, const std::function<void(HTHEME)>& use) const {
    HTHEME theme = Open(nullptr, className);
    use(theme);
    if (theme)
      Close(theme);
  }
  void DrawPart(TKsBitmap& bitmap, const wchar_t* className, int part, int state,
                const TRect& rect) const {
    With(className, [&](HTHEME theme) {
      if (theme)
        Draw(theme, bitmap.GetDC(), part, state, &rect, nullptr);
    });
    GdiFlush();
  }
  SIZE PartSize(const wchar_t* className, int part, int state = 0) const {
    SIZE size{0, 0};
    With(className, [&](HTHEME theme) {
      if (!theme || FAILED(Size(theme, nullptr, part, state, nullptr, TS_TRUE, &size)))
        size = SIZE{0, 0};
    });
    return size;
  }
};

void Prepare(TKsBitmap& bitmap) {
  bitmap.SetSize(200, 100);
  bitmap.Fill(kBack);
}

bool SamePixels(const TKsBitmap& a, const TKsBitmap& b) {
  GdiFlush();
  for (int y = 0; y < a.GetHeight(); ++y)
    for (int x = 0; x < a.GetWidth(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y))
        return false;
  return true;
}

bool Untouched(const TKsBitmap& bitmap) {
  GdiFlush();
  for (int y = 0; y < bitmap.GetHeight(); ++y)
    for (int x = 0; x < bitmap.GetWidth(); ++x)
      if (bitmap.GetPixel(x, y) != kBack)
        return false;
  return true;
}

class XPThemeSystemTest : public ::testing::Test {
 protected:
  TDirect Direct;
  TTeThemeXP Theme;
  TKsBitmap Dest, Expected;
  void SetUp() override {
    Prepare(Dest);
    Prepare(Expected);
  }
};

}  // namespace

// The dialog suite comes first, while the style is on.
namespace {

class TThemedSample : public TServerDialog {
  KIVO_CLASS(TThemedSample, TServerDialog)
 public:
  explicit TThemedSample(TComponent* AOwner) : TServerDialog(AOwner) {
    TLoadingScope loading(this);
    SetCaption("Sample");
    SetBorderStyle(bsDialog);
    SetClientWidth(260);
    SetClientHeight(120);
    Button = new TTeThemeButton(this);
    Button->SetParent(this);
  }
  TTeThemeButton* Button;
};

bool HasButton(TTeThemeForm* frame, TKsBorderIcon icon) {
  const TRect r = frame->GetCaptionButtonRect(icon);
  return r.right > r.left && r.bottom > r.top;
}

class DialogThemeSystemTest : public testing::Test {
 protected:
  void SetUp() override { StartDialogTheme("KivoHost.exe"); }
  void TearDown() override {
    FinalizeDialogTheme();
    PumpPending();
  }
};

}  // namespace

TEST_F(DialogThemeSystemTest, ADialogGetsTheNativeThemeAndItsFrameIsTheStyles) {
  ASSERT_TRUE(IsThemingAvailable()) << "the themed prefix should have a visual style on";
  ASSERT_TRUE(IsWindowsXPOrLater());
  TThemedSample dialog(nullptr);
  TTeThemeEngine* engine = dialog.GetThemeEngine();
  ASSERT_NE(engine, nullptr);
  TTeTheme* theme = engine->GetTheme();
  EXPECT_EQ(theme->ClassType(), TTeThemeXP::StaticClass());
  EXPECT_TRUE(theme->IsAvailable());
  EXPECT_TRUE(engine->GetUseNativeXPTheme());
  EXPECT_EQ(dialog.Button->GetThemeEngine(), engine);

  TTeThemeForm* frame = dialog.GetThemeForm();
  ASSERT_TRUE(frame->IsThemed());
  EXPECT_EQ(dialog.GetClientWidth(), 260);
  EXPECT_EQ(dialog.GetClientHeight(), 120);
  const TRect client = frame->GetFrameClientRect();
  EXPECT_EQ(client.left, theme->GetSize(0));
  EXPECT_EQ(client.top, theme->GetSize(2));
  EXPECT_TRUE(HasButton(frame, kbiClose));
  EXPECT_TRUE(HasButton(frame, kbiHelp));
  // The native theme has no roll-up or tray buttons, whatever the icons say.
  frame->SetBorderIcons({kbiClose, kbiHelp, kbiRollup, kbiTray});
  EXPECT_FALSE(HasButton(frame, kbiRollup));
  EXPECT_FALSE(HasButton(frame, kbiTray));
  frame->SetBorderIcons(dialog.GetThemeBorderIcons());

  // The frame as painted is the style's frame, as the theme draws it made directly.
  frame->PaintNonClient();
  GdiFlush();
  const int w = frame->GetFrameWidth(), h = frame->GetFrameHeight();
  TKsBitmap expected;
  expected.SetSize(w, h);
  theme->DrawFormFrame(expected, w, h, client, frame->GetActiveLook(), kbsStandard);
  GdiFlush();
  for (const TPoint p : {TPoint{1, h / 2}, TPoint{w / 2, h - 2}, TPoint{w - 2, h / 2}})
    EXPECT_EQ(KsGlobalBuffer()->GetPixel(p.x, p.y) & 0xFFFFFF, expected.GetPixel(p.x, p.y) & 0xFFFFFF)
        << p.x << ", " << p.y;
}

TEST_F(XPThemeSystemTest, VisualStylesAreOnAndTheThemeIsRegisteredLast) {
  ASSERT_TRUE(IsThemingAvailable()) << "the themed prefix should have a visual style on";
  EXPECT_TRUE(Theme.IsAvailable());
  ASSERT_EQ(ThemeClassCount(), 5);
  EXPECT_EQ(GetThemeClass(4), &TTeThemeXP::MetaClass());
  EXPECT_EQ(ThemeLibrary().Module, Direct.Module);

  TTeThemeEngine engine(nullptr);
  engine.SetUseNativeXPTheme(true);
  engine.Loaded();
  EXPECT_EQ(engine.GetTheme()->ClassType(), TTeThemeXP::StaticClass());
}

TEST_F(XPThemeSystemTest, SizesAreTheStylesPartSizes) {
  const SIZE frame = Direct.PartSize(L"Window", WP_FRAMELEFT);
  const SIZE small = Direct.PartSize(L"Window", WP_SMALLFRAMELEFT);
  const SIZE close = Direct.PartSize(L"Window", WP_CLOSEBUTTON);
  const SIZE smallClose = Direct.PartSize(L"Window", WP_SMALLCLOSEBUTTON);
  auto less = [](long v) { return int(v > 0 ? v - 1 : 0); };
  const std::pair<int, int> sizes[] = {
      {0, less(frame.cx)},
      {1, less(small.cx)},
      {2, int(Direct.PartSize(L"Window", WP_CAPTION).cy)},
      {3, int(Direct.PartSize(L"Window", WP_SMALLCAPTION).cy)},
      {5, int(close.cx)},
      {6, int(close.cy)},
      {7, less(smallClose.cx)},
      {8, less(smallClose.cy)},
      {9, int(frame.cx)},
      {12, int(small.cx)},
      {23, int(Direct.PartSize(L"ExplorerBar", EBP_NORMALGROUPHEAD).cy)},
      {28, int(Direct.PartSize(L"ComboBox", CP_DROPDOWNBUTTON, CBXS_NORMAL).cx)},
      {14, 22},
      {16, 16}};
  for (const auto& [kind, size] : sizes)
    EXPECT_EQ(Theme.GetSize(uint8_t(kind)), size) << kind;
  EXPECT_GT(Theme.GetSize(2), 0);  // the style does have a caption
}

TEST_F(XPThemeSystemTest, PartsAreDrawnAsTheStyleDrawsThem) {
  const TRect r{10, 10, 60, 34};
  struct TCase {
    const char* What;
    std::function<void(TKsBitmap&)> Draw;
    const wchar_t* Class;
    int Part, State;
    TRect Rect;
  };
  const TCase cases[] = {
      {"button", [&](TKsBitmap& b) { Theme.DrawButton(b, 75, 24, 0); }, L"Button", BP_PUSHBUTTON, PBS_NORMAL, {0, 0, 75, 24}},
      {"button default", [&](TKsBitmap& b) { Theme.DrawButton(b, 75, 24, 5); }, L"Button", BP_PUSHBUTTON, PBS_DEFAULTED, {0, 0, 75, 24}},
      {"button pressed", [&](TKsBitmap& b) { Theme.DrawButton(b, 75, 24, 2); }, L"Button", BP_PUSHBUTTON, PBS_PRESSED, {0, 0, 75, 24}},
      {"check checked", [&](TKsBitmap& b) { Theme.DrawCheckBox(b, {4, 4, 17, 17}, 0, 1); }, L"Button", BP_CHECKBOX, CBS_CHECKEDNORMAL, {4, 4, 17, 17}},
      {"check hot", [&](TKsBitmap& b) { Theme.DrawCheckBox(b, {4, 4, 17, 17}, 1, 0); }, L"Button", BP_CHECKBOX, CBS_UNCHECKEDHOT, {4, 4, 17, 17}},
      {"radio checked", [&](TKsBitmap& b) { Theme.DrawRadioButton(b, {4, 4, 17, 17}, 0, true); }, L"Button", BP_RADIOBUTTON, RBS_CHECKEDNORMAL, {4, 4, 17, 17}},
      {"close", [&](TKsBitmap& b) { Theme.DrawCaptionButton(b, r, 0, true, false, true, kbsStandard); }, L"Window", WP_CLOSEBUTTON, CBS_HOT, r},
      {"minimize inactive", [&](TKsBitmap& b) { Theme.DrawCaptionButton(b, r, 2, false, false, false, kbsStandard); }, L"Window", WP_MINBUTTON, CBS_DISABLED, r},
      {"thumb", [&](TKsBitmap& b) { Theme.DrawTrackBarThumb(b, {10, 10, 21, 30}, false, 1, 0); }, L"TrackBar", TKP_THUMBBOTTOM, TUS_NORMAL, {10, 10, 21, 30}},
      {"track", [&](TKsBitmap& b) { Theme.DrawTrackBarTrack(b, {10, 10, 150, 14}, {0, 0, 0, 0}); }, L"TrackBar", TKP_TRACK, 1, {10, 10, 150, 14}},
      {"progress", [&](TKsBitmap& b) { Theme.DrawProgressFrame(b, {5, 5, 150, 25}); }, L"Progress", PP_BAR, 1, {5, 5, 150, 25}},
      {"chunk", [&](TKsBitmap& b) { Theme.DrawProgressBar(b, {5, 5, 150, 25}, {7, 7, 80, 23}, false, false); }, L"Progress", PP_CHUNK, 1, {7, 7, 80, 23}},
      {"scroll arrow", [&](TKsBitmap& b) { Theme.DrawScrollBarArrowButton(b, {0, 0, 17, 17}, true, false, 1); }, L"ScrollBar", SBP_ARROWBTN, ABS_DOWNHOT, {0, 0, 17, 17}},
      {"scroll track", [&](TKsBitmap& b) { Theme.DrawScrollBarTrack(b, {0, 0, 17, 80}, true); }, L"ScrollBar", SBP_LOWERTRACKVERT, 1, {0, 0, 17, 80}},
      {"tab selected", [&](TKsBitmap& b) { Theme.DrawTab(b, r, 0, 4); }, L"Tab", TABP_TABITEM, TIS_SELECTED, r},
      {"tab pane", [&](TKsBitmap& b) { Theme.DrawTabBackground(b, {0, 0, 150, 80}); }, L"Tab", TABP_PANE, 1, {0, 0, 150, 80}},
      {"combo", [&](TKsBitmap& b) { Theme.DrawComboButton(b, {0, 0, 17, 21}, 2); }, L"ComboBox", CP_DROPDOWNBUTTON, CBXS_PRESSED, {0, 0, 17, 21}},
      {"tool button", [&](TKsBitmap& b) { Theme.DrawToolButton(b, {0, 0, 24, 22}, 1, true, false); }, L"Toolbar", TP_BUTTON, TS_HOT, {0, 0, 24, 22}},
  };
  for (const TCase& c : cases) {
    Prepare(Dest);
    Prepare(Expected);
    c.Draw(Dest);
    Direct.DrawPart(Expected, c.Class, c.Part, c.State, c.Rect);
    EXPECT_FALSE(Untouched(Expected)) << c.What << ": the style draws this part";
    EXPECT_TRUE(SamePixels(Dest, Expected)) << c.What;
  }

  // The frame: the caption and the three borders, active.
  Prepare(Dest);
  Prepare(Expected);
  const TRect client{4, 30, 196, 96};
  Theme.DrawFormFrame(Dest, 200, 100, client, true, kbsStandard);
  Direct.DrawPart(Expected, L"Window", WP_CAPTION, CS_ACTIVE, {0, 0, 200, 30});
  Direct.DrawPart(Expected, L"Window", WP_FRAMELEFT, FS_ACTIVE, {0, 30, 4, 96});
  Direct.DrawPart(Expected, L"Window", WP_FRAMERIGHT, FS_ACTIVE, {196, 30, 200, 96});
  Direct.DrawPart(Expected, L"Window", WP_FRAMEBOTTOM, FS_ACTIVE, {0, 96, 200, 100});
  EXPECT_TRUE(SamePixels(Dest, Expected));

  // The edit frame keeps what lies inside its two-pixel ring.
  Prepare(Dest);
  Prepare(Expected);
  const TRect edit{10, 10, 120, 31};
  Theme.DrawEditFrame(Dest, edit, 0);
  {
    TSaveDCGuard clip(Expected.GetDC());
    ExcludeClipRect(Expected.GetDC(), edit.left + 2, edit.top + 2, edit.right - 2, edit.bottom - 2);
    Direct.DrawPart(Expected, L"Edit", EP_EDITTEXT, ETS_NORMAL, edit);
  }
  EXPECT_TRUE(SamePixels(Dest, Expected));
  EXPECT_EQ(Dest.GetPixel(60, 20), kBack);
}

TEST_F(XPThemeSystemTest, FormRegionIsTheStylesCaptionRegion) {
  TRegionHandle region(Theme.GetFormRegion(200, 100, kbsStandard));
  ASSERT_NE(region.Get(), nullptr);
  HRGN direct = nullptr;
  const RECT whole{0, 0, 200, 100};
  Direct.With(L"Window", [&](HTHEME theme) {
    ASSERT_NE(theme, nullptr);
    ASSERT_TRUE(SUCCEEDED(Direct.Region(theme, nullptr, WP_CAPTION, 0, &whole, &direct)));
  });
  ASSERT_NE(direct, nullptr);
  EXPECT_TRUE(EqualRgn(region.Get(), direct));
  DeleteObject(direct);
}

// Wine's light style opens "Menu" without the parts the theme's menus use, which drew
// nothing at all, not even the captions.
TEST_F(XPThemeSystemTest, MenusTheStyleLacksAreDrawnByTheThemeWithTheirCaptions) {
  bool defined = true;
  Direct.With(L"Menu", [&](HTHEME theme) {
    ASSERT_NE(theme, nullptr);
    defined = Direct.Defined(theme, 1, 0) || Direct.Defined(theme, 3, 0);
  });
  if (defined)
    GTEST_SKIP() << "this visual style has the menu parts";

  TTeItemData item;
  item.Caption = "Open";
  const TRect rect{0, 0, 150, 22};
  Theme.DrawPopupItemData(Dest, item, rect, true, false);
  Expected.FillRect(rect, ColorToKsColor(clHighlight, 255));
  Expected.FrameRect(rect, ColorToKsColor(clHighlight, 255));
  TFont* font = Expected.GetFont();
  font->SetName("Tahoma");
  font->SetSize(8);
  font->SetColor(clHighlightText);
  Expected.DrawText("Open", {26, 0, 150, 22}, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  EXPECT_TRUE(SamePixels(Dest, Expected));

  Prepare(Dest);
  Prepare(Expected);
  Theme.DrawPopupFrame(Dest, 120, 80);
  Expected.FrameRect({0, 0, 120, 80}, ColorToKsColor(clHighlight, 255));
  Expected.FrameRect({1, 1, 119, 79}, ColorToKsColor(clMenu, 255));
  Expected.FrameRect({2, 2, 118, 78}, ColorToKsColor(clMenu, 255));
  EXPECT_TRUE(SamePixels(Dest, Expected));
}

TEST_F(XPThemeSystemTest, ClassesTheStyleCannotOpenDrawNothing) {
  bool opens = false;
  Direct.With(L"ExplorerBar", [&](HTHEME theme) { opens = theme != nullptr; });
  if (opens)
    GTEST_SKIP() << "this visual style has an explorer bar";
  Theme.DrawExplorerBarGroup(Dest, {0, 0, 150, 25}, "Tasks");
  Theme.DrawExplorerBarButton(Dest, {0, 0, 17, 17}, false, 0, true);
  EXPECT_TRUE(Untouched(Dest));
  EXPECT_EQ(Theme.GetSize(23), 0);
}

// Last: switching the visual style off is broadcast to every top-level window; the
// tracker closes the cached handles and the next drawing opens them again.
TEST_F(XPThemeSystemTest, AVisualStyleSwitchedOffClosesEveryCachedHandle) {
  // The switch is written to the prefix's settings: put it back whatever happens.
  struct TRestoreThemeActive {
    ~TRestoreThemeActive() {
      RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager",
                      "ThemeActive", REG_SZ, "1", 2);
    }
  } restore;
  using TEnableTheming = HRESULT(WINAPI*)(BOOL);
  const auto enableTheming = BindEntry<TEnableTheming>(Direct.Module, "EnableTheming");
  ASSERT_NE(enableTheming, nullptr);

  CloseAllThemeHandles();
  Theme.DrawButton(Dest, 75, 24, 0);
  Theme.DrawTab(Dest, {0, 0, 40, 20}, 0, 0);
  Theme.DrawFormFrame(Dest, 200, 100, {4, 30, 196, 96}, true, kbsStandard);
  EXPECT_EQ(CachedThemeHandleCount(), 3);

  ASSERT_TRUE(SUCCEEDED(enableTheming(FALSE)));
  EXPECT_TRUE(PumpUntil([] { return CachedThemeHandleCount() == 0; }, 5000));
  EXPECT_FALSE(IsThemingAvailable());

  // The next drawing asks again, under the new setting.
  Theme.DrawButton(Dest, 75, 24, 0);
  EXPECT_EQ(CachedThemeHandleCount(), 1);
}
