#include "skin/TeThemeXP.h"

#include <algorithm>
#include <optional>

#include "classlib/Components.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "classlib/StdCtrls.h"
#include "skin/KsItems.h"
#include "skin/TeThemeParts.h"
#include "skin/TeThemeXPImpl.h"

#include <vsstyle.h>

namespace {

// The menu parts of the first visual styles, which the platform's header names only by
// their later aliases.
constexpr int MP_MENUITEM = 1;
constexpr int MP_MENUBARITEM = 3;

constexpr TColor Rgb(int r, int g, int b) { return TColor(r | g << 8 | b << 16); }

TRect Inflated(const TRect& r, int dx, int dy) {
  return TRect{r.left - dx, r.top - dy, r.right + dx, r.bottom + dy};
}

// The cached handle of one visual-style class for the length of one operation.
class TStyleHandle {
 public:
  explicit TStyleHandle(const char* className) : FHandle(GetThemeHandle(nullptr, className)) {}
  ~TStyleHandle() { ReleaseThemeHandle(FHandle); }
  TStyleHandle(const TStyleHandle&) = delete;
  TStyleHandle& operator=(const TStyleHandle&) = delete;

  explicit operator bool() const { return FHandle != nullptr; }

  // Part `part` in state `state` over `rect` on the bitmap's device context; false when
  // there is no handle or the library fails.
  bool Draw(TKsBitmap& bitmap, int part, int state, const TRect& rect) const {
    const auto draw = ThemeLibrary().DrawThemeBackground;
    if (!FHandle || !draw)
      return false;
    const RECT box = rect;
    const HRESULT result = draw(FHandle, bitmap.GetDC(), part, state, &box, nullptr);
    // The pixels are read and written directly after this.
    GdiFlush();
    return SUCCEEDED(result);
  }

  // The style has the part (a library that cannot tell is trusted to have it).
  bool HasPart(int part) const {
    if (!FHandle)
      return false;
    const auto defined = ThemeLibrary().IsThemePartDefined;
    return !defined || defined(FHandle, part, 0) != FALSE;
  }

  // Draws the part where the style has it; false when the caller must draw it itself.
  bool DrawIfDefined(TKsBitmap& bitmap, int part, int state, const TRect& rect) const {
    return HasPart(part) && Draw(bitmap, part, state, rect);
  }

  // The part's true size in state `state`, or nothing when the library cannot give it.
  std::optional<SIZE> PartSize(int part, int state) const {
    const auto partSize = ThemeLibrary().GetThemePartSize;
    if (!FHandle || !partSize)
      return std::nullopt;
    SIZE size{0, 0};
    if (FAILED(partSize(FHandle, nullptr, part, state, nullptr, TS_TRUE, &size)))
      return std::nullopt;
    return size;
  }

  void DrawText(TKsBitmap& bitmap, int part, int state, const std::wstring& text, DWORD flags,
                const TRect& rect) const {
    const auto drawText = ThemeLibrary().DrawThemeText;
    if (!FHandle || !drawText)
      return;
    const RECT box = rect;
    drawText(FHandle, bitmap.GetDC(), part, state, text.c_str(), int(text.size()), flags, 0, &box);
    GdiFlush();
  }

  HRGN Region(int part, int state, const TRect& rect) const {
    const auto region = ThemeLibrary().GetThemeBackgroundRegion;
    if (!FHandle || !region)
      return nullptr;
    const RECT box = rect;
    HRGN result = nullptr;
    if (FAILED(region(FHandle, nullptr, part, state, &box, &result)))
      return nullptr;
    return result;
  }

