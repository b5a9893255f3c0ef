// The native theme and its layer over the visual-style library: the binding of the
// system's library in this prefix (visual styles off), the handle cache and the tracker
// window, the start-up's registration, and every operation run against a recording
// stand-in library: the class, part and state it asks for, what it draws or answers, and
// the fallbacks drawn where the library gives no handle or fails, compared pixel by pixel
// with the same drawing calls made directly.
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "classlib/GdiHandles.h"
#include "skin/KsItems.h"
#include "skin/TeThemeEngine.h"
#include "skin/TeThemeHighlight.h"
#include "skin/TeThemeLines.h"
#include "skin/TeThemeLuna.h"
#include "skin/TeThemeXP.h"
#include "skin/TeThemeXPImpl.h"
#include "tests/skin/FakeThemeLibrary.h"
#include "tests/skin/SkinTestSupport.h"

#include <vsstyle.h>

namespace {

constexpr TKsColor RGBOf(TKsColor c) { return c & 0xFFFFFF; }
TKsColor PartPixel(int part, int state) {
  return RGBOf(ColorToKsColor(TColor(TFakeThemeLibrary::PartColor(part, state)), 255));
}
bool Inside(const TRect& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}
TRect Inflated(const TRect& r, int d) { return {r.left - d, r.top - d, r.right + d, r.bottom + d}; }

// The theme units again, as at start-up: the four themes, then the native theme's.
void RestartThemeRegistry() {
  FinalizeTeThemeXP();
  UnregisterThemes();
  InitializeTeTheme();
  InitializeTeThemeLuna();
  InitializeTeThemeHighlight();
  InitializeTeThemeLines();
  InitializeTeThemeXP();
}

std::vector<std::string> RegisteredNames() {
  std::vector<std::string> names;
  for (int i = 0; i < ThemeClassCount(); ++i)
    names.push_back(GetThemeClass(i)->ThemeName());
  return names;
}

class TeThemeXPTest : public ::testing::Test {
 protected:
  TFakeThemeLibrary Fake;
  std::unique_ptr<TFakeThemeScope> Scope;
  TTeThemeXP Theme;
  TKsBitmap Dest;

  void SetUp() override {
    Scope = std::make_unique<TFakeThemeScope>(Fake);
    Prepare(Dest, 200, 100, kBack);
  }
  void TearDown() override {
    Scope.reset();
    EXPECT_EQ(Fake.Live(), 0);
    EXPECT_EQ(Fake.BadCloses, 0);
  }
  TKsColor Px(int x, int y) {
    GdiFlush();
    return RGBOf(Dest.GetPixel(x, y));
  }
  TKsColor Color(uint8_t kind) { return ColorToKsColor(Theme.GetColor(kind), 255); }
  // The single DrawThemeBackground call an operation made.
  TFakeThemeLibrary::TCall OnlyDraw() {
    auto draws = Fake.Draws();
    EXPECT_EQ(draws.size(), 1u);
    return draws.empty() ? TFakeThemeLibrary::TCall{} : draws.front();
  }
  // Every pixel inside `rect` is the part's colour, every other one the background.
  void ExpectPartOnly(const TRect& rect, int part, int state) {
    const TKsColor want = PartPixel(part, state);
    ExpectPixels(Dest, [&](int x, int y) {
      TKsColor got = Dest.GetPixel(x, y);
      TKsColor expected = Inside(rect, x, y) ? want : RGBOf(kBack);
      return RGBOf(got) == expected ? got : expected;
    });
  }
};

}  // namespace

// ---- Binding, cache and tracker ------------------------------------------------------------

TEST(TeThemeXPBinding, BindsTheSystemLibraryWhichIsNotThemedInThisPrefix) {
  // This prefix has visual styles off: the library is there, the application unthemed.
  const TThemeLibrary& bound = ThemeLibrary();
  HMODULE library = GetModuleHandleA("uxtheme.dll");
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(bound.Module, library);
  const std::pair<void*, const char*> entries[] = {
      {reinterpret_cast<void*>(bound.OpenThemeData), "OpenThemeData"},
      {reinterpret_cast<void*>(bound.CloseThemeData), "CloseThemeData"},
      {reinterpret_cast<void*>(bound.DrawThemeBackground), "DrawThemeBackground"},
      {reinterpret_cast<void*>(bound.DrawThemeText), "DrawThemeText"},
      {reinterpret_cast<void*>(bound.GetThemePartSize), "GetThemePartSize"},
      {reinterpret_cast<void*>(bound.GetThemeBackgroundRegion), "GetThemeBackgroundRegion"},
      {reinterpret_cast<void*>(bound.IsAppThemed), "IsAppThemed"},
      {reinterpret_cast<void*>(bound.IsThemePartDefined), "IsThemePartDefined"}};
  for (const auto& [entry, name] : entries) {
    EXPECT_NE(entry, nullptr) << name;
    EXPECT_EQ(entry, reinterpret_cast<void*>(GetProcAddress(library, name))) << name;
  }
  EXPECT_FALSE(IsThemingAvailable());
  EXPECT_FALSE(TTeThemeXP().IsAvailable());

  // Not themed: the registry holds the four other themes and the engine keeps Luna.
  EXPECT_EQ(RegisteredNames(),
            (std::vector<std::string>{"No Theme", "Luna", "Highlight", "Lines"}));
  EXPECT_FALSE(IsThemeRegistered(&TTeThemeXP::MetaClass()));
  TTeThemeEngine engine(nullptr);
  engine.SetUseNativeXPTheme(true);
  engine.Loaded();
  EXPECT_EQ(engine.GetTheme()->ClassType(), TTeThemeLuna::StaticClass());
}

TEST(TeThemeXPBinding, NoLibraryMeansNoThemeAndNothingOpened) {
  FreeThemeLibrary();
  EXPECT_EQ(ThemeLibrary().Module, nullptr);
  EXPECT_EQ(ThemeLibrary().OpenThemeData, nullptr);
  EXPECT_FALSE(IsThemingAvailable());
  EXPECT_EQ(GetThemeHandle(nullptr, "Button"), nullptr);
  EXPECT_EQ(CachedThemeHandleCount(), 0);
  TKsBitmap dest;
  Prepare(dest, 20, 20, kBack);
  TTeThemeXP theme;
  theme.DrawButton(dest, 20, 20, 0);
  theme.DrawCheckBox(dest, {0, 0, 13, 13}, 0, 1);
  EXPECT_EQ(theme.GetSize(2), 0);
  EXPECT_EQ(theme.GetFormRegion(20, 20, kbsStandard), nullptr);
  ExpectPixels(dest, [](int, int) { return kBack; });
  LoadThemeLibrary();
  EXPECT_NE(ThemeLibrary().Module, nullptr);
}

