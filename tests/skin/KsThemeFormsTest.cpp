// The themed form: metrics, buttons, hit tests, region and painting from the engine's
// theme, and the classic frame whenever it is not themed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/Timer.h"
#include "skin/KsGlobalBuffer.h"
#include "skin/KsThemeForms.h"
#include "skin/KsThemeItems.h"
#include "skin/TeThemeLuna.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

// A theme with distinct metrics that paints flat colours and records its buttons.
class TFlatTheme : public TTeTheme {
  KIVO_CLASS(TFlatTheme, TTeTheme)
 public:
  struct TButtonCall {
    TRect Rect;
    int Kind;
    bool Hot, Pressed, Active;
  };
  static constexpr TKsColor kFrame = KsColorARGB(255, 10, 20, 30);
  static constexpr TKsColor kFrameInactive = KsColorARGB(255, 40, 50, 60);
  static TKsColor ButtonColor(int kind) { return KsColorARGB(255, 200, uint8_t(kind * 20), 100); }

  static std::string Name;
  static std::string ThemeName() { return Name; }
  int GetSize(uint8_t kind) override {
    static const int sizes[] = {4, 2, 26, 18, 0, 18, 16, 13, 12, 5, 6, 2, 3, 3};
    return kind < std::size(sizes) ? sizes[kind] : 0;
  }
  TColor GetColor(uint8_t kind) override {
    switch (kind) {
      case 2: return TColor(RGB(1, 2, 3));
      case 3: return TColor(RGB(250, 250, 250));
      case 5: return TColor(RGB(128, 128, 128));
      case 11: return TColor(RGB(70, 140, 210));
      default: return TColor(0);
    }
  }
  void GetFontName(uint8_t, std::string& name) override { name = "Tahoma"; }
  int GetFontSize(uint8_t) override { return 8; }
  bool GetFontBold(uint8_t kind) override { return kind == 0; }
  void DrawFormFrame(TKsBitmap& bitmap, int width, int height, const TRect&, bool active,
                     TKsBorderStyle) override {
    bitmap.FillRect(TRect{0, 0, width, height}, active ? kFrame : kFrameInactive);
  }
  void DrawCaptionButton(TKsBitmap& bitmap, const TRect& rect, int kind, bool hot, bool pressed, bool active,
                         TKsBorderStyle) override {
    Buttons.push_back(TButtonCall{rect, kind, hot, pressed, active});
    bitmap.FillRect(rect, ButtonColor(kind));
  }
  HRGN GetFormRegion(int width, int height, TKsBorderStyle) override {
    return CreateRectRgn(2, 0, width - 2, height);
  }
  bool IsAvailable() override { return Available; }
  bool Available = true;
  std::vector<TButtonCall> Buttons;
};
std::string TFlatTheme::Name = "Flat";

TKsColor Rgb(TKsColor c) { return c & 0xFFFFFF; }
TPoint Centre(const TRect& r) { return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class KsThemeFormsTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Engine = new TTeThemeEngine(Form);
    Theme = new TFlatTheme();
    Engine->SetTheme(Theme);
    Skinner = new TTeThemeForm(Form);
    Skinner->SetMagnetic(false);
    Skinner->SetMinimizeApplication(false);
    Skinner->Loaded();
    Skinner->SetThemeEngine(Engine);
    ShowForm();
    SendMessageA(Form->GetHandle(), WM_NCACTIVATE, 1, 0);
  }
  void TearDown() override {
    TFlatTheme::Name = "Flat";
    FormTest::TearDown();
  }
  TKsColor BufferPixel(int x, int y) {
    GdiFlush();
    return Rgb(KsGlobalBuffer()->GetPixel(x, y));
  }
  const TFlatTheme::TButtonCall* Call(int kind) {
    for (const auto& call : Theme->Buttons)
      if (call.Kind == kind)
        return &call;
    return nullptr;
  }
  void Repaint() {
    Theme->Buttons.clear();
    Skinner->PaintNonClient();
  }
  TTeThemeEngine* Engine = nullptr;
  TFlatTheme* Theme = nullptr;
  TTeThemeForm* Skinner = nullptr;
};

