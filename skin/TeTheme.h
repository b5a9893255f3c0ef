// TTeTheme: the drawing contract of the skin library. A theme draws every part of a
// skinned window or control into a TKsBitmap and answers size, colour and font queries
// by small kind numbers. This base draws nothing and answers 0, empty text or false; the
// concrete themes override what they draw. Themes are made only by class, through their
// metaclass (TTeThemeClass), which also answers the class-level ThemeName; the
// process-wide theme registry lists the classes in registration order.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Colors.h"
#include "classlib/Controls.h"
#include "classlib/Geometry.h"
#include "classlib/Persistent.h"
#include "classlib/Win.h"
#include "skin/KsBorderStyle.h"
#include "skin/KsMDIButtonKind.h"

class TKsBitmap;
class TKsCustomItem;
class TTeTheme;
struct TTeItemData;

// The metaclass of the theme family: the virtual constructor and the theme's name.
// The colour the themes answer for a kind their table leaves out: the bits of the
// skin's shared red (KsColorRed, ARGB 255, 255, 0, 0) taken as a colour.
constexpr TColor kThemeDefaultColor = static_cast<TColor>(0xFFFF0000u);

// The glyph of a caption button, the kind DrawCaptionButton draws; other values draw
// what each theme says.
enum TTeCaptionButtonKind : int {
  cbkClose, cbkHelp, cbkMinimize, cbkMaximize, cbkRestore, cbkRollUp, cbkRollDown, cbkTray
};

// The states a theme draws a push button, a check or radio mark and the other control
// parts in (each operation says which it takes); a push button may also be focused or
// the default button.
enum TTeDrawState : int { tdsNormal, tdsHot, tdsPressed, tdsDisabled, tdsFocused, tdsDefault };

// The shape of a track bar's thumb (DrawTrackBarThumb): plain, or pointing to the
// bottom (horizontal bar) or right (vertical bar), or to the top or left.
enum TTeThumbShape : int { thsPlain, thsBottomRight, thsTopLeft };

// The states of a tab (DrawTab).
enum TTeTabState : int { ttsNormal, ttsHot, ttsFocused, ttsDisabled, ttsSelected };

class TTeThemeClass : public TMetaClass {
 public:
  using TMetaClass::TMetaClass;
  virtual TTeTheme* Create() const = 0;
  virtual std::string ThemeName() const = 0;
};

class TTeTheme : public TPersistent {
  KIVO_CLASS(TTeTheme, TPersistent)

 public:
  template <class T>
  class TMetaFor : public TTeThemeClass {
   public:
    using TTeThemeClass::TTeThemeClass;
    TTeTheme* Create() const override {
      if constexpr (std::is_abstract_v<T> || !std::is_default_constructible_v<T>)
        AbstractError();
      else
        return new T();
    }
    std::string ThemeName() const override { return T::ThemeName(); }
    TObject* NewInstance() const override { return Create(); }
  };

  TTeTheme() = default;
  ~TTeTheme() override = default;

  // The theme's class as a theme class reference.
  const TTeThemeClass* ThemeClass() const {
    return static_cast<const TTeThemeClass*>(ClassType());
  }

  int GetDeltaHue() const { return FDeltaHue; }
  int GetDeltaBrightness() const { return FDeltaBrightness; }
  TBiDiMode GetBiDiMode() const { return FBiDiMode; }
  // A different value is stored and re-applied through Changed; an equal one does nothing.
  void SetDeltaHue(int value);
  void SetDeltaBrightness(int value);
  void SetBiDiMode(TBiDiMode value) { FBiDiMode = value; }

  // DrawText flags for the theme's own text, adjusted for right-to-left output.
  UINT DrawTextBiDiModeFlags(UINT flags) const;