TEST_F(TeThemeXPTest, HandlesAreOpenedOncePerClassAndKeptOpenByTheDrawing) {
  HTHEME button = GetThemeHandle(nullptr, "Button");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(GetThemeHandle(nullptr, "Button"), button);
  EXPECT_EQ(ReleaseThemeHandle(button), 0);  // cached: stays open
  EXPECT_EQ(Fake.Opened, 1);
  EXPECT_EQ(Fake.Closed, 0);
  ASSERT_EQ(Fake.CallsOf("Open").size(), 1u);
  EXPECT_EQ(Fake.CallsOf("Open")[0].Window, nullptr);

  // A class the style cannot open is cached as 0 and not asked for again.
  Fake.Classes.erase("ExplorerBar");
  EXPECT_EQ(GetThemeHandle(nullptr, "ExplorerBar"), nullptr);
  EXPECT_EQ(GetThemeHandle(nullptr, "ExplorerBar"), nullptr);
  EXPECT_EQ(Fake.CallsOf("Open").size(), 2u);
  EXPECT_EQ(CachedThemeHandleCount(), 2);

  // A handle for a window is opened every time and closed by its release.
  HWND window = GetDesktopWindow();
  HTHEME own = GetThemeHandle(window, "Button");
  ASSERT_NE(own, nullptr);
  EXPECT_NE(own, button);
  EXPECT_EQ(Fake.CallsOf("Open").back().Window, window);
  EXPECT_EQ(CachedThemeHandleCount(), 2);
  EXPECT_EQ(ReleaseThemeHandle(own), S_OK);
  EXPECT_EQ(Fake.Live(), 1);

  // Drawing takes the cached handles and never closes them.
  Theme.DrawButton(Dest, 40, 20, 0);
  Theme.DrawCheckBox(Dest, {50, 0, 63, 13}, 0, 0);
  Theme.DrawFormFrame(Dest, 200, 100, {4, 30, 196, 96}, true, kbsStandard);
  EXPECT_EQ(Fake.Opened, 3);  // Button, the window's Button, Window
  EXPECT_EQ(Fake.Live(), 2);

  CloseAllThemeHandles();
  EXPECT_EQ(Fake.Live(), 0);
  EXPECT_EQ(CachedThemeHandleCount(), 0);
}

TEST_F(TeThemeXPTest, WithoutCloseThemeDataTheCacheIsOnlyEmptied) {
  TThemeLibrary entries = Fake.Entries();
  entries.CloseThemeData = nullptr;
  InjectThemeLibrary(&entries);
  FreeThemeLibrary();
  LoadThemeLibrary();
  GetThemeHandle(nullptr, "Button");
  EXPECT_EQ(ReleaseThemeHandle(GetThemeHandle(GetDesktopWindow(), "Edit")), 0);
  CloseAllThemeHandles();
  EXPECT_EQ(CachedThemeHandleCount(), 0);
  EXPECT_EQ(Fake.Closed, 0);
  Fake.Opened = Fake.Closed;  // nothing could be closed: not a leak of the theme's
}