TEST_F(KsThemeFormsTest, FrameIsMeasuredByTheThemeMetrics) {
  ASSERT_TRUE(Skinner->IsThemed());
  EXPECT_TRUE(Skinner->GetActive());
  const int w = Skinner->GetFrameWidth(), h = Skinner->GetFrameHeight();
  EXPECT_EQ(Skinner->GetFrameClientRect(), (TRect{4, 26, w - 4, h - 4}));
  EXPECT_EQ(Form->GetClientWidth(), w - 8);
  EXPECT_EQ(Form->GetClientHeight(), h - 30);
  Skinner->SetBorderStyle(kbsToolWindow);
  EXPECT_EQ(Skinner->GetFrameClientRect(), (TRect{2, 18, Skinner->GetFrameWidth() - 2, Skinner->GetFrameHeight() - 2}));
  Skinner->SetBorderStyle(kbsNone);
  EXPECT_EQ(Skinner->GetFrameClientRect(), (TRect{0, 0, Skinner->GetFrameWidth(), Skinner->GetFrameHeight()}));
  EXPECT_EQ(Skinner->GetVersion(), "2.7.9");
  Skinner->SetVersion("1.0");
  EXPECT_EQ(Skinner->GetVersion(), "2.7.9");
}

TEST_F(KsThemeFormsTest, CaptionButtonsAreLaidByTheThemeMetrics) {
  Skinner->SetBorderIcons(TKsBorderIcons{kbiClose, kbiSystemMenu, kbiMinimize, kbiMaximize, kbiHelp, kbiRollup, kbiTray});
  const int w = Skinner->GetFrameWidth();
  auto at = [](int x) { return TRect{x, 6, x + 18, 22}; };
  const int x0 = w - 5 - 18, step = 2 + 18;
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiClose), at(x0));
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiMaximize), at(x0 - step));
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiMinimize), at(x0 - 2 * step));
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiRollup), at(x0 - 3 * step));
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiTray), at(x0 - 4 * step));
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiHelp), at(x0 - 5 * step));
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiSystemMenu), (TRect{4, 4, 26, 26}));
  // Minimized: close and minimize only.
  Skinner->Minimize();
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiMinimize).left, Skinner->GetFrameWidth() - 5 - 18 - step);
  for (TKsBorderIcon icon : {kbiMaximize, kbiRollup, kbiTray, kbiHelp})
    EXPECT_EQ(Skinner->GetCaptionButtonRect(icon), TRect{}) << icon;
  Repaint();
  ASSERT_NE(Call(4), nullptr);  // minimize drawn as restore
  EXPECT_EQ(Call(2), nullptr);
  Skinner->Restore();
  // A tool window: the close button alone, with the tool-window metrics.
  Skinner->SetBorderStyle(kbsToolWindow);
  const int tw = Skinner->GetFrameWidth();
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiClose), (TRect{tw - 3 - 13, 3, tw - 3, 15}));
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiMinimize), TRect{});
}

TEST_F(KsThemeFormsTest, XPThemeAPIHasNoRollupOrTrayButton) {
  TFlatTheme::Name = "XP ThemeAPI";
  const TRect close = Skinner->GetCaptionButtonRect(kbiClose);
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiRollup), TRect{});
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiTray), TRect{});
  for (int x = 0; x < Skinner->GetFrameWidth(); ++x) {
    const uint8_t code = Skinner->HitTest(x, Centre(close).y);
    ASSERT_TRUE(code != khtRollup && code != khtTray) << x;
  }
  Repaint();
  EXPECT_EQ(Call(5), nullptr);
  EXPECT_EQ(Call(7), nullptr);
}

