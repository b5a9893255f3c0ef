// TCustomdxContainer: the base of a control that hosts in-place editors (the tree-list
// grid derives from it). Its editors ask it, through the virtual operations below,
// whether they may edit, which characters are valid and which colour and font to use,
// and hand it navigation keys, double clicks and focus changes. The base answers are
// those of a container that allows nothing; a host overrides what it allows.
#pragma once

#include <cstdint>

#include "classlib/Controls.h"
#include "editors/DxEditStyle.h"

class TdxInplaceEdit;

// (Sender: the container, var Key, Shift).
using TdxEditorKeyEvent = TEvent<TObject* /*Sender*/, WORD& /*Key*/, TShiftState>;

// The style of both scroll bars: the flat scroll bar modes (FSB_REGULAR_MODE,
// FSB_ENCARTA_MODE, FSB_FLAT_MODE), passed on unchanged.
enum TdxScrollBarStyle : uint8_t { sbsRegular = 0, sbsEncarta = 1, sbsFlat = 2 };

class TCustomdxContainer : public TCustomControl {
  KIVO_CLASS(TCustomdxContainer, TCustomControl)
 public:
  explicit TCustomdxContainer(TComponent* AOwner);

  // Whether an editor may change its value (editor CanModify, Delete and Shift+Insert).
  virtual bool CanEditModify() { return false; }
  // Whether an editor accepts a typed character.
  virtual bool IsValidEditChar(char key) { return false; }
  // Whether the container lets an editor be shown (settled by the host).
  virtual bool CanShowEditor() { return true; }
  // The style a new in-place editor owns.
  virtual TdxEditStyle* CreateEditStyle(TdxInplaceEdit* edit);
  // Sends WM_VSCROLL `count` times to itself, a line up or down.
  virtual void ScrollLines(bool up, int count);
  // Colour and font editors and painted cells take.
  virtual TColor GetEditColor() { return GetColor(); }
  virtual TFont* GetEditFont() { return GetFont(); }
  // Whether the editor of the focused cell is read-only.
  virtual bool IsEditReadOnly() { return false; }
  // Whether a key starts editing (settled by the host).
  virtual bool EditOnKey() { return false; }
  // Fires OnEditorKey; called by the editors for the keys they do not handle themselves.
  virtual void DoEditorKey(WORD& key, TShiftState shift);
  // True makes an editor swallow WM_KEYDOWN, WM_SYSKEYDOWN and WM_CHAR.
  virtual bool InterceptsEditorKey() { return false; }
  // Whether `column` may be edited; -1 asks for the current one (a second click within
  // the double-click time then becomes a double click).
  virtual bool CanEditColumn(int32_t column) { return false; }
  // Whether the container is editing (the editor's ContainerEditing).
  virtual bool IsEditing() { return false; }
  // Whether editors take the arrow keys (their WM_GETDLGCODE).
  virtual bool EditorWantsArrows() { return false; }
  // An editor's notification (its ContainerNotify).
  virtual void EditorNotify(bool value) {}
  // An editor gained or lost the focus.
  virtual void EditorFocusChanged() {}
  // Set while the host hands values to an editor: editors then take them without
  // their CanModify test.
  virtual void SetLockFlag() { FLockFlag = true; }
  virtual void ClearLockFlag() { FLockFlag = false; }
  // The popup border of popup editors: pbFrame3D.
  virtual TdxPopupBorder GetDefaultPopupBorder() { return pbFrame3D; }

  bool GetLockFlag() const { return FLockFlag; }
  TdxScrollBarStyle GetScrollBarStyle() const { return FScrollBarStyle; }
  void SetScrollBarStyle(TdxScrollBarStyle value) { FScrollBarStyle = value; }

  // The container's own key handling, reachable for its editors.
  void ContainerKeyDown(WORD& key, TShiftState shift) { KeyDown(key, shift); }
  void ContainerKeyUp(WORD& key, TShiftState shift) { KeyUp(key, shift); }
  void ContainerKeyPress(char& key) { KeyPress(key); }
  void ContainerDblClick() { DblClick(); }

  // Scroll information of a bar (SB_HORZ, SB_VERT) through the flat scroll bars,
  // which fall back to the ordinary ones.
  void GetScrollInfo(int bar, SCROLLINFO& info);
  void SetScrollInfo(int bar, const SCROLLINFO& info, bool redraw);

  void Dispatch(TMessage& message) override;

  TdxEditorKeyEvent OnEditorKey;

 protected:
  // Sets up flat scroll bars in ScrollBarStyle (not for a Middle-East system locale).
  void CreateWnd() override;

 private:
  TdxScrollBarStyle FScrollBarStyle = sbsRegular;
  bool FLockFlag = false;
};