TEST_F(TeThemeXPTest, TrackerClosesEveryHandleOnAThemeChangeAndTheNextPaintReopens) {
  ASSERT_NE(ThemeTracker(), nullptr);
  HWND tracker = ThemeTracker()->GetHandle();
  ASSERT_TRUE(IsWindow(tracker));
  EXPECT_FALSE(IsWindowVisible(tracker));
  Theme.DrawButton(Dest, 40, 20, 0);
  Theme.DrawTab(Dest, {0, 0, 30, 20}, 0, 0);
  Theme.DrawFormFrame(Dest, 200, 100, {4, 30, 196, 96}, true, kbsStandard);
  EXPECT_EQ(Fake.Live(), 3);

  // Other messages leave the cache alone and get DefWindowProc's answer.
  EXPECT_EQ(SendMessageA(tracker, WM_SETTINGCHANGE, 0, 0), 0);
  EXPECT_EQ(Fake.Live(), 3);
  SendMessageA(tracker, WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(Fake.Live(), 0);
  EXPECT_EQ(Fake.Closed, 3);
  EXPECT_EQ(CachedThemeHandleCount(), 0);

  Fake.ClearCalls();
  Theme.DrawButton(Dest, 40, 20, 1);
  ASSERT_EQ(Fake.CallsOf("Open").size(), 1u);
  EXPECT_EQ(Fake.CallsOf("Open")[0].ClassName, "Button");
  EXPECT_EQ(Fake.Live(), 1);
  EXPECT_EQ(OnlyDraw().State, PBS_HOT);
}

// Shut-down freed the library before the cache was closed, so cached handles stayed open.
TEST_F(TeThemeXPTest, ShutDownLeavesNoHandleOpen) {
  Theme.DrawButton(Dest, 40, 20, 0);
  Theme.DrawEditFrame(Dest, {0, 0, 50, 20}, 0);
  GetThemeHandle(nullptr, "ScrollBar");
  EXPECT_EQ(Fake.Live(), 3);
  // The units' own shut-down order: the theme's library, then the cache and tracker.
  FinalizeTeThemeXP();
  EXPECT_EQ(Fake.Live(), 0);
  EXPECT_EQ(ThemeLibrary().Module, nullptr);
  EXPECT_FALSE(Theme.IsAvailable());
  FinalizeTeThemeXPImpl();
  EXPECT_EQ(ThemeTracker(), nullptr);
  EXPECT_EQ(Fake.Live(), 0);
  InitializeTeThemeXPImpl();
  LoadThemeLibrary();
}

TEST_F(TeThemeXPTest, RegisteredLastWhenThemedAndChosenByTheEngine) {
  RestartThemeRegistry();
  EXPECT_EQ(RegisteredNames(),
            (std::vector<std::string>{"No Theme", "Luna", "Highlight", "Lines", "XP ThemeAPI"}));
  EXPECT_EQ(FindThemeClass("XP ThemeAPI"), &TTeThemeXP::MetaClass());
  EXPECT_TRUE(Theme.IsAvailable());

  // The engine's native choice, and a form resource naming the theme.
  TTeThemeEngine engine(nullptr);
  engine.SetUseNativeXPTheme(true);
  engine.Loaded();
  ASSERT_EQ(engine.GetTheme()->ClassType(), TTeThemeXP::StaticClass());
  EXPECT_TRUE(engine.ThemeAvailable());
  TTeThemeEngine named(nullptr);
  named.SelectThemeClass(FindThemeClass("XP ThemeAPI"));
  EXPECT_EQ(named.GetTheme()->ClassType(), TTeThemeXP::StaticClass());

  // Not themed: not registered, and the engine keeps Luna.
  Fake.Themed = false;
  RestartThemeRegistry();
  EXPECT_EQ(RegisteredNames(),
            (std::vector<std::string>{"No Theme", "Luna", "Highlight", "Lines"}));
  TTeThemeEngine plain(nullptr);
  plain.SetUseNativeXPTheme(true);
  plain.Loaded();
  EXPECT_EQ(plain.GetTheme()->ClassType(), TTeThemeLuna::StaticClass());
  // An instance made anyway says it cannot draw.
  EXPECT_FALSE(Theme.IsAvailable());

  Scope.reset();
  RestartThemeRegistry();  // the system's library again: not registered here
  EXPECT_FALSE(IsThemeRegistered(&TTeThemeXP::MetaClass()));
}

// ---- Tables --------------------------------------------------------------------------------

TEST_F(TeThemeXPTest, SizesComeFromThePartsTheTableNames) {
  Fake.PartSizes = {{{"Window", WP_FRAMELEFT}, {8, 92}},        {{"Window", WP_SMALLFRAMELEFT}, {3, 1}},
                    {{"Window", WP_CAPTION}, {66, 29}},         {{"Window", WP_SMALLCAPTION}, {5, 19}},
                    {{"Window", WP_CLOSEBUTTON}, {28, 17}},     {{"Window", WP_SMALLCLOSEBUTTON}, {13, 12}},
                    {{"ExplorerBar", EBP_NORMALGROUPHEAD}, {9, 25}}, {{"ComboBox", CP_DROPDOWNBUTTON}, {7, 21}}};
  const int expected[30] = {7, 2, 29, 19, 10, 28, 17, 12, 11, 8, 8, 2, 3, 3, 22,
                            17, 16, 16, 16, 16, 11, 22, 4, 25, 17, 17, 2, 21, 7, 11};
  for (int kind = 0; kind < 30; ++kind)
    EXPECT_EQ(Theme.GetSize(uint8_t(kind)), expected[kind]) << kind;
  for (int kind : {30, 31, 100, 255})
    EXPECT_EQ(Theme.GetSize(uint8_t(kind)), 0) << kind;

  // Asked with no DC, state 0 (the combo button state 1) and the true size.
  for (const auto& call : Fake.CallsOf("Size")) {
    EXPECT_EQ(call.State, call.ClassName == "ComboBox" ? 1 : 0) << call.ClassName << call.Part;
    EXPECT_EQ(call.Flags, DWORD(TS_TRUE));
  }

  // A part the style cannot size, or a class it cannot open, answers 0 (never below).
  Fake.PartSizes.clear();
  Fake.Classes.erase("ExplorerBar");
  CloseAllThemeHandles();
  for (int kind : {0, 1, 2, 3, 5, 6, 7, 8, 9, 12, 23, 28})
    EXPECT_EQ(Theme.GetSize(uint8_t(kind)), 0) << kind;
}

TEST_F(TeThemeXPTest, ColoursAreSystemColoursAndFontsTahoma) {
  const std::pair<int, TColor> colours[] = {
      {2, clBlack},          {3, clCaptionText},         {5, clInactiveCaptionText},
      {6, clWindow},         {7, clWindowFrame},         {8, clHighlight},
      {13, clHighlight},     {15, clHighlight},          {17, clHighlight},
      {9, clBtnShadow},      {10, clBtnShadow},          {22, clBtnShadow},
      {11, clBtnFace},       {14, clMenu},               {16, clMenu},
      {18, clWindowText},    {20, clWindowText},         {23, clWindowText},
      {19, clHighlightText}, {21, clHighlightText},      {24, TColor(0xFFCE95)},
      {25, TColor(0xC56A31)}};
  for (const auto& [kind, colour] : colours)
    EXPECT_EQ(Theme.GetColor(uint8_t(kind)), colour) << kind;
  for (int kind : {0, 1, 4, 12, 26, 27, 200})
    EXPECT_EQ(Theme.GetColor(uint8_t(kind)), kThemeDefaultColor) << kind;
  // No hue or brightness shift.
  Theme.SetDeltaHue(40);
  Theme.SetDeltaBrightness(-30);
  EXPECT_EQ(Theme.GetColor(24), TColor(0xFFCE95));

  for (int kind : {0, 1, 2, 7}) {
    std::string name;
    Theme.GetFontName(uint8_t(kind), name);
    EXPECT_EQ(name, "Tahoma");
    EXPECT_EQ(Theme.GetFontSize(uint8_t(kind)), kind == 0 ? 10 : 8);
    EXPECT_EQ(Theme.GetFontBold(uint8_t(kind)), kind <= 1);
  }
  EXPECT_EQ(TTeThemeXP::ThemeName(), "XP ThemeAPI");
  EXPECT_EQ(TTeThemeXP::MetaClass().ThemeName(), "XP ThemeAPI");
}

// ---- Parts ---------------------------------------------------------------------------------

TEST_F(TeThemeXPTest, EveryPartIsAskedForWithThePartAndStateOfItsOperation) {
  const TRect r{10, 10, 60, 40};
  struct TCase {
    const char* What;
    std::function<void(TTeThemeXP&, TKsBitmap&)> Draw;
    const char* Class;
    int Part, State;
    TRect Rect;
  };
  const TCase cases[] = {
      {"close", [&](auto& t, auto& b) { t.DrawCaptionButton(b, r, 0, false, false, true, kbsStandard); }, "Window", WP_CLOSEBUTTON, CBS_NORMAL, r},
      {"tool close", [&](auto& t, auto& b) { t.DrawCaptionButton(b, r, 0, true, false, true, kbsToolWindow); }, "Window", WP_SMALLCLOSEBUTTON, CBS_HOT, r},
      {"tool minimize", [&](auto& t, auto& b) { t.DrawCaptionButton(b, r, 2, false, false, true, kbsToolWindow); }, "Window", WP_MINBUTTON, CBS_NORMAL, r},
      {"help pressed", [&](auto& t, auto& b) { t.DrawCaptionButton(b, r, 1, true, true, true, kbsStandard); }, "Window", WP_HELPBUTTON, CBS_PUSHED, r},
      {"maximize inactive", [&](auto& t, auto& b) { t.DrawCaptionButton(b, r, 3, true, true, false, kbsStandard); }, "Window", WP_MAXBUTTON, CBS_DISABLED, r},
      {"restore", [&](auto& t, auto& b) { t.DrawCaptionButton(b, r, 4, false, false, true, kbsStandard); }, "Window", WP_RESTOREBUTTON, CBS_NORMAL, r},
      {"button", [&](auto& t, auto& b) { t.DrawButton(b, 50, 30, 0); }, "Button", BP_PUSHBUTTON, PBS_NORMAL, {0, 0, 50, 30}},
      {"button hot", [&](auto& t, auto& b) { t.DrawButton(b, 50, 30, 1); }, "Button", BP_PUSHBUTTON, PBS_HOT, {0, 0, 50, 30}},
      {"button pressed", [&](auto& t, auto& b) { t.DrawButton(b, 50, 30, 2); }, "Button", BP_PUSHBUTTON, PBS_PRESSED, {0, 0, 50, 30}},
      {"button disabled", [&](auto& t, auto& b) { t.DrawButton(b, 50, 30, 3); }, "Button", BP_PUSHBUTTON, PBS_DISABLED, {0, 0, 50, 30}},
      {"button focused", [&](auto& t, auto& b) { t.DrawButton(b, 50, 30, 4); }, "Button", BP_PUSHBUTTON, PBS_DEFAULTED, {0, 0, 50, 30}},
      {"button default", [&](auto& t, auto& b) { t.DrawButton(b, 50, 30, 5); }, "Button", BP_PUSHBUTTON, PBS_DEFAULTED, {0, 0, 50, 30}},
      {"check unchecked", [&](auto& t, auto& b) { t.DrawCheckBox(b, r, 0, 0); }, "Button", BP_CHECKBOX, CBS_UNCHECKEDNORMAL, r},
      {"check checked hot", [&](auto& t, auto& b) { t.DrawCheckBox(b, r, 1, 1); }, "Button", BP_CHECKBOX, CBS_CHECKEDHOT, r},
      {"check mixed disabled", [&](auto& t, auto& b) { t.DrawCheckBox(b, r, 3, 2); }, "Button", BP_CHECKBOX, CBS_MIXEDDISABLED, r},
      {"radio pressed", [&](auto& t, auto& b) { t.DrawRadioButton(b, r, 2, false); }, "Button", BP_RADIOBUTTON, RBS_UNCHECKEDPRESSED, r},
      {"radio checked disabled", [&](auto& t, auto& b) { t.DrawRadioButton(b, r, 3, true); }, "Button", BP_RADIOBUTTON, RBS_CHECKEDDISABLED, r},
      {"thumb vertical", [&](auto& t, auto& b) { t.DrawTrackBarThumb(b, r, true, 0, 0); }, "TrackBar", TKP_THUMBVERT, TUS_NORMAL, r},
      {"thumb right", [&](auto& t, auto& b) { t.DrawTrackBarThumb(b, r, true, 1, 1); }, "TrackBar", TKP_THUMBRIGHT, TUS_HOT, r},
      {"thumb left", [&](auto& t, auto& b) { t.DrawTrackBarThumb(b, r, true, 2, 2); }, "TrackBar", TKP_THUMBLEFT, TUS_PRESSED, r},
      {"thumb", [&](auto& t, auto& b) { t.DrawTrackBarThumb(b, r, false, 0, 3); }, "TrackBar", TKP_THUMB, TUS_DISABLED, r},
      {"thumb bottom", [&](auto& t, auto& b) { t.DrawTrackBarThumb(b, r, false, 1, 0); }, "TrackBar", TKP_THUMBBOTTOM, TUS_NORMAL, r},
      {"thumb top", [&](auto& t, auto& b) { t.DrawTrackBarThumb(b, r, false, 2, 0); }, "TrackBar", TKP_THUMBTOP, TUS_NORMAL, r},
      {"track", [&](auto& t, auto& b) { t.DrawTrackBarTrack(b, r, {0, 0, 5, 5}); }, "TrackBar", TKP_TRACK, 1, r},
      {"track vertical", [&](auto& t, auto& b) { t.DrawTrackBarTrack(b, {10, 10, 20, 60}, r); }, "TrackBar", TKP_TRACKVERT, 1, {10, 10, 20, 60}},
      {"progress", [&](auto& t, auto& b) { t.DrawProgressFrame(b, r); }, "Progress", PP_BAR, 1, r},
      {"progress vertical", [&](auto& t, auto& b) { t.DrawProgressFrame(b, {0, 0, 10, 10}); }, "Progress", PP_BARVERT, 1, {0, 0, 10, 10}},
      {"chunk", [&](auto& t, auto& b) { t.DrawProgressBar(b, r, {12, 12, 30, 38}, true, false); }, "Progress", PP_CHUNK, 1, {12, 12, 30, 38}},
      {"chunk vertical", [&](auto& t, auto& b) { t.DrawProgressBar(b, {10, 10, 20, 60}, {11, 30, 19, 59}, false, true); }, "Progress", PP_CHUNKVERT, 1, {11, 30, 19, 59}},
      {"explorer header", [&](auto& t, auto& b) { t.DrawExplorerBarHeader(b, r, false); }, "ExplorerBar", EBP_SPECIALGROUPBACKGROUND, 0, r},
      {"explorer close", [&](auto& t, auto& b) { t.DrawExplorerBarButton(b, r, true, 0, true); }, "ExplorerBar", EBP_HEADERCLOSE, 1, r},
      {"explorer expand pressed", [&](auto& t, auto& b) { t.DrawExplorerBarButton(b, r, false, 2, true); }, "ExplorerBar", EBP_SPECIALGROUPEXPAND, 3, r},
      {"explorer collapse", [&](auto& t, auto& b) { t.DrawExplorerBarButton(b, r, false, 1, false); }, "ExplorerBar", EBP_SPECIALGROUPCOLLAPSE, 1, r},
      {"scroll track", [&](auto& t, auto& b) { t.DrawScrollBarTrack(b, r, false); }, "ScrollBar", SBP_LOWERTRACKHORZ, 1, r},
      {"scroll track vertical", [&](auto& t, auto& b) { t.DrawScrollBarTrack(b, r, true); }, "ScrollBar", SBP_LOWERTRACKVERT, 1, r},
      {"arrow up", [&](auto& t, auto& b) { t.DrawScrollBarArrowButton(b, r, true, true, 0); }, "ScrollBar", SBP_ARROWBTN, ABS_UPNORMAL, r},
      {"arrow down hot", [&](auto& t, auto& b) { t.DrawScrollBarArrowButton(b, r, true, false, 1); }, "ScrollBar", SBP_ARROWBTN, ABS_DOWNHOT, r},
      {"arrow left pressed", [&](auto& t, auto& b) { t.DrawScrollBarArrowButton(b, r, false, true, 2); }, "ScrollBar", SBP_ARROWBTN, ABS_LEFTPRESSED, r},
      {"arrow right disabled", [&](auto& t, auto& b) { t.DrawScrollBarArrowButton(b, r, false, false, 3); }, "ScrollBar", SBP_ARROWBTN, ABS_RIGHTDISABLED, r},
      {"arrow odd state", [&](auto& t, auto& b) { t.DrawScrollBarArrowButton(b, r, true, true, 7); }, "ScrollBar", SBP_ARROWBTN, ABS_UPNORMAL, r},
      {"horizontal arrow", [&](auto& t, auto& b) { t.DrawScrollBarHorzArrowButton(b, r, false, true, 1); }, "ScrollBar", SBP_ARROWBTN, ABS_RIGHTHOT, r},
      {"tab pane", [&](auto& t, auto& b) { t.DrawTabBackground(b, r); }, "Tab", TABP_PANE, 1, r},
      {"tab", [&](auto& t, auto& b) { t.DrawTab(b, r, 2, 0); }, "Tab", TABP_TABITEM, TIS_NORMAL, r},
      {"tab hot", [&](auto& t, auto& b) { t.DrawTab(b, r, 0, 1); }, "Tab", TABP_TABITEM, TIS_HOT, r},
      {"tab focused", [&](auto& t, auto& b) { t.DrawTab(b, r, 0, 2); }, "Tab", TABP_TABITEM, TIS_FOCUSED, r},
      {"tab disabled", [&](auto& t, auto& b) { t.DrawTab(b, r, 0, 3); }, "Tab", TABP_TABITEM, TIS_DISABLED, r},
      {"tab selected", [&](auto& t, auto& b) { t.DrawTab(b, r, 0, 4); }, "Tab", TABP_TABITEM, TIS_SELECTED, r},
      {"combo", [&](auto& t, auto& b) { t.DrawComboButton(b, r, 0); }, "ComboBox", CP_DROPDOWNBUTTON, CBXS_NORMAL, r},
      {"combo hot", [&](auto& t, auto& b) { t.DrawComboButton(b, r, 1); }, "ComboBox", CP_DROPDOWNBUTTON, CBXS_HOT, r},
      {"combo pressed", [&](auto& t, auto& b) { t.DrawComboButton(b, r, 2); }, "ComboBox", CP_DROPDOWNBUTTON, CBXS_PRESSED, r},
      {"combo disabled", [&](auto& t, auto& b) { t.DrawComboButton(b, r, 3); }, "ComboBox", CP_DROPDOWNBUTTON, CBXS_DISABLED, r},
      {"size box", [&](auto& t, auto& b) { t.DrawScrollBarSizeBox(b, r, 0, false); }, "ScrollBar", SBP_ARROWBTN, 1, r},
      {"size box pressed", [&](auto& t, auto& b) { t.DrawScrollBarSizeBox(b, r, 2, true); }, "ScrollBar", SBP_ARROWBTN, 3, r},
  };
  for (const TCase& c : cases) {
    Prepare(Dest, 200, 100, kBack);
    Fake.ClearCalls();
    c.Draw(Theme, Dest);
    const auto draw = OnlyDraw();
    EXPECT_EQ(draw.ClassName, c.Class) << c.What;
    EXPECT_EQ(draw.Part, c.Part) << c.What;
    EXPECT_EQ(draw.State, c.State) << c.What;
    EXPECT_EQ(draw.Rect, c.Rect) << c.What;
    GdiFlush();
    EXPECT_EQ(Px(c.Rect.left, c.Rect.top), PartPixel(c.Part, c.State)) << c.What;
    EXPECT_EQ(Px(c.Rect.right - 1, c.Rect.bottom - 1), PartPixel(c.Part, c.State)) << c.What;
    EXPECT_EQ(Px(c.Rect.right, c.Rect.bottom), RGBOf(kBack)) << c.What;
  }
  EXPECT_EQ(Fake.Closed, 0);
}

TEST_F(TeThemeXPTest, CaptionButtonsWithoutAPartAndOutOfRangeStatesDrawNothing) {
  const TRect r{10, 10, 30, 30};
  for (int kind : {5, 6, 7, -1})
    Theme.DrawCaptionButton(Dest, r, kind, false, false, true, kbsStandard);
  Theme.DrawCheckBox(Dest, r, 4, 0);
  Theme.DrawCheckBox(Dest, r, 0, 3);
  Theme.DrawRadioButton(Dest, r, -1, true);
  EXPECT_TRUE(Fake.Draws().empty());
  ExpectPixels(Dest, [](int, int) { return kBack; });
}

TEST_F(TeThemeXPTest, FrameIsCaptionAndThreeBordersAroundTheClientRect) {
  const TRect client{4, 30, 196, 96};
  for (bool active : {true, false}) {
    Fake.ClearCalls();
    Prepare(Dest, 200, 100, kBack);
    Theme.DrawFormFrame(Dest, 200, 100, client, active, kbsToolWindow);
    const int state = active ? 1 : 2;
    const auto draws = Fake.Draws();
    ASSERT_EQ(draws.size(), 4u);
    const std::pair<int, TRect> parts[] = {{WP_CAPTION, {0, 0, 200, 30}},
                                           {WP_FRAMELEFT, {0, 30, 4, 96}},
                                           {WP_FRAMERIGHT, {196, 30, 200, 96}},
                                           {WP_FRAMEBOTTOM, {0, 96, 200, 100}}};
    for (size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(draws[i].ClassName, "Window");
      EXPECT_EQ(draws[i].Part, parts[i].first);
      EXPECT_EQ(draws[i].State, state);
      EXPECT_EQ(draws[i].Rect, parts[i].second);
    }
    ExpectPixels(Dest, [&](int x, int y) {
      for (const auto& [part, rect] : parts)
        if (Inside(rect, x, y))
          return PartPixel(part, state) | (Dest.GetPixel(x, y) & 0xFF000000);
      return kBack;
    });
  }
}

TEST_F(TeThemeXPTest, ToolButtonStatesFollowTheTable) {
  struct TCase {
    int State;
    bool Flat, Checked;
    int Expected;
  };
  const TCase cases[] = {
      {0, true, true, TS_CHECKED},   {0, true, false, TS_NORMAL},     {0, false, true, TS_CHECKED},
      {0, false, false, TS_HOT},     {1, true, true, TS_HOTCHECKED},  {1, true, false, TS_HOT},
      {1, false, true, TS_HOTCHECKED}, {1, false, false, TS_HOT},     {2, true, true, TS_PRESSED},
      {2, true, false, TS_PRESSED},  {2, false, true, TS_CHECKED},    {2, false, false, TS_PRESSED},
      {3, true, false, TS_DISABLED}, {3, false, true, TS_DISABLED},   {9, false, false, TS_NORMAL}};
  const TRect r{0, 0, 24, 22};
  for (const TCase& c : cases)
    for (int part : {TP_BUTTON, TP_SPLITBUTTONDROPDOWN}) {
      Fake.ClearCalls();
      if (part == TP_BUTTON)
        Theme.DrawToolButton(Dest, r, c.State, c.Flat, c.Checked);
      else
        Theme.DrawToolBarPart(Dest, r, c.State, c.Flat, c.Checked);
      const auto draw = OnlyDraw();
      EXPECT_EQ(draw.ClassName, "Toolbar");
      EXPECT_EQ(draw.Part, part);
      EXPECT_EQ(draw.State, c.Expected) << c.State << " flat " << c.Flat << " checked " << c.Checked;
    }
}

TEST_F(TeThemeXPTest, ScrollThumbIsTheButtonThenItsGripper) {
  const TRect r{0, 0, 16, 60};
  for (int state : {0, 1, 2, 3, 6})
    for (bool vertical : {true, false}) {
      Fake.ClearCalls();
      Theme.DrawScrollBarThumb(Dest, r, vertical, state);
      const auto draws = Fake.Draws();
      ASSERT_EQ(draws.size(), 2u);
      const int expected = state <= 3 ? state + 1 : 1;
      EXPECT_EQ(draws[0].Part, vertical ? SBP_THUMBBTNVERT : SBP_THUMBBTNHORZ);
      EXPECT_EQ(draws[1].Part, vertical ? SBP_GRIPPERVERT : SBP_GRIPPERHORZ);
      for (const auto& d : draws) {
        EXPECT_EQ(d.State, expected);
        EXPECT_EQ(d.Rect, r);
        EXPECT_EQ(d.ClassName, "ScrollBar");
      }
    }
}

TEST_F(TeThemeXPTest, ExplorerBarHeaderAndGroupText) {
  Fake.PartSizes[{"ExplorerBar", EBP_NORMALGROUPHEAD}] = SIZE{10, 25};
  Theme.DrawExplorerBarHeader(Dest, {0, 0, 100, 80}, true);
  EXPECT_EQ(Fake.Draws().back().Rect, (TRect{0, 25, 100, 80}));

  Fake.ClearCalls();
  Theme.DrawExplorerBarGroup(Dest, {0, 0, 100, 25}, "Tasks");
  ASSERT_EQ(Fake.Draws().size(), 1u);
  EXPECT_EQ(Fake.Draws()[0].Part, EBP_SPECIALGROUPHEAD);
  EXPECT_EQ(Fake.Draws()[0].State, 0);
  const auto texts = Fake.CallsOf("Text");
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].Text, L" Tasks");
  EXPECT_EQ(texts[0].Part, EBP_SPECIALGROUPHEAD);
  EXPECT_EQ(texts[0].Flags, DWORD(DT_VCENTER | DT_SINGLELINE));
  EXPECT_EQ(texts[0].Rect, (TRect{0, 0, 100, 25}));

  // At most 255 characters, the leading space included.
  Fake.ClearCalls();
  Theme.DrawExplorerBarGroup(Dest, {0, 0, 100, 25}, std::string(300, 'x'));
  EXPECT_EQ(Fake.CallsOf("Text")[0].Text, L" " + std::wstring(254, L'x'));

  // Without the class: neither part nor text.
  Fake.Classes.erase("ExplorerBar");
  CloseAllThemeHandles();
  Fake.ClearCalls();
  Theme.DrawExplorerBarGroup(Dest, {0, 0, 100, 25}, "Tasks");
  EXPECT_TRUE(Fake.Draws().empty());
  EXPECT_TRUE(Fake.CallsOf("Text").empty());
}