TEST_F(KsThemeFormsTest, TopBorderBelowTheThemeBorderMovesInsteadOfResizing) {
  const int w = Skinner->GetFrameWidth();
  EXPECT_EQ(Skinner->HitTest(w / 2, 4), khtTop);
  EXPECT_EQ(Skinner->HitTest(w / 2, 5), khtCaption);
  EXPECT_EQ(Skinner->HitTest(2, 2), khtTopLeft);  // off the client's width: still a grip
  const TPoint close = Centre(Skinner->GetCaptionButtonRect(kbiClose));
  EXPECT_EQ(Skinner->HitTest(close.x, close.y), khtClose);
}

TEST_F(KsThemeFormsTest, FrameButtonsAndBackgroundArePaintedByTheTheme) {
  Repaint();
  const TRect client = Skinner->GetFrameClientRect();
  EXPECT_EQ(BufferPixel(1, client.top + 10), Rgb(TFlatTheme::kFrame));
  const TRect close = Skinner->GetCaptionButtonRect(kbiClose);
  EXPECT_EQ(BufferPixel(close.left, close.top), Rgb(TFlatTheme::ButtonColor(0)));
  const auto* call = Call(0);
  ASSERT_NE(call, nullptr);
  EXPECT_EQ(call->Rect, close);
  EXPECT_TRUE(call->Active);
  EXPECT_FALSE(call->Hot);
  EXPECT_FALSE(call->Pressed);
  for (int kind : {2, 3, 5, 7})
    EXPECT_NE(Call(kind), nullptr) << kind;
  EXPECT_EQ(Call(1), nullptr);  // help is not shown
  // The caption's text lies in its band; the shadow colour is the theme's.
  Form->SetCaption("WWWWWWWWWW");
  Repaint();
  bool shadow = false, text = false;
  for (int y = 6; y < 26; ++y)
    for (int x = 26; x < 120; ++x) {
      shadow |= BufferPixel(x, y) == Rgb(KsColorARGB(255, 1, 2, 3));
      text |= BufferPixel(x, y) == Rgb(KsColorARGB(255, 250, 250, 250));
    }
  EXPECT_TRUE(shadow);
  EXPECT_TRUE(text);
  // Deactivated: the inactive frame and no shadow text.
  SendMessageA(Form->GetHandle(), WM_NCACTIVATE, 0, 0);
  EXPECT_EQ(BufferPixel(1, client.top + 10), Rgb(TFlatTheme::kFrameInactive));
  // The client background is the theme's colour 11.
  TKsBitmap target;
  target.SetSize(Form->GetClientWidth(), Form->GetClientHeight());
  SendMessageA(Form->GetHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.GetDC()), 0);
  GdiFlush();
  EXPECT_EQ(Rgb(target.GetPixel(5, 5)), Rgb(KsColorARGB(255, 70, 140, 210)));
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(KsThemeFormsTest, PressedAndHotButtonsAreDrawnSo) {
  const TRect close = Skinner->GetCaptionButtonRect(kbiClose);
  RECT window;
  GetWindowRect(Form->GetHandle(), &window);
  const TPoint c = Centre(close);
  Theme->Buttons.clear();
  SendMessageA(Form->GetHandle(), WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(window.left + c.x, window.top + c.y));
  ASSERT_NE(Call(0), nullptr);
  EXPECT_TRUE(Call(0)->Pressed);
  const TRect client = Skinner->GetFrameClientRect();
  SendMessageA(Form->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(5 - client.left + 200, 5));
  // The hover timer finds the button under the cursor.
  SetCursorPos(window.left + c.x, window.top + c.y);
  Theme->Buttons.clear();
  EXPECT_EQ(Skinner->GetHoverTimer()->GetInterval(), 100u);
  PumpUntil([&] { return Skinner->GetHoverCode() == khtClose; });
  EXPECT_EQ(Skinner->GetHoverCode(), khtClose);
  ASSERT_NE(Call(0), nullptr);
  EXPECT_TRUE(Call(0)->Hot);
  SetCursorPos(0, 0);
}