  // 1: re-apply hue and brightness.
  virtual void Changed() {}
  // 3-7: metrics, colours and fonts by kind.
  virtual int GetSize(uint8_t kind) { return 0; }
  virtual TColor GetColor(uint8_t kind) { return 0; }
  virtual void GetFontName(uint8_t kind, std::string& name) { name.clear(); }
  virtual int GetFontSize(uint8_t kind) { return 0; }
  virtual bool GetFontBold(uint8_t kind) { return false; }
  // 8-9: form frames. The caption button's kind is a TTeCaptionButtonKind.
  virtual void DrawCaptionButton(TKsBitmap& bitmap, const TRect& rect, int kind, bool hot,
                                 bool pressed, bool active, TKsBorderStyle borderStyle) {}
  virtual void DrawFormFrame(TKsBitmap& bitmap, int width, int height, const TRect& clientRect,
                             bool active, TKsBorderStyle borderStyle) {}
  // 10-16: menus. The item-taking operations hand the item's values (ThemeItemData) to
  // the value-taking ones, which the themes draw.
  virtual void MeasureMenuBarItem(TKsBitmap& bitmap, TKsCustomItem& item, int& width,
                                  int& height);
  virtual void MeasurePopupItem(TKsBitmap& bitmap, TKsCustomItem& item, int& width,
                                int& height);
  virtual void DrawMenuBarBackground(TKsBitmap& bitmap, int width, int height) {}
  virtual void DrawMenuBarItem(TKsBitmap& bitmap, TKsCustomItem& item, const TRect& rect,
                               bool selected, bool pressed);
  virtual void DrawMenuBarButton(TKsBitmap& bitmap, TKsCustomItem& item, const TRect& rect,
                                 bool selected, bool pressed);
  virtual void DrawPopupFrame(TKsBitmap& bitmap, int width, int height) {}
  virtual void DrawPopupItem(TKsBitmap& bitmap, TKsCustomItem& item, const TRect& rect,
                             bool selected, bool pressed);
  virtual void MeasureMenuBarItemData(TKsBitmap& bitmap, const TTeItemData& item, int& width,
                                      int& height) {}
  virtual void MeasurePopupItemData(TKsBitmap& bitmap, const TTeItemData& item, int& width,
                                    int& height) {}
  virtual void DrawMenuBarItemData(TKsBitmap& bitmap, const TTeItemData& item,
                                   const TRect& rect, bool selected, bool pressed) {}
  virtual void DrawMenuBarButtonData(TKsBitmap& bitmap, const TTeItemData& item,
                                     const TRect& rect, bool selected, bool pressed) {}
  virtual void DrawPopupItemData(TKsBitmap& bitmap, const TTeItemData& item, const TRect& rect,
                                 bool selected, bool pressed) {}
  // 17-19: buttons. The states are TTeDrawState values; a check box's check state is a
  // TCheckBoxState (unchecked, checked, grayed), its mark filling `rect` when that is
  // larger than the theme's mark size (a box shown at a higher density).
  virtual void DrawButton(TKsBitmap& bitmap, int width, int height, int state) {}
  virtual void DrawCheckBox(TKsBitmap& bitmap, const TRect& rect, int drawState,
                            int checkState) {}
  virtual void DrawRadioButton(TKsBitmap& bitmap, const TRect& rect, int drawState,
                               bool checked) {}
  // 20-26: track bars, progress bars, explorer bars.
  virtual void DrawTrackBarThumb(TKsBitmap& bitmap, const TRect& rect, bool vertical, int shape,
                                 int state) {}
  virtual void DrawTrackBarTrack(TKsBitmap& bitmap, const TRect& rect,
                                 const TRect& selectionRect) {}
  virtual void DrawProgressFrame(TKsBitmap& bitmap, const TRect& rect) {}
  virtual void DrawProgressBar(TKsBitmap& bitmap, const TRect& rect, const TRect& barRect,
                               bool vertical, bool smooth) {}
  virtual void DrawExplorerBarHeader(TKsBitmap& bitmap, const TRect& rect, bool flag) {}
  virtual void DrawExplorerBarGroup(TKsBitmap& bitmap, const TRect& rect,
                                    const std::string& caption) {}
  virtual void DrawExplorerBarButton(TKsBitmap& bitmap, const TRect& rect, bool close,
                                     int state, bool down) {}
  // 27: group box.
  virtual void DrawGroupBox(TKsBitmap& bitmap, const TRect& rect, const TRect& captionRect,
                            const std::string& caption) {}
  // 28-33: scroll bars and tabs.
  virtual void DrawScrollBarTrack(TKsBitmap& bitmap, const TRect& rect, bool pressed) {}
  virtual void DrawScrollBarArrowButton(TKsBitmap& bitmap, const TRect& rect, bool vertical,
                                        bool towardStart, int state) {}
  virtual void DrawScrollBarThumb(TKsBitmap& bitmap, const TRect& rect, bool vertical,
                                  int state) {}
  virtual void DrawTabBackground(TKsBitmap& bitmap, const TRect& rect) {}
  virtual void DrawTab(TKsBitmap& bitmap, const TRect& rect, int position, int state) {}
  virtual void DrawScrollBarHorzArrowButton(TKsBitmap& bitmap, const TRect& rect,
                                            bool towardStart, bool flag, int state) {}
  // 34-41: edits, combo boxes, tool bars, backgrounds, control bars.
  virtual void DrawEditFrame(TKsBitmap& bitmap, const TRect& rect, int state) {}
  virtual void DrawComboButton(TKsBitmap& bitmap, const TRect& rect, int state) {}
  virtual void DrawToolButton(TKsBitmap& bitmap, const TRect& rect, int state, bool flat,
                              bool checked) {}
  virtual void DrawToolBarPart(TKsBitmap& bitmap, const TRect& rect, int state, bool flat,
                               bool down) {}
  virtual void FillBackground(TKsBitmap& bitmap, const TRect& rect) {}
  virtual void DrawReBar(TKsBitmap& bitmap, const TRect& rect, const TRect& gripRect) {}
  virtual void FillBackground2(TKsBitmap& bitmap, const TRect& rect) {}
  virtual void DrawScrollBarSizeBox(TKsBitmap& bitmap, const TRect& rect, int state,
                                    bool flag) {}
  // 42-43.
  virtual void DrawFrameByState(TKsBitmap& bitmap, const TRect& rect, uint8_t flags) {}
  // The window region of a form frame, owned by the caller; none (null) in the base.
  virtual HRGN GetFormRegion(int width, int height, TKsBorderStyle borderStyle) {
    return nullptr;
  }
  // 44: class-level name, answered through the metaclass.
  static std::string ThemeName() { return "No Theme"; }
  // 45: can the theme draw now.
  virtual bool IsAvailable() { return false; }