TEST_F(TeThemeXPTest, GroupBoxLeavesTheCaptionOutAndWritesItInTheHighlightColour) {
  const TRect frame{5, 10, 150, 90}, caption{20, 4, 70, 18};
  Theme.DrawGroupBox(Dest, frame, caption, "");
  const auto draw = OnlyDraw();
  EXPECT_EQ(draw.ClassName, "Button");
  EXPECT_EQ(draw.Part, BP_GROUPBOX);
  EXPECT_EQ(draw.State, GBS_NORMAL);
  ExpectPixels(Dest, [&](int x, int y) {
    TKsColor got = Dest.GetPixel(x, y);
    TKsColor want = Inside(frame, x, y) && !Inside(caption, x, y) ? PartPixel(BP_GROUPBOX, 1)
                                                                  : RGBOf(kBack);
    return RGBOf(got) == want ? got : want;
  });

  // The caption: the same DrawText in the highlight colour, with the clipping restored.
  Prepare(Dest, 200, 100, kBack);
  Theme.DrawGroupBox(Dest, frame, caption, "Options");
  TKsBitmap expected;
  Prepare(expected, 200, 100, kBack);
  {
    HBRUSH brush = CreateSolidBrush(TFakeThemeLibrary::PartColor(BP_GROUPBOX, 1));
    RECT box = frame;
    TSaveDCGuard clip(expected.GetDC());
    ExcludeClipRect(expected.GetDC(), caption.left, caption.top, caption.right, caption.bottom);
    FillRect(expected.GetDC(), &box, brush);
    DeleteObject(brush);
  }
  expected.SetFont(Dest.GetFont());
  expected.GetFont()->SetColor(clHighlight);
  expected.DrawText("Options", caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  EXPECT_TRUE(SamePixels(Dest, expected));
  RECT clip;
  EXPECT_EQ(GetClipBox(Dest.GetDC(), &clip), SIMPLEREGION);
}

TEST_F(TeThemeXPTest, EditFrameDrawsOnlyTheTwoPixelRing) {
  const std::pair<int, int> states[] = {{0, ETS_NORMAL},   {1, ETS_HOT},      {2, ETS_NORMAL},
                                        {3, ETS_DISABLED}, {4, ETS_SELECTED}, {5, ETS_SELECTED}};
  const TRect r{10, 10, 80, 32};
  for (const auto& [state, expected] : states) {
    Prepare(Dest, 200, 100, kBack);
    Fake.ClearCalls();
    Theme.DrawEditFrame(Dest, r, state);
    const auto draw = OnlyDraw();
    EXPECT_EQ(draw.ClassName, "Edit");
    EXPECT_EQ(draw.Part, EP_EDITTEXT);
    EXPECT_EQ(draw.State, expected) << state;
    const TRect inside = Inflated(r, -2);
    ExpectPixels(Dest, [&](int x, int y) {
      TKsColor got = Dest.GetPixel(x, y);
      TKsColor want = Inside(r, x, y) && !Inside(inside, x, y) ? PartPixel(EP_EDITTEXT, expected)
                                                               : RGBOf(kBack);
      return RGBOf(got) == want ? got : want;
    });
  }
}

TEST_F(TeThemeXPTest, BackgroundsReBarAndFramesByStateAreTheThemesOwnFills) {
  const TRect r{10, 10, 60, 40};
  const TKsColor face = RGBOf(Color(11));
  Theme.FillBackground(Dest, r);
  ExpectPixels(Dest, [&](int x, int y) { return Inside(r, x, y) ? (face | 0xFF000000) : kBack; });
  Prepare(Dest, 200, 100, kBack);
  Theme.FillBackground2(Dest, r);
  ExpectPixels(Dest, [&](int x, int y) { return Inside(r, x, y) ? (face | 0xFF000000) : kBack; });

  // The band: the face, a raised ring, and the style's grip one pixel in on each side.
  for (bool withReBar : {true, false}) {
    if (!withReBar) {
      Fake.Classes.erase("ReBar");
      CloseAllThemeHandles();
    }
    Prepare(Dest, 200, 100, kBack);
    Fake.ClearCalls();
    const TRect grip{10, 10, 16, 40};
    Theme.DrawReBar(Dest, r, grip);
    const TKsColor light = KsColorLighten(Color(11), 50), dark = KsColorDarken(Color(11), 50);
    const TRect gripDrawn{11, 10, 15, 40};
    ExpectPixels(Dest, [&](int x, int y) {
      if (!Inside(r, x, y))
        return kBack;
      if (withReBar && Inside(gripDrawn, x, y))
        return PartPixel(RP_GRIPPERVERT, 1) | (Dest.GetPixel(x, y) & 0xFF000000);
      if (y == r.bottom - 1 || x == r.right - 1)
        return dark;
      if (y == r.top || x == r.left)
        return light;
      return face | 0xFF000000;
    });
    if (withReBar) {
      EXPECT_EQ(OnlyDraw().ClassName, "ReBar");
      EXPECT_EQ(OnlyDraw().Part, RP_GRIPPERVERT);
    }
  }

  // Frames by state: bit 4 a ring grown by one in colour 8 around colour 11; else one fill.
  Prepare(Dest, 200, 100, kBack);
  Theme.DrawFrameByState(Dest, r, 4 | 2);
  const TRect grown = Inflated(r, 1);
  ExpectPixels(Dest, [&](int x, int y) {
    if (!Inside(grown, x, y))
      return kBack;
    bool ring = !Inside(Inflated(grown, -1), x, y);
    return ring ? Color(8) : Color(11);
  });
  for (const auto& [flags, kind] : std::vector<std::pair<int, int>>{{2, 12}, {3, 12}, {1, 8}, {0, 6}}) {
    Prepare(Dest, 200, 100, kBack);
    Theme.DrawFrameByState(Dest, r, uint8_t(flags));
    ExpectPixels(Dest, [&](int x, int y) { return Inside(r, x, y) ? Color(uint8_t(kind)) : kBack; });
  }
  EXPECT_TRUE(Fake.Draws().empty());
}

// The library's failed region call left its out-value undefined, and the caller owned a stray handle.
TEST_F(TeThemeXPTest, FormRegionIsTheStylesOrNoneOnAnyFailure) {
  TRegionHandle region(Theme.GetFormRegion(200, 120, kbsStandard));
  ASSERT_NE(region.Get(), nullptr);
  RECT box;
  EXPECT_EQ(GetRgnBox(region.Get(), &box), SIMPLEREGION);
  EXPECT_EQ(TRect(box), (TRect{0, 0, 100, 60}));  // what the fake made of (0, 0, 200, 120)
  const auto calls = Fake.CallsOf("Region");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].ClassName, "Window");
  EXPECT_EQ(calls[0].Part, WP_CAPTION);
  EXPECT_EQ(calls[0].State, 0);
  EXPECT_EQ(calls[0].Rect, (TRect{0, 0, 200, 120}));

  Fake.RegionFails = true;
  EXPECT_EQ(Theme.GetFormRegion(200, 120, kbsStandard), nullptr);
  Fake.RegionFails = false;
  Fake.Classes.erase("Window");
  CloseAllThemeHandles();
  EXPECT_EQ(Theme.GetFormRegion(200, 120, kbsStandard), nullptr);
}

