// TdxTreeListAppearance: the display settings of a tree list. It owns the three fonts (band,
// header, preview), the two image lists and their change links, the border style, the look
// and feel, the grid lines, the Show flags, the grid look, the two hide-unfocused flags, the
// default row height (and whether it was set), the fixed band line and grid line widths, the
// preview lines, the row line count and the colours, the search-match colours among them,
// with the setters' change tests and reactions: a setting that changes the layout recomputes
// it (the control's UpdateGuarded), a colour repaints, the border and the look make the window
// anew. A font or an image list that changes recomputes the layout too.
// A part of TCustomdxTreeList, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations. The control's property accessors
// forward here.
#pragma once

#include <cstdint>
#include <memory>

#include "classlib/Colors.h"
#include "classlib/ImageList.h"
#include "classlib/Object.h"
#include "treelist/DxTreeListTypes.h"

class TCustomdxTreeList;

class TdxTreeListAppearance : public TObject {
  KIVO_CLASS(TdxTreeListAppearance, TObject)
 public:
  // Makes the fonts (the preview font blue) and the image lists' change links, each
  // reporting its changes here.
  explicit TdxTreeListAppearance(TCustomdxTreeList& control);
  // The links leave the image lists, then the fonts go.
  ~TdxTreeListAppearance() override;
  TdxTreeListAppearance(const TdxTreeListAppearance&) = delete;
  TdxTreeListAppearance& operator=(const TdxTreeListAppearance&) = delete;

