// TCustomdxPopupListBox: the owner-drawn list that drops down from the image and pick
// editors. It is made as a child of its editor (which receives its notifications and
// item messages) and then moved onto the desktop, top-most and without a caption or
// task-bar button, so that it can hang out of the editor's form; it never takes the
// focus but paints its selection as focused. The item under the mouse becomes the
// selected one (hot tracking). Its frame and drop shadow are the popup frame of
// DxInplacePopupControl.h, drawn in the non-client area around the list and its
// scroll bar.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/StdCtrls.h"
#include "editors/DxEditStyle.h"

class TdxInplaceDropDownEdit;

// Whether the first characters of `text` equal `prefix` under the user's locale,
// ignoring case; false for an empty prefix.
bool DxTextStartsWith(const std::string& text, const std::string& prefix);

class TCustomdxPopupListBox : public TCustomListBox {
  KIVO_CLASS(TCustomdxPopupListBox, TCustomListBox)
 public:
  explicit TCustomdxPopupListBox(TComponent* AOwner);

  TdxPopupBorder GetPopupBorder() const { return FPopupBorder; }
  // A change makes the window again.
  void SetPopupBorder(TdxPopupBorder value);
  bool GetHotTrack() const { return FHotTrack; }
  void SetHotTrack(bool value) { FHotTrack = value; }
  // The height of the item measured last (0 before the first).
  int GetLastItemHeight() const { return FLastItemHeight; }
  bool GetShadow() const { return FShadow; }
  // A change makes the window again.
  void SetShadow(bool value);
  int GetShadowSize() const { return FShadowSize; }
  // A change makes the window again.
  void SetShadowSize(int value);
  // The editor the list drops down from; not owned.
  TdxInplaceDropDownEdit* GetEditor() const { return FEditor; }
  void SetEditor(TdxInplaceDropDownEdit* value) { FEditor = value; }

  // The width of the widest item text in the list's font.
  int GetMaxItemWidth();

  // ---- Dropping down from the editor (GetEditor)
  // Gives the editor the focus; False when it does not take it.
  bool FocusEditor();
  // Becomes the editor's child with its colour, font, popup border and shadow, and
  // makes its window (ready to be filled).
  void PrepareForEditor();
  // Sizes the list to min(lines, DropDownRows) rows of the measured height and to
  // `textWidth` plus its frame (the editor's DropDownWidth, when set, is the window's
  // width), selects `itemIndex`, places it under the editor and shows it without
  // activating it.
  void ShowForEditor(int textWidth, int itemIndex);
  // Ends a mouse capture, hands the focus back to the editor and hides the list.
  void HideForEditor();

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void MouseMove(TShiftState shift, int x, int y) override;
  // The height of "Wg" in the list's font.
  void MeasureItem(int index, int& height) override;

 private:
  void WMNCCalcSize(TMessage& message);
  // The window size that gives a client area of clientWidth x clientHeight: the frame,
  // the shadow and, when `scrolls`, the vertical scroll bar are added.
  void FrameSize(int& clientWidth, int& clientHeight, bool scrolls) const;
  // The extent of `text` in the list's font.
  SIZE TextExtent(const std::string& text);

  TdxPopupBorder FPopupBorder = pbDefault;
  bool FHotTrack = true;
  int32_t FLastItemHeight = 0;
  bool FShadow = false;
  int32_t FShadowSize = 2;
  TdxInplaceDropDownEdit* FEditor = nullptr;
};