TEST_F(TeThemeXPTest, AFailingDrawLeavesTheBitmapAsItWas) {
  Fake.DrawFails = true;
  Theme.DrawButton(Dest, 50, 20, 0);
  Theme.DrawCheckBox(Dest, {0, 0, 13, 13}, 0, 1);
  Theme.DrawTab(Dest, {0, 0, 40, 20}, 0, 4);
  EXPECT_EQ(Fake.Draws().size(), 3u);
  ExpectPixels(Dest, [](int, int) { return kBack; });
}

// ---- Menus ---------------------------------------------------------------------------------

namespace {

// The fixture with menu items' values and the fallback drawing made directly.
class TeThemeXPMenuTest : public TeThemeXPTest {
 protected:
  TKsBitmap Expected;
  void SetUp() override {
    TeThemeXPTest::SetUp();
    Prepare(Expected, 200, 100, kBack);
  }
  // The font of kind `kind` in the colour of kind `colour`, on the expected bitmap.
  void Font(uint8_t kind, uint8_t colour) {
    TFont* font = Expected.GetFont();
    font->SetName("Tahoma");
    font->SetSize(kind == 0 ? 10 : 8);
    font->SetStyle(kind <= 1 ? TFontStyles{fsBold} : TFontStyles{});
    font->SetColor(Theme.GetColor(colour));
  }
  // The library gives no Menu class, or a Menu class without the menu parts (Wine's).
  void WithoutMenuParts(bool classOpens) {
    if (classOpens)
      Fake.MissingParts["Menu"] = {1, 3};
    else
      Fake.Classes.erase("Menu");
    CloseAllThemeHandles();
  }
  void ExpectSame() { EXPECT_TRUE(SamePixels(Dest, Expected)); }
};

TTeItemData Item(const std::string& caption) {
  TTeItemData item;
  item.Caption = caption;
  return item;
}

}  // namespace