 private:
  HTHEME FHandle;
};

// The part's width or height (less `less`), 0 when the style cannot give it.
int PartWidth(const char* className, int part, int state = 0, int less = 0) {
  const auto size = TStyleHandle(className).PartSize(part, state);
  return size ? std::max<int>(0, size->cx - less) : 0;
}

int PartHeight(const char* className, int part, int state = 0, int less = 0) {
  const auto size = TStyleHandle(className).PartSize(part, state);
  return size ? std::max<int>(0, size->cy - less) : 0;
}

// `text` as wide characters, at most `limit` of them.
std::wstring WideText(const std::string& text, size_t limit) {
  std::wstring wide(text.size(), L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(),
                                         int(wide.size()));
  wide.resize(std::min(length > 0 ? size_t(length) : 0, limit));
  return wide;
}

// The sub-menu arrow's ink only, in `fore`, over whatever lies under `box`.
void DrawMenuArrowInk(TKsBitmap& bitmap, const TRect& box, TKsColor fore) {
  if (RectWidth(box) < 1 || RectHeight(box) < 1)
    return;
  TKsBitmap glyph;
  glyph.SetSize(RectWidth(box), RectHeight(box));
  glyph.SetAlphaBlend(true);
  DrawMenuArrow(glyph, {0, 0, glyph.GetWidth(), glyph.GetHeight()}, KsColorTransparent, fore);
  glyph.DrawTo(bitmap, box.left, box.top);
}

}  // namespace

// ---- Tables -------------------------------------------------------------------------------

int TTeThemeXP::GetSize(uint8_t kind) {
  switch (kind) {
    case 0:
      return PartWidth("Window", WP_FRAMELEFT, 0, 1);
    case 1:
      return PartWidth("Window", WP_SMALLFRAMELEFT, 0, 1);
    case 2:
      return PartHeight("Window", WP_CAPTION);
    case 3:
      return PartHeight("Window", WP_SMALLCAPTION);
    case 4:
      return 10;
    case 5:
      return PartWidth("Window", WP_CLOSEBUTTON);
    case 6:
      return PartHeight("Window", WP_CLOSEBUTTON);
    case 7:
      return PartWidth("Window", WP_SMALLCLOSEBUTTON, 0, 1);
    case 8:
      return PartHeight("Window", WP_SMALLCLOSEBUTTON, 0, 1);
    case 9:
    case 10:
      return PartWidth("Window", WP_FRAMELEFT);
    case 11:
    case 26:
      return 2;
    case 12:
    case 13:
      return PartWidth("Window", WP_SMALLFRAMELEFT);
    case 14:
    case 21:
      return 22;
    case 15:
    case 24:
    case 25:
      return 17;
    case 16:
    case 17:
    case 18:
    case 19:
      return 16;
    case 20:
    case 29:
      return 11;
    case 22:
      return 4;
    case 23:
      return PartHeight("ExplorerBar", EBP_NORMALGROUPHEAD);
    case 27:
      return 21;
    case 28:
      return PartWidth("ComboBox", CP_DROPDOWNBUTTON, CBXS_NORMAL);
    default:
      return 0;
  }
}

TColor TTeThemeXP::GetColor(uint8_t kind) {
  switch (kind) {
    case 2:
      return clBlack;
    case 3:
      return clCaptionText;
    case 5:
      return clInactiveCaptionText;
    case 6:
      return clWindow;
    case 7:
      return clWindowFrame;
    case 8:
    case 13:
    case 15:
    case 17:
      return clHighlight;
    case 9:
    case 10:
    case 22:
      return clBtnShadow;
    case 11:
      return clBtnFace;
    case 14:
    case 16:
      return clMenu;
    case 18:
    case 20:
    case 23:
      return clWindowText;
    case 19:
    case 21:
      return clHighlightText;
    case 24:
      return Rgb(149, 206, 255);
    case 25:
      return Rgb(49, 106, 197);
    default:
      return kThemeDefaultColor;
  }
}

void TTeThemeXP::GetFontName(uint8_t kind, std::string& name) { name = "Tahoma"; }

int TTeThemeXP::GetFontSize(uint8_t kind) { return kind == 0 ? 10 : 8; }

bool TTeThemeXP::GetFontBold(uint8_t kind) { return kind <= 1; }

bool TTeThemeXP::IsAvailable() { return IsThemingAvailable(); }