  TFont* GetBandFont() const { return FBandFont.get(); }
  void SetBandFont(TFont* value) { FBandFont->Assign(value); }
  TFont* GetHeaderFont() const { return FHeaderFont.get(); }
  void SetHeaderFont(TFont* value) { FHeaderFont->Assign(value); }
  TFont* GetPreviewFont() const { return FPreviewFont.get(); }
  void SetPreviewFont(TFont* value) { FPreviewFont->Assign(value); }
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* value) { SetImageList(FImages, FImagesLink.get(), value); }
  TCustomImageList* GetStateImages() const { return FStateImages; }
  void SetStateImages(TCustomImageList* value) { SetImageList(FStateImages, FStateImagesLink.get(), value); }
  // `component` is going: an image list of these settings is forgotten.
  void ImageListRemoved(TComponent* component);
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  TdxLookAndFeel GetLookAndFeel() const { return FLookAndFeel; }
  void SetLookAndFeel(TdxLookAndFeel value);
  uint8_t GetGridLines() const { return FGridLines; }
  void SetGridLines(uint8_t value);
  bool GetShowButtons() const { return FShowButtons; }
  void SetShowButtons(bool value) { SetDisplayFlag(FShowButtons, value); }
  bool GetShowHeader() const { return FShowHeader; }
  void SetShowHeader(bool value) { SetDisplayFlag(FShowHeader, value); }
  bool GetShowLines() const { return FShowLines; }
  void SetShowLines(bool value) { SetDisplayFlag(FShowLines, value); }
  bool GetShowRoot() const { return FShowRoot; }
  void SetShowRoot(bool value) { SetDisplayFlag(FShowRoot, value); }
  bool GetShowPreviewGrid() const { return FShowPreviewGrid; }
  void SetShowPreviewGrid(bool value) { SetDisplayFlag(FShowPreviewGrid, value); }
  bool GetShowBands() const { return FShowBands; }
  void SetShowBands(bool value) { SetDisplayFlag(FShowBands, value); }
  bool GetShowFooter() const { return FShowFooter; }
  void SetShowFooter(bool value) { SetDisplayFlag(FShowFooter, value); }
  bool GetShowGrid() const { return FShowGrid; }
  void SetShowGrid(bool value) { SetDisplayFlag(FShowGrid, value); }
  bool GetShowIndicator() const { return FShowIndicator; }
  void SetShowIndicator(bool value) { SetDisplayFlag(FShowIndicator, value); }
  bool GetGridLook() const { return FGridLook; }
  void SetGridLook(bool value) { SetDisplayFlag(FGridLook, value); }
  bool GetHideSelectionUnfocused() const { return FHideSelectionUnfocused; }
  void SetHideSelectionUnfocused(bool value) { SetDisplayFlag(FHideSelectionUnfocused, value); }
  bool GetHideFocusRectUnfocused() const { return FHideFocusRectUnfocused; }
  void SetHideFocusRectUnfocused(bool value) { SetDisplayFlag(FHideFocusRectUnfocused, value); }
  int GetDefaultRowHeight() const { return FDefaultRowHeight; }
  bool GetDefaultRowHeightSet() const { return FDefaultRowHeightSet; }
  void SetDefaultRowHeight(int value);
  // The metrics pass drops the mark when the row height it computes is the least one.
  void SetDefaultRowHeightSet(bool value) { FDefaultRowHeightSet = value; }
  int GetFixedBandLineWidth() const { return FFixedBandLineWidth; }
  void SetFixedBandLineWidth(int value);
  int GetGridLineWidthSetting() const { return FGridLineWidth; }
  void SetGridLineWidthSetting(int value);
  int GetPreviewLines() const { return FPreviewLines; }
  void SetPreviewLines(int value);
  // A plain store: the control's SetRowLineCount and the row sizing's trial counts.
  int GetRowLineCount() const { return FRowLineCount; }
  void SetRowLineCount(int value) { FRowLineCount = value; }

  TColor GetBandColor() const { return FBandColor; }
  void SetBandColor(TColor value) { SetPaintColor(FBandColor, value); }
  TColor GetHeaderColor() const { return FHeaderColor; }
  void SetHeaderColor(TColor value) { SetPaintColor(FHeaderColor, value); }
  TColor GetHighlightColor() const { return FHighlightColor; }
  void SetHighlightColor(TColor value) { SetPaintColor(FHighlightColor, value); }
  TColor GetHighlightTextColor() const { return FHighlightTextColor; }
  void SetHighlightTextColor(TColor value) { SetPaintColor(FHighlightTextColor, value); }
  TColor GetHideSelectionColor() const { return FHideSelectionColor; }
  void SetHideSelectionColor(TColor value) { SetPaintColor(FHideSelectionColor, value); }
  TColor GetHideSelectionTextColor() const { return FHideSelectionTextColor; }
  void SetHideSelectionTextColor(TColor value) { SetPaintColor(FHideSelectionTextColor, value); }
  TColor GetGroupNodeColor() const { return FGroupNodeColor; }
  void SetGroupNodeColor(TColor value) { SetPaintColor(FGroupNodeColor, value); }
  TColor GetGroupNodeTextColor() const { return FGroupNodeTextColor; }
  void SetGroupNodeTextColor(TColor value) { SetPaintColor(FGroupNodeTextColor, value); }
  TColor GetGridLineColor() const { return FGridLineColor; }
  void SetGridLineColor(TColor value) { SetPaintColor(FGridLineColor, value); }
  TColor GetDefaultGridLineColor() const { return FDefaultGridLineColor; }
  void SetDefaultGridLineColor(TColor value) { SetPaintColor(FDefaultGridLineColor, value); }
  TColor GetTreeLineColor() const { return FTreeLineColor; }
  void SetTreeLineColor(TColor value) { SetPaintColor(FTreeLineColor, value); }
  TColor GetFixedBandLineColor() const { return FFixedBandLineColor; }
  void SetFixedBandLineColor(TColor value) { SetPaintColor(FFixedBandLineColor, value); }
  TColor GetFooterColor() const { return FFooterColor; }
  void SetFooterColor(TColor value) { SetPaintColor(FFooterColor, value); }
  TColor GetFooterTextColor() const { return FFooterTextColor; }
  void SetFooterTextColor(TColor value) { SetPaintColor(FFooterTextColor, value); }
  TColor GetSearchMatchColor() const { return FSearchMatchColor; }
  void SetSearchMatchColor(TColor value) { SetPaintColor(FSearchMatchColor, value); }
  TColor GetSearchMatchTextColor() const { return FSearchMatchTextColor; }
  void SetSearchMatchTextColor(TColor value) { SetPaintColor(FSearchMatchTextColor, value); }

 private:
  void SetImageList(TCustomImageList*& field, TChangeLink* link, TCustomImageList* value);
  void ImageListChange(TObject* sender);
  void FontChange(TObject* sender);
  void SetDisplayFlag(bool& field, bool value);
  void SetPaintColor(TColor& field, TColor value);

  TCustomdxTreeList& FControl;
  std::unique_ptr<TFont> FBandFont;
  std::unique_ptr<TFont> FHeaderFont;
  std::unique_ptr<TFont> FPreviewFont;
  std::unique_ptr<TChangeLink> FImagesLink;
  std::unique_ptr<TChangeLink> FStateImagesLink;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FStateImages = nullptr;
  TBorderStyle FBorderStyle = bsSingle;
  TdxLookAndFeel FLookAndFeel = lfStandard;
  uint8_t FGridLines = 3;
  bool FShowButtons = true;
  bool FShowHeader = true;
  bool FShowLines = true;
  bool FShowRoot = true;
  bool FShowPreviewGrid = true;
  bool FShowBands = false;
  bool FShowFooter = false;
  bool FShowGrid = false;
  bool FShowIndicator = false;
  bool FGridLook = false;
  bool FHideSelectionUnfocused = true;
  bool FHideFocusRectUnfocused = true;
  int FDefaultRowHeight = 18;
  bool FDefaultRowHeightSet = false;
  int FFixedBandLineWidth = 2;
  int FGridLineWidth = 1;
  int FPreviewLines = 1;
  int FRowLineCount = 1;
  TColor FBandColor = clBtnFace;
  TColor FHeaderColor = clBtnFace;
  TColor FHighlightColor = clHighlight;
  TColor FHighlightTextColor = clHighlightText;
  TColor FHideSelectionColor = clBtnFace;
  TColor FHideSelectionTextColor = clBtnText;
  TColor FGroupNodeColor = clBtnFace;
  TColor FGroupNodeTextColor = clNone;
  TColor FGridLineColor = clNone;
  TColor FDefaultGridLineColor = clBtnShadow;
  TColor FTreeLineColor = clGrayText;
  TColor FFixedBandLineColor = clWindowFrame;
  TColor FFooterColor = cl3DLight;
  TColor FFooterTextColor = clWindowText;
  TColor FSearchMatchColor = clNone;
  TColor FSearchMatchTextColor = clNone;
};