TEST_F(TeThemeXPMenuTest, MeasuringUsesTheMenuFontsAndTheItemHeight) {
  TTeItemData item = Item("Open");
  item.ShortCutText = "Ctrl+O";
  int w = 0, h = 0;
  Theme.MeasurePopupItemData(Dest, item, w, h);
  EXPECT_EQ(h, 22);
  Font(3, 20);
  EXPECT_EQ(w, Expected.TextWidth("Open", 0) + 42 + Expected.TextWidth("Ctrl+O", 0) + 16);
  Theme.MeasurePopupItemData(Dest, Item("-"), w, h);
  EXPECT_EQ(h, 9);
  Theme.MeasureMenuBarItemData(Dest, Item("&File"), w, h);
  Font(2, 18);
  EXPECT_EQ(w, Expected.TextWidth("&File", 0) + 12);
  EXPECT_EQ(h, 22);
  EXPECT_TRUE(Fake.Draws().empty());
}

TEST_F(TeThemeXPMenuTest, BackgroundsAndFramesWithTheStylesMenuPart) {
  Theme.DrawMenuBarBackground(Dest, 150, 20);
  auto draw = OnlyDraw();
  EXPECT_EQ(draw.ClassName, "Menu");
  EXPECT_EQ(draw.Part, 1);
  EXPECT_EQ(draw.State, 1);
  ExpectPartOnly({0, 0, 150, 20}, 1, 1);

  Prepare(Dest, 200, 100, kBack);
  Fake.ClearCalls();
  Theme.DrawPopupFrame(Dest, 120, 80);
  draw = OnlyDraw();
  EXPECT_EQ(draw.Part, 1);
  EXPECT_EQ(draw.Rect, (TRect{0, 0, 120, 80}));
  ExpectPartOnly({0, 0, 120, 80}, 1, 1);
}