 private:
  int FDeltaHue = 0;
  int FDeltaBrightness = 0;
  TBiDiMode FBiDiMode = bdLeftToRight;
};

// The operations every complete theme draws (Luna, Highlight and the native theme),
// declared once: a theme class writes TE_THEME_DRAWING_OVERRIDES in its public part and
// defines each of them. What differs between themes (Changed, IsAvailable, ThemeName)
// it declares itself.
#define TE_THEME_DRAWING_OVERRIDES                                                              \
  int GetSize(uint8_t kind) override;                                                           \
  TColor GetColor(uint8_t kind) override;                                                       \
  void GetFontName(uint8_t kind, std::string& name) override;                                   \
  int GetFontSize(uint8_t kind) override;                                                       \
  bool GetFontBold(uint8_t kind) override;                                                      \
  void DrawCaptionButton(TKsBitmap& bitmap, const TRect& rect, int kind, bool hot, bool pressed, \
                         bool active, TKsBorderStyle borderStyle) override;                     \
  void DrawFormFrame(TKsBitmap& bitmap, int width, int height, const TRect& clientRect,         \
                     bool active, TKsBorderStyle borderStyle) override;                         \
  void DrawMenuBarBackground(TKsBitmap& bitmap, int width, int height) override;                \
  void DrawPopupFrame(TKsBitmap& bitmap, int width, int height) override;                       \
  void DrawButton(TKsBitmap& bitmap, int width, int height, int state) override;                \
  void DrawCheckBox(TKsBitmap& bitmap, const TRect& rect, int drawState, int checkState) override; \
  void DrawRadioButton(TKsBitmap& bitmap, const TRect& rect, int drawState, bool checked) override; \
  void DrawTrackBarThumb(TKsBitmap& bitmap, const TRect& rect, bool vertical, int shape,        \
                         int state) override;                                                   \
  void DrawTrackBarTrack(TKsBitmap& bitmap, const TRect& rect, const TRect& selectionRect) override; \
  void DrawProgressFrame(TKsBitmap& bitmap, const TRect& rect) override;                        \
  void DrawProgressBar(TKsBitmap& bitmap, const TRect& rect, const TRect& barRect, bool vertical, \
                       bool smooth) override;                                                   \
  void DrawExplorerBarHeader(TKsBitmap& bitmap, const TRect& rect, bool flag) override;         \
  void DrawExplorerBarGroup(TKsBitmap& bitmap, const TRect& rect, const std::string& caption) override; \
  void DrawExplorerBarButton(TKsBitmap& bitmap, const TRect& rect, bool close, int state,       \
                             bool down) override;                                               \
  void DrawGroupBox(TKsBitmap& bitmap, const TRect& rect, const TRect& captionRect,             \
                    const std::string& caption) override;                                       \
  void DrawScrollBarTrack(TKsBitmap& bitmap, const TRect& rect, bool pressed) override;         \
  void DrawScrollBarArrowButton(TKsBitmap& bitmap, const TRect& rect, bool vertical,            \
                                bool towardStart, int state) override;                          \
  void DrawScrollBarThumb(TKsBitmap& bitmap, const TRect& rect, bool vertical, int state) override; \
  void DrawTabBackground(TKsBitmap& bitmap, const TRect& rect) override;                        \
  void DrawTab(TKsBitmap& bitmap, const TRect& rect, int position, int state) override;         \
  void DrawScrollBarHorzArrowButton(TKsBitmap& bitmap, const TRect& rect, bool towardStart,     \
                                    bool flag, int state) override;                             \
  void DrawEditFrame(TKsBitmap& bitmap, const TRect& rect, int state) override;                 \
  void DrawComboButton(TKsBitmap& bitmap, const TRect& rect, int state) override;               \
  void DrawToolButton(TKsBitmap& bitmap, const TRect& rect, int state, bool flat,               \
                      bool checked) override;                                                   \
  void DrawToolBarPart(TKsBitmap& bitmap, const TRect& rect, int state, bool flat,              \
                       bool down) override;                                                     \
  void FillBackground(TKsBitmap& bitmap, const TRect& rect) override;                           \
  void DrawReBar(TKsBitmap& bitmap, const TRect& rect, const TRect& gripRect) override;         \
  void FillBackground2(TKsBitmap& bitmap, const TRect& rect) override;                          \
  void DrawScrollBarSizeBox(TKsBitmap& bitmap, const TRect& rect, int state, bool flag) override; \
  void DrawFrameByState(TKsBitmap& bitmap, const TRect& rect, uint8_t flags) override;          \
  HRGN GetFormRegion(int width, int height, TKsBorderStyle borderStyle) override;               \
  /* Menu items by their values (the item-taking operations hand theirs over). */               \
  void MeasureMenuBarItemData(TKsBitmap& bitmap, const TTeItemData& item, int& width,           \
                              int& height) override;                                            \
  void MeasurePopupItemData(TKsBitmap& bitmap, const TTeItemData& item, int& width,             \
                            int& height) override;                                              \
  void DrawMenuBarItemData(TKsBitmap& bitmap, const TTeItemData& item, const TRect& rect,       \
                           bool selected, bool pressed) override;                               \
  void DrawMenuBarButtonData(TKsBitmap& bitmap, const TTeItemData& item, const TRect& rect,     \
                             bool selected, bool pressed) override;                             \
  void DrawPopupItemData(TKsBitmap& bitmap, const TTeItemData& item, const TRect& rect,         \
                         bool selected, bool pressed) override;