// ---- Form frames --------------------------------------------------------------------------

void TTeThemeXP::DrawCaptionButton(TKsBitmap& bitmap, const TRect& rect, int kind, bool hot,
                                   bool pressed, bool active, TKsBorderStyle borderStyle) {
  int part;
  switch (kind) {
    case cbkClose:
      part = borderStyle == kbsToolWindow ? WP_SMALLCLOSEBUTTON : WP_CLOSEBUTTON;
      break;
    case cbkHelp:
      part = WP_HELPBUTTON;
      break;
    case cbkMinimize:
      part = WP_MINBUTTON;
      break;
    case cbkMaximize:
      part = WP_MAXBUTTON;
      break;
    case cbkRestore:
      part = WP_RESTOREBUTTON;
      break;
    default:
      return;  // roll up, roll down and tray have no part
  }
  int state = CBS_NORMAL;
  if (hot)
    state = CBS_HOT;
  if (pressed)
    state = CBS_PUSHED;
  if (!active)
    state = CBS_DISABLED;
  TStyleHandle("Window").Draw(bitmap, part, state, rect);
}

void TTeThemeXP::DrawFormFrame(TKsBitmap& bitmap, int width, int height, const TRect& clientRect,
                               bool active, TKsBorderStyle borderStyle) {
  const TStyleHandle window("Window");
  const int state = active ? FS_ACTIVE : FS_INACTIVE;
  const TRect& k = clientRect;
  window.Draw(bitmap, WP_CAPTION, active ? CS_ACTIVE : CS_INACTIVE, {0, 0, width, k.top});
  window.Draw(bitmap, WP_FRAMELEFT, state, {0, k.top, k.left, k.bottom});
  window.Draw(bitmap, WP_FRAMERIGHT, state, {k.right, k.top, width, k.bottom});
  window.Draw(bitmap, WP_FRAMEBOTTOM, state, {0, k.bottom, width, height});
}

// The style's caption region for the whole frame; null without a handle or when the
// library fails. Owned by the caller.
HRGN TTeThemeXP::GetFormRegion(int width, int height, TKsBorderStyle borderStyle) {
  return TStyleHandle("Window").Region(WP_CAPTION, 0, {0, 0, width, height});
}

// ---- Menus --------------------------------------------------------------------------------

void TTeThemeXP::MeasureMenuBarItemData(TKsBitmap& bitmap, const TTeItemData& item, int& width,
                                        int& height) {
  MeasureThemeMenuBarItem(*this, bitmap, item, width, height);
}

void TTeThemeXP::MeasurePopupItemData(TKsBitmap& bitmap, const TTeItemData& item, int& width,
                                      int& height) {
  MeasureThemePopupItem(*this, bitmap, item, width, height);
}

void TTeThemeXP::DrawMenuBarBackground(TKsBitmap& bitmap, int width, int height) {
  const TRect rect{0, 0, width, height};
  if (!TStyleHandle("Menu").DrawIfDefined(bitmap, MP_MENUITEM, 1, rect))
    bitmap.FillRect(rect, KsColor(14));
}

void TTeThemeXP::DrawMenuBarItemData(TKsBitmap& bitmap, const TTeItemData& item,
                                     const TRect& rect, bool selected, bool pressed) {
  const int state = selected || pressed ? 2 : 1;
  if (!TStyleHandle("Menu").DrawIfDefined(bitmap, MP_MENUBARITEM, state, rect)) {
    DrawThemeMenuBarItem(*this, bitmap, item, rect, selected, pressed, /*framed=*/false);
    return;
  }
  // The style draws the item's selected look; its caption is the plain menu text.
  SetThemeFont(*this, bitmap, 2);
  bitmap.GetFont()->SetColor(GetColor(18));
  bitmap.DrawText(item.Caption, Inflated(rect, -1, -1), DrawTextBiDiModeFlags(37));
}