TEST_F(TeThemeXPMenuTest, BackgroundsAndFramesFallBackWithoutTheMenuPart) {
  for (bool classOpens : {false, true}) {
    WithoutMenuParts(classOpens);
    Prepare(Dest, 200, 100, kBack);
    Prepare(Expected, 200, 100, kBack);
    Theme.DrawMenuBarBackground(Dest, 150, 20);
    Expected.FillRect({0, 0, 150, 20}, Color(14));
    ExpectSame();

    Prepare(Dest, 200, 100, kBack);
    Prepare(Expected, 200, 100, kBack);
    Theme.DrawPopupFrame(Dest, 120, 80);
    Expected.FrameRect({0, 0, 120, 80}, Color(13));
    Expected.FrameRect({1, 1, 119, 79}, Color(16));
    Expected.FrameRect({2, 2, 118, 78}, Color(16));
    ExpectSame();
  }
  EXPECT_TRUE(Fake.Draws().empty());  // no part drawn where the style lacks it
}

// Menu items drawn over the style's part got no caption: the part was all that was drawn.
TEST_F(TeThemeXPMenuTest, ItemsOverTheStylesPartKeepTheirCaption) {
  const TRect rect{0, 0, 150, 22};
  Theme.DrawPopupItemData(Dest, Item("Open"), rect, true, false);
  auto draw = OnlyDraw();
  EXPECT_EQ(draw.Part, 1);
  EXPECT_EQ(draw.State, 2);
  // The part, then the caption from Left + 26 in the menu text colour.
  {
    HBRUSH brush = CreateSolidBrush(TFakeThemeLibrary::PartColor(1, 2));
    RECT box = rect;
    FillRect(Expected.GetDC(), &box, brush);
    DeleteObject(brush);
  }
  Font(3, 20);
  Expected.DrawText("Open", {26, 0, 150, 22}, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  ExpectSame();
  int caption = 0;
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = 26; x < rect.right; ++x)
      caption += Px(x, y) != PartPixel(1, 2);
  EXPECT_GT(caption, 0);

  // A menu-bar item: part 3, hot when selected or not tracking, and its caption.
  for (const auto& [selected, pressed, state] :
       std::vector<std::tuple<bool, bool, int>>{{false, false, 1}, {true, false, 2}, {false, true, 2}}) {
    Prepare(Dest, 200, 100, kBack);
    Prepare(Expected, 200, 100, kBack);
    Fake.ClearCalls();
    Theme.DrawMenuBarItemData(Dest, Item("&File"), {0, 0, 50, 22}, selected, pressed);
    draw = OnlyDraw();
    EXPECT_EQ(draw.Part, 3);
    EXPECT_EQ(draw.State, state);
    HBRUSH brush = CreateSolidBrush(TFakeThemeLibrary::PartColor(3, state));
    RECT box{0, 0, 50, 22};
    FillRect(Expected.GetDC(), &box, brush);
    DeleteObject(brush);
    Font(2, 18);
    Expected.DrawText("&File", {1, 1, 49, 21}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ExpectSame();
  }

  // A separator: its shadow line over the part.
  Prepare(Dest, 200, 100, kBack);
  Theme.DrawPopupItemData(Dest, Item("-"), {0, 0, 100, 9}, false, false);
  const TKsColor shadow = RGBOf(ColorToKsColor(clBtnShadow, 255));
  ExpectPixels(Dest, [&](int x, int y) {
    TKsColor want = x >= 100 || y >= 9 ? RGBOf(kBack)
                    : y == 4 && x >= 2 && x < 98 ? shadow
                                                 : PartPixel(1, 1);
    TKsColor got = Dest.GetPixel(x, y);
    return RGBOf(got) == want ? got : want;
  });

  // An item with sub-items: the arrow's ink only, over the part.
  Prepare(Dest, 200, 100, kBack);
  TTeItemData more = Item("More");
  more.HasSubItems = true;
  Theme.DrawPopupItemData(Dest, more, rect, false, false);
  GdiFlush();
  int ink = 0, part = 0;
  const TKsColor fore = RGBOf(Color(20)), under = PartPixel(1, 1);
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.right - 18; x < rect.right - 2; ++x) {
      TKsColor c = Px(x, y);
      ink += c == fore;
      part += c == under;
      EXPECT_TRUE(c == fore || c == under) << x << ", " << y;
    }
  EXPECT_GT(ink, 0);
  EXPECT_GT(part, ink);
}