// DrawText flags adjusted for right-to-left output: alignment is right-to-left on a
// Middle-East system with bdRightToLeft (DT_RIGHT removed, or added to left-aligned
// text), reading is right-to-left on a Middle-East system with any mode but
// bdLeftToRight (DT_RTLREADING added).
UINT BiDiModeTextFlags(UINT flags, TBiDiMode mode, bool middleEast);

// The process-wide registry of theme classes, in registration order.
// Appends the class; a class registered twice is listed twice.
void RegisterTheme(const TTeThemeClass* themeClass);
int ThemeClassCount();
const TTeThemeClass* GetThemeClass(int index);
bool IsThemeRegistered(const TTeThemeClass* themeClass);
// The first registered class bearing exactly this name, or null.
const TTeThemeClass* FindThemeClass(const std::string& name);
// Empties the registry (library unload).
void UnregisterThemes();

// Start-up and shut-down of the theme unit: registers the base theme; empties the
// registry at the end.
void InitializeTeTheme();
void FinalizeTeTheme();

class TCustomImageList;

// What a theme reads of a menu item to measure and draw it: the values of one
// TKsCustomItem, taken by the item's caller.
struct TTeItemData {
  std::string Caption;       // "-" for a separator
  std::string ShortCutText;  // the short cut by name; empty without one
  bool Checked = false;
  bool Enabled = true;
  bool HasSubItems = false;
  TCustomImageList* Images = nullptr;
  int ImageIndex = -1;
  bool OnControlBar = false;  // the item's menu bar sits on a control bar
  TKsMDIButtonKind MDIButtonKind = mbkNone;
};

// The values a theme draws of `item` (its image list is the tree's, see GetImageList).
TTeItemData ThemeItemData(const TKsCustomItem& item);