void TTeThemeXP::DrawMenuBarButtonData(TKsBitmap& bitmap, const TTeItemData& item,
                                       const TRect& rect, bool selected, bool pressed) {
  int part;
  switch (item.MDIButtonKind) {
    case mbkClose:
      part = WP_MDICLOSEBUTTON;
      break;
    case mbkRestore:
      part = WP_MDIRESTOREBUTTON;
      break;
    case mbkMinimize:
      part = WP_MDIMINBUTTON;
      break;
    case mbkChildIcon:
      // The child's icon: the themed item draws the icon over this.
      bitmap.FillRect(rect, KsColor(selected ? 15 : 14));
      return;
    default:
      return;
  }
  const int state = selected ? 3 : pressed ? 2 : 1;
  TStyleHandle("Window").Draw(bitmap, part, state, Inflated(rect, -1, -1));
}

void TTeThemeXP::DrawPopupFrame(TKsBitmap& bitmap, int width, int height) {
  if (!TStyleHandle("Menu").DrawIfDefined(bitmap, MP_MENUITEM, 1, {0, 0, width, height}))
    DrawThemePopupFrame(*this, bitmap, width, height);
}

void TTeThemeXP::DrawPopupItemData(TKsBitmap& bitmap, const TTeItemData& item,
                                   const TRect& rect, bool selected, bool pressed) {
  const int state = selected || pressed ? 2 : 1;
  if (!TStyleHandle("Menu").DrawIfDefined(bitmap, MP_MENUITEM, state, rect)) {
    DrawThemePopupItem(*this, bitmap, item, rect, selected);
    return;
  }
  // Over the style's part: the separator's line, or the item's content in the plain
  // menu text colour (the style draws the selected look).
  if (item.Caption == "-") {
    TRect line = Inflated(rect, -2, -4);
    line.bottom = line.top + 1;
    bitmap.FillRect(line, ColorToKsColor(clBtnShadow, 255));
    return;
  }
  SetThemeFont(*this, bitmap, 3);
  TColor fontColor = GetColor(20);
  DrawThemePopupItemContent(*this, bitmap, item, rect, fontColor);
  if (item.HasSubItems)
    DrawMenuArrowInk(bitmap, {rect.right - 18, rect.top, rect.right - 2, rect.bottom},
                     ColorToKsColor(fontColor, 255));
}

// ---- Buttons ------------------------------------------------------------------------------

void TTeThemeXP::DrawButton(TKsBitmap& bitmap, int width, int height, int state) {
  int styleState;
  switch (state) {
    case tdsHot:
      styleState = PBS_HOT;
      break;
    case tdsPressed:
      styleState = PBS_PRESSED;
      break;
    case tdsDisabled:
      styleState = PBS_DISABLED;
      break;
    case tdsFocused:
    case tdsDefault:
      styleState = PBS_DEFAULTED;
      break;
    default:
      styleState = PBS_NORMAL;
      break;
  }
  TStyleHandle("Button").Draw(bitmap, BP_PUSHBUTTON, styleState, {0, 0, width, height});
}

void TTeThemeXP::DrawCheckBox(TKsBitmap& bitmap, const TRect& rect, int drawState,
                              int checkState) {
  // Other values would name another check state's look.
  if (drawState < tdsNormal || drawState > tdsDisabled || checkState < cbUnchecked ||
      checkState > cbGrayed)
    return;
  TStyleHandle("Button").Draw(bitmap, BP_CHECKBOX, 4 * checkState + drawState + 1, rect);
}

void TTeThemeXP::DrawRadioButton(TKsBitmap& bitmap, const TRect& rect, int drawState,
                                 bool checked) {
  if (drawState < tdsNormal || drawState > tdsDisabled)
    return;
  TStyleHandle("Button").Draw(bitmap, BP_RADIOBUTTON, 4 * int(checked) + drawState + 1, rect);
}