TEST_F(TeThemeXPMenuTest, ItemsWithoutTheMenuPartAreDrawnAsTheFallbackSays) {
  for (bool classOpens : {false, true}) {
    WithoutMenuParts(classOpens);
    const TRect rect{0, 0, 150, 22};

    // A separator: colour 16, a shadow line 4 rows down and 2 pixels in.
    Prepare(Dest, 200, 100, kBack);
    Prepare(Expected, 200, 100, kBack);
    Theme.DrawPopupItemData(Dest, Item("-"), {0, 0, 100, 9}, false, false);
    Expected.FillRect({0, 0, 100, 9}, Color(16));
    Expected.FillRect({2, 4, 98, 5}, ColorToKsColor(clBtnShadow, 255));
    ExpectSame();

    // Selected: colour 17 framed in 13, caption in colour 21.
    Prepare(Dest, 200, 100, kBack);
    Prepare(Expected, 200, 100, kBack);
    Theme.DrawPopupItemData(Dest, Item("Open"), rect, true, false);
    Expected.FillRect(rect, Color(17));
    Expected.FrameRect(rect, Color(13));
    Font(3, 21);
    Expected.DrawText("Open", {26, 0, 150, 22}, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    ExpectSame();

    // Not selected, checked, with a short cut: colour 16, the check mark, caption in 20.
    Prepare(Dest, 200, 100, kBack);
    Prepare(Expected, 200, 100, kBack);
    TTeItemData item = Item("Save");
    item.Checked = true;
    item.ShortCutText = "Ctrl+S";
    Theme.DrawPopupItemData(Dest, item, rect, false, false);
    Expected.FillRect(rect, Color(16));
    DrawMenuCheckMark(Expected, {0, 0, 22, 22});
    Font(3, 20);
    Expected.DrawText("Save", {26, 0, 150, 22}, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    Expected.DrawText("Ctrl+S", {26, 0, 128, 22}, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    ExpectSame();

    // Disabled: the caption in colour 22.
    Prepare(Dest, 200, 100, kBack);
    Prepare(Expected, 200, 100, kBack);
    item = Item("Gone");
    item.Enabled = false;
    Theme.DrawPopupItemData(Dest, item, rect, false, false);
    Expected.FillRect(rect, Color(16));
    Font(3, 22);
    Expected.DrawText("Gone", {26, 0, 150, 22}, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    ExpectSame();

    // Menu-bar items: colour 14, and selected colour 15 inside with the caption in 19.
    for (bool selected : {false, true}) {
      Prepare(Dest, 200, 100, kBack);
      Prepare(Expected, 200, 100, kBack);
      Theme.DrawMenuBarItemData(Dest, Item("&Edit"), {0, 0, 50, 22}, selected, true);
      Expected.FillRect({0, 0, 50, 22}, Color(14));
      if (selected)
        Expected.FillRect({1, 1, 49, 21}, Color(15));
      Font(2, selected ? 19 : 18);
      Expected.DrawText("&Edit", {1, 1, 49, 21}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      ExpectSame();
    }

    // On a control bar a selected item is a tool button under the caption in colour 18.
    Prepare(Dest, 200, 100, kBack);
    Prepare(Expected, 200, 100, kBack);
    TTeItemData onBar = Item("&View");
    onBar.OnControlBar = true;
    Fake.ClearCalls();
    Theme.DrawMenuBarItemData(Dest, onBar, {0, 0, 50, 22}, true, false);
    Expected.FillRect({0, 0, 50, 22}, Color(11));
    {
      HBRUSH brush = CreateSolidBrush(TFakeThemeLibrary::PartColor(TP_BUTTON, TS_PRESSED));
      RECT box{1, 1, 49, 21};
      FillRect(Expected.GetDC(), &box, brush);
      DeleteObject(brush);
    }
    Font(2, 18);
    Expected.DrawText("&View", {1, 1, 49, 21}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ExpectSame();
    ASSERT_EQ(Fake.Draws().size(), 1u);
    EXPECT_EQ(Fake.Draws()[0].ClassName, "Toolbar");
    EXPECT_EQ(Fake.Draws()[0].State, TS_PRESSED);  // not pressed: state 2, raised, unchecked
  }
}

TEST_F(TeThemeXPMenuTest, AFailingMenuPartFallsBackToo) {
  Fake.DrawFails = true;
  Theme.DrawPopupItemData(Dest, Item("Open"), {0, 0, 150, 22}, false, false);
  Expected.FillRect({0, 0, 150, 22}, Color(16));
  Font(3, 20);
  Expected.DrawText("Open", {26, 0, 150, 22}, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  ExpectSame();
}

TEST_F(TeThemeXPMenuTest, MenuBarButtonsAreTheStylesMdiButtons) {
  const TRect rect{10, 2, 30, 20};
  const std::pair<int, int> kinds[] = {
      {1, WP_MDICLOSEBUTTON}, {2, WP_MDIRESTOREBUTTON}, {3, WP_MDIMINBUTTON}};
  for (const auto& [kind, part] : kinds)
    for (const auto& [selected, pressed, state] : std::vector<std::tuple<bool, bool, int>>{
             {false, false, 1}, {false, true, 2}, {true, false, 3}, {true, true, 3}}) {
      TTeItemData item;
      item.MDIButtonKind = TKsMDIButtonKind(kind);
      Prepare(Dest, 200, 100, kBack);
      Fake.ClearCalls();
      Theme.DrawMenuBarButtonData(Dest, item, rect, selected, pressed);
      const auto draw = OnlyDraw();
      EXPECT_EQ(draw.ClassName, "Window");
      EXPECT_EQ(draw.Part, part);
      EXPECT_EQ(draw.State, state);
      ExpectPartOnly({11, 3, 29, 19}, part, state);
    }

  // The child's icon cell: colour 15 when selected, else 14; no part.
  for (bool selected : {false, true}) {
    TTeItemData icon;
    icon.MDIButtonKind = mbkChildIcon;
    Prepare(Dest, 200, 100, kBack);
    Fake.ClearCalls();
    Theme.DrawMenuBarButtonData(Dest, icon, rect, selected, false);
    EXPECT_TRUE(Fake.Draws().empty());
    const TKsColor want = Color(selected ? 15 : 14);
    ExpectPixels(Dest, [&](int x, int y) { return Inside(rect, x, y) ? want : kBack; });
  }
}