TEST_F(KsThemeFormsTest, RegionIsTheThemesAndMaximizedKeepsTheWholeFrame) {
  TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(Form->GetHandle(), region.Get()), ERROR);
  EXPECT_FALSE(PtInRegion(region.Get(), 1, 10));
  EXPECT_TRUE(PtInRegion(region.Get(), 2, 10));
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const TRect maximized = Skinner->GetMaximizedRect();
  EXPECT_GE(maximized.left, work.left);
  EXPECT_LE(maximized.right, work.right);
  EXPECT_GE(maximized.top, work.top);
}

TEST_F(KsThemeFormsTest, WithoutAnAvailableThemeItIsTheClassicFrame) {
  Theme->Available = false;
  EXPECT_FALSE(Skinner->IsThemed());
  const int border = Skinner->FrameBorderWidth();
  EXPECT_EQ(Skinner->GetFrameClientRect().left, border);
  Repaint();
  EXPECT_TRUE(Theme->Buttons.empty());
  const TRect band = Skinner->GetCaptionRect();
  EXPECT_EQ(BufferPixel(band.left, band.top), Rgb(ColorToKsColor(TColor(GetSysColor(COLOR_ACTIVECAPTION)), 255)));
  Theme->Available = true;
  // A freed engine is forgotten and the frame turns classic.
  delete Engine;
  EXPECT_EQ(Skinner->GetThemeEngine(), nullptr);
  EXPECT_FALSE(Skinner->IsThemed());
}

TEST_F(KsThemeFormsTest, BorderWidthBandIsFilledWithTheThemeColour) {
  Form->SetBorderWidth(6);
  PumpPending();
  const TRect client = Skinner->GetFrameClientRect();
  SendMessageA(Form->GetHandle(), WM_NCPAINT, 1, 0);
  TWindowDC dc(Form->GetHandle());
  EXPECT_EQ(GetPixel(dc.Get(), client.left + 2, client.top + 2), RGB(70, 140, 210));
  EXPECT_EQ(GetPixel(dc.Get(), client.right - 1, client.bottom - 1), RGB(70, 140, 210));
}

TEST_F(KsThemeFormsTest, SystemMenuIsMadeOfItemsDrawnByTheEngine) {
  Skinner->BuildSystemMenu();
  TKsCustomItem* root = Skinner->GetSystemMenu();
  ASSERT_GT(root->GetCount(), 0);
  for (TKsCustomItem* item : {root, root->GetItems(0), root->GetItems(root->GetCount() - 1)}) {
    auto* themed = ObjectAs<TTeThemeItem>(item);
    ASSERT_NE(themed, nullptr);
    EXPECT_EQ(themed->GetThemeEngine(), Engine);
  }
}

TEST_F(KsThemeFormsTest, EngineThemeChangeRemeasuresTheFrame) {
  const int clientWidth = Form->GetClientWidth();
  Engine->SetTheme(new TTeThemeLuna());
  ASSERT_TRUE(Skinner->IsThemed());
  TTeTheme* luna = Engine->GetTheme();
  EXPECT_EQ(Skinner->GetFrameClientRect().top, luna->GetSize(2));
  EXPECT_EQ(Form->GetClientWidth(), clientWidth);
  // The close button is the theme's own drawing, made by the same calls.
  Skinner->PaintNonClient();
  const TRect close = Skinner->GetCaptionButtonRect(kbiClose);
  TKsBitmap expected;
  expected.SetSize(Skinner->GetFrameWidth(), Skinner->GetFrameHeight());
  luna->DrawFormFrame(expected, Skinner->GetFrameWidth(), Skinner->GetFrameHeight(), Skinner->GetFrameClientRect(),
                      Skinner->GetActiveLook(), kbsStandard);
  luna->DrawCaptionButton(expected, close, 0, Skinner->GetHoverCode() == khtClose, false, Skinner->GetActiveLook(),
                          kbsStandard);
  GdiFlush();
  for (int y = close.top; y < close.bottom; ++y)
    for (int x = close.left; x < close.right; ++x)
      ASSERT_EQ(BufferPixel(x, y), Rgb(expected.GetPixel(x, y))) << x << "," << y;
}

}  // namespace