void TTeThemeXP::DrawGroupBox(TKsBitmap& bitmap, const TRect& rect, const TRect& captionRect,
                              const std::string& caption) {
  const TStyleHandle button("Button");
  if (!button)
    return;
  {
    TSaveDCGuard clip(bitmap.GetDC());
    ExcludeClipRect(bitmap.GetDC(), captionRect.left, captionRect.top, captionRect.right,
                    captionRect.bottom);
    button.Draw(bitmap, BP_GROUPBOX, GBS_NORMAL, rect);
  }
  if (caption.empty())
    return;
  bitmap.GetFont()->SetColor(clHighlight);
  bitmap.DrawText(caption, captionRect, DrawTextBiDiModeFlags(37));
}

// ---- Track bars, progress bars, explorer bars ---------------------------------------------

void TTeThemeXP::DrawTrackBarThumb(TKsBitmap& bitmap, const TRect& rect, bool vertical,
                                   int shape, int state) {
  static constexpr int kVertical[] = {TKP_THUMBVERT, TKP_THUMBRIGHT, TKP_THUMBLEFT};
  static constexpr int kHorizontal[] = {TKP_THUMB, TKP_THUMBBOTTOM, TKP_THUMBTOP};
  static constexpr int kStates[] = {TUS_NORMAL, TUS_HOT, TUS_PRESSED, TUS_DISABLED};
  const int index = shape >= thsPlain && shape <= thsTopLeft ? shape : thsPlain;
  const int part = vertical ? kVertical[index] : kHorizontal[index];
  const int styleState = state >= tdsNormal && state <= tdsDisabled ? kStates[state] : TUS_NORMAL;
  TStyleHandle("TrackBar").Draw(bitmap, part, styleState, rect);
}

void TTeThemeXP::DrawTrackBarTrack(TKsBitmap& bitmap, const TRect& rect,
                                   const TRect& selectionRect) {
  const int part = RectWidth(rect) > RectHeight(rect) ? TKP_TRACK : TKP_TRACKVERT;
  TStyleHandle("TrackBar").Draw(bitmap, part, TRS_NORMAL, rect);
}

void TTeThemeXP::DrawProgressFrame(TKsBitmap& bitmap, const TRect& rect) {
  const int part = RectWidth(rect) > RectHeight(rect) ? PP_BAR : PP_BARVERT;
  TStyleHandle("Progress").Draw(bitmap, part, 1, rect);
}

void TTeThemeXP::DrawProgressBar(TKsBitmap& bitmap, const TRect& rect, const TRect& barRect,
                                 bool vertical, bool smooth) {
  const int part = RectWidth(rect) > RectHeight(rect) ? PP_CHUNK : PP_CHUNKVERT;
  TStyleHandle("Progress").Draw(bitmap, part, 1, barRect);
}

void TTeThemeXP::DrawExplorerBarHeader(TKsBitmap& bitmap, const TRect& rect, bool flag) {
  TRect r = rect;
  if (flag)
    r.top += GetSize(23);
  TStyleHandle("ExplorerBar").Draw(bitmap, EBP_SPECIALGROUPBACKGROUND, 0, r);
}

void TTeThemeXP::DrawExplorerBarGroup(TKsBitmap& bitmap, const TRect& rect,
                                      const std::string& caption) {
  const TStyleHandle bar("ExplorerBar");
  if (!bar)
    return;
  bar.Draw(bitmap, EBP_SPECIALGROUPHEAD, 0, rect);
  bar.DrawText(bitmap, EBP_SPECIALGROUPHEAD, 0, WideText(" " + caption, 255),
               DT_VCENTER | DT_SINGLELINE, rect);
}

// Close: the header's close button; otherwise the expand (down) or collapse button.
// State 2 is pressed.
void TTeThemeXP::DrawExplorerBarButton(TKsBitmap& bitmap, const TRect& rect, bool close,
                                       int state, bool down) {
  const int part = close  ? EBP_HEADERCLOSE
                   : down ? EBP_SPECIALGROUPEXPAND
                          : EBP_SPECIALGROUPCOLLAPSE;
  TStyleHandle("ExplorerBar").Draw(bitmap, part, state == tdsPressed ? 3 : 1, rect);
}

