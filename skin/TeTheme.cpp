#include "skin/TeTheme.h"

#include <cassert>
#include <vector>

#include "skin/KsItems.h"

namespace {

std::vector<const TTeThemeClass*>& Registry() {
  static std::vector<const TTeThemeClass*> registry;
  return registry;
}

}  // namespace

void TTeTheme::SetDeltaHue(int value) {
  if (value == FDeltaHue)
    return;
  FDeltaHue = value;
  Changed();
}

void TTeTheme::SetDeltaBrightness(int value) {
  if (value == FDeltaBrightness)
    return;
  FDeltaBrightness = value;
  Changed();
}

UINT TTeTheme::DrawTextBiDiModeFlags(UINT flags) const {
  return BiDiModeTextFlags(flags, FBiDiMode, GetSystemMetrics(SM_MIDEASTENABLED) != 0);
}

UINT BiDiModeTextFlags(UINT flags, TBiDiMode mode, bool middleEast) {
  bool rightAlignment = middleEast && mode == bdRightToLeft;
  bool rightReading = middleEast && mode != bdLeftToRight;
  if (rightAlignment) {
    if (flags & DT_RIGHT)
      flags &= ~UINT(DT_RIGHT);
    else if (!(flags & DT_CENTER))
      flags |= DT_RIGHT;
  }
  if (rightReading)
    flags |= DT_RTLREADING;
  return flags;
}

void RegisterTheme(const TTeThemeClass* themeClass) {
  assert(themeClass && "a theme class to register");
  Registry().push_back(themeClass);
}

int ThemeClassCount() { return static_cast<int>(Registry().size()); }

const TTeThemeClass* GetThemeClass(int index) {
  if (index < 0 || index >= ThemeClassCount())
    ListIndexError(index);
  return Registry()[index];
}

bool IsThemeRegistered(const TTeThemeClass* themeClass) {
  for (const TTeThemeClass* registered : Registry())
    if (registered == themeClass)
      return true;
  return false;
}

const TTeThemeClass* FindThemeClass(const std::string& name) {
  for (const TTeThemeClass* registered : Registry())
    if (registered->ThemeName() == name)
      return registered;
  return nullptr;
}

void UnregisterThemes() {
  Registry().clear();
  Registry().shrink_to_fit();
}

void InitializeTeTheme() { RegisterTheme(&TTeTheme::MetaClass()); }

void FinalizeTeTheme() { UnregisterThemes(); }

TTeItemData ThemeItemData(const TKsCustomItem& item) {
  TTeItemData data;
  data.Caption = item.GetCaption();
  if (item.GetShortCut() != 0)
    data.ShortCutText = ShortCutToText(item.GetShortCut());
  data.Checked = item.GetChecked();
  data.Enabled = item.GetEnabled();
  data.HasSubItems = item.GetCount() > 0;
  data.Images = item.GetImageList();
  data.ImageIndex = item.GetImageIndex();
  data.OnControlBar = item.GetInControlBar();
  data.MDIButtonKind = item.GetMDIButtonKind();
  return data;
}

void TTeTheme::MeasureMenuBarItem(TKsBitmap& bitmap, TKsCustomItem& item, int& width,
                                  int& height) {
  MeasureMenuBarItemData(bitmap, ThemeItemData(item), width, height);
}

void TTeTheme::MeasurePopupItem(TKsBitmap& bitmap, TKsCustomItem& item, int& width,
                                int& height) {
  MeasurePopupItemData(bitmap, ThemeItemData(item), width, height);
}

void TTeTheme::DrawMenuBarItem(TKsBitmap& bitmap, TKsCustomItem& item, const TRect& rect,
                               bool selected, bool pressed) {
  DrawMenuBarItemData(bitmap, ThemeItemData(item), rect, selected, pressed);
}

void TTeTheme::DrawMenuBarButton(TKsBitmap& bitmap, TKsCustomItem& item, const TRect& rect,
                                 bool selected, bool pressed) {
  DrawMenuBarButtonData(bitmap, ThemeItemData(item), rect, selected, pressed);
}

void TTeTheme::DrawPopupItem(TKsBitmap& bitmap, TKsCustomItem& item, const TRect& rect,
                             bool selected, bool pressed) {
  DrawPopupItemData(bitmap, ThemeItemData(item), rect, selected, pressed);
}