// ---- Scroll bars and tabs -----------------------------------------------------------------

// `vertical`: the vertical track.
void TTeThemeXP::DrawScrollBarTrack(TKsBitmap& bitmap, const TRect& rect, bool vertical) {
  const int part = vertical ? SBP_LOWERTRACKVERT : SBP_LOWERTRACKHORZ;
  TStyleHandle("ScrollBar").Draw(bitmap, part, SCRBS_NORMAL, rect);
}

void TTeThemeXP::DrawScrollBarArrowButton(TKsBitmap& bitmap, const TRect& rect, bool vertical,
                                          bool towardStart, int state) {
  const int base = vertical ? (towardStart ? ABS_UPNORMAL : ABS_DOWNNORMAL)
                            : (towardStart ? ABS_LEFTNORMAL : ABS_RIGHTNORMAL);
  const int offset = state >= tdsNormal && state <= tdsDisabled ? state : tdsNormal;
  TStyleHandle("ScrollBar").Draw(bitmap, SBP_ARROWBTN, base + offset, rect);
}

void TTeThemeXP::DrawScrollBarHorzArrowButton(TKsBitmap& bitmap, const TRect& rect,
                                              bool towardStart, bool flag, int state) {
  DrawScrollBarArrowButton(bitmap, rect, false, towardStart, state);
}

void TTeThemeXP::DrawScrollBarThumb(TKsBitmap& bitmap, const TRect& rect, bool vertical,
                                    int state) {
  const int styleState = state >= tdsNormal && state <= tdsDisabled ? SCRBS_NORMAL + state : SCRBS_NORMAL;
  const TStyleHandle scrollBar("ScrollBar");
  scrollBar.Draw(bitmap, vertical ? SBP_THUMBBTNVERT : SBP_THUMBBTNHORZ, styleState, rect);
  scrollBar.Draw(bitmap, vertical ? SBP_GRIPPERVERT : SBP_GRIPPERHORZ, styleState, rect);
}

void TTeThemeXP::DrawScrollBarSizeBox(TKsBitmap& bitmap, const TRect& rect, int state,
                                      bool flag) {
  const int styleState = state >= tdsHot && state <= tdsDisabled ? state + 1 : 1;
  TStyleHandle("ScrollBar").Draw(bitmap, SBP_ARROWBTN, styleState, rect);
}

void TTeThemeXP::DrawTabBackground(TKsBitmap& bitmap, const TRect& rect) {
  TStyleHandle("Tab").Draw(bitmap, TABP_PANE, 1, rect);
}

void TTeThemeXP::DrawTab(TKsBitmap& bitmap, const TRect& rect, int position, int state) {
  int styleState;
  switch (state) {
    case ttsHot:
      styleState = TIS_HOT;
      break;
    case ttsFocused:
      styleState = TIS_FOCUSED;
      break;
    case ttsDisabled:
      styleState = TIS_DISABLED;
      break;
    case ttsSelected:
      styleState = TIS_SELECTED;
      break;
    default:
      styleState = TIS_NORMAL;
      break;
  }
  TStyleHandle("Tab").Draw(bitmap, TABP_TABITEM, styleState, rect);
}

// ---- Edits, combo boxes, tool bars, backgrounds --------------------------------------------

void TTeThemeXP::DrawEditFrame(TKsBitmap& bitmap, const TRect& rect, int state) {
  int styleState;
  switch (state) {
    case tdsHot:
      styleState = ETS_HOT;
      break;
    case tdsDisabled:
      styleState = ETS_DISABLED;
      break;
    case tdsFocused:
    case tdsDefault:
      styleState = ETS_SELECTED;
      break;
    default:
      styleState = ETS_NORMAL;
      break;
  }
  const TStyleHandle edit("Edit");
  if (!edit)
    return;
  // Only the two-pixel ring: the inside keeps what the edit drew.
  TSaveDCGuard clip(bitmap.GetDC());
  const TRect inside = Inflated(rect, -2, -2);
  ExcludeClipRect(bitmap.GetDC(), inside.left, inside.top, inside.right, inside.bottom);
  edit.Draw(bitmap, EP_EDITTEXT, styleState, rect);
}

void TTeThemeXP::DrawComboButton(TKsBitmap& bitmap, const TRect& rect, int state) {
  static constexpr int kStates[] = {CBXS_NORMAL, CBXS_HOT, CBXS_PRESSED, CBXS_DISABLED};
  const int styleState = state >= tdsNormal && state <= tdsDisabled ? kStates[state] : CBXS_NORMAL;
  TStyleHandle("ComboBox").Draw(bitmap, CP_DROPDOWNBUTTON, styleState, rect);
}

void TTeThemeXP::DrawToolBarButtonPart(TKsBitmap& bitmap, const TRect& rect, int part, int state,
                                       bool flat, bool checked) {
  int styleState;
  switch (state) {
    case tdsNormal:
      // A flat unchecked button has no state of its own: the normal look.
      styleState = checked ? TS_CHECKED : flat ? TS_NORMAL : TS_HOT;
      break;
    case tdsHot:
      // A raised button in state 1 has no state of its own either: the flat one's.
      styleState = checked ? TS_HOTCHECKED : TS_HOT;
      break;
    case tdsPressed:
      styleState = !flat && checked ? TS_CHECKED : TS_PRESSED;
      break;
    case tdsDisabled:
      styleState = TS_DISABLED;
      break;
    default:
      styleState = TS_NORMAL;
      break;
  }
  TStyleHandle("Toolbar").Draw(bitmap, part, styleState, rect);
}

void TTeThemeXP::DrawToolButton(TKsBitmap& bitmap, const TRect& rect, int state, bool flat,
                                bool checked) {
  DrawToolBarButtonPart(bitmap, rect, TP_BUTTON, state, flat, checked);
}

void TTeThemeXP::DrawToolBarPart(TKsBitmap& bitmap, const TRect& rect, int state, bool flat,
                                 bool checked) {
  DrawToolBarButtonPart(bitmap, rect, TP_SPLITBUTTONDROPDOWN, state, flat, checked);
}

void TTeThemeXP::FillBackground(TKsBitmap& bitmap, const TRect& rect) {
  bitmap.FillRect(rect, KsColor(11));
}

void TTeThemeXP::FillBackground2(TKsBitmap& bitmap, const TRect& rect) {
  bitmap.FillRect(rect, KsColor(11));
}

void TTeThemeXP::DrawReBar(TKsBitmap& bitmap, const TRect& rect, const TRect& gripRect) {
  const TKsColor face = KsColor(11);
  bitmap.FillRect(rect, face);
  bitmap.Draw3DFrame(rect, KsColorLighten(face, 50), KsColorDarken(face, 50));
  TStyleHandle("ReBar").Draw(bitmap, RP_GRIPPERVERT, 1, Inflated(gripRect, -1, 0));
}

void TTeThemeXP::DrawFrameByState(TKsBitmap& bitmap, const TRect& rect, uint8_t flags) {
  // The flag bits are the values 4, 2 and 1.
  if (flags & 4) {
    const TRect r = Inflated(rect, 1, 1);
    bitmap.FillRect(r, KsColor(11));
    bitmap.FrameRect(r, KsColor(8));
    return;
  }
  bitmap.FillRect(rect, KsColor(flags & 2 ? 12 : flags & 1 ? 8 : 6));
}

// ---- Unit ---------------------------------------------------------------------------------

void InitializeTeThemeXP() {
  if (!Application || Application->GetComponentState().Contains(csDesigning))
    return;
  LoadThemeLibrary();
  if (IsThemingAvailable())
    RegisterTheme(&TTeThemeXP::MetaClass());
}

void FinalizeTeThemeXP() { FreeThemeLibrary(); }
