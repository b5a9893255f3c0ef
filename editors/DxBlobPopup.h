// TCustomdxBlobPopup: the sizeable popup window of the blob editor. For a memo value the
// window itself is a RichEdit 2.0 control in plain-text mode; for a picture value it is
// a plain window that paints the picture, scaled to the window or at its own size with
// scroll bars. Its frame (the non-client area) holds the popup border and shadow, a
// button bar with OK and Cancel (or a single Close when it is read-only) and a size
// grip in the corner away from the editor; a context menu offers the clipboard and,
// for pictures, file commands. It owns its picture, its transparency buffer and its menu.
//
// The blob editor configures it before every drop-down and takes its content back
// through OnAccept, which fires at most once per showing: on OK, and with
// AlwaysSaveText on every other way of closing but Cancel and Close, only when the
// content was modified.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Bitmap.h"
#include "classlib/Graphic.h"
#include "classlib/Set.h"
#include "editors/DxInplaceGraphicEdit.h"  // TdxGraphicEditTransparency
#include "editors/DxInplacePopupControl.h"
#include "editors/DxInplaceTextEdit.h"  // TEditCharCase
#include "editors/DxPictureCommands.h"

class TPopupMenu;

enum TdxBlobEditKind : uint8_t { bekMemo, bekPict, bekOle, bekBlob };
enum TdxBlobPaintStyle : uint8_t { bpsDefault, bpsIcon, bpsText };

// The buttons of the popup's bar, and the ways ClosePopup closes it.
enum TdxBlobPopupButton : uint8_t { bpbOK, bpbCancel, bpbClose };
using TdxBlobPopupButtons = TSet<TdxBlobPopupButton>;

// The sizes of the button bar, measured with the popup's font by SetPopupBounds.
struct TdxBlobPopupMetrics {
  // The separating edge between the bar and the content.
  int32_t FrameInset = 4;
  // Room kept free at both ends of the bar (the size grip's width when sizeable).
  int32_t ScrollBarWidth = 0;
  int32_t Margin = 0;
  int32_t Gap = 0;
  int32_t ButtonWidth = 0;
  int32_t ButtonHeight = 0;
  int32_t BarHeight = 26;
  int32_t MinWidth = 0;
  int32_t MinHeight = 0;
};

class TCustomdxBlobPopup : public TdxInplacePopupControl {
  KIVO_CLASS(TCustomdxBlobPopup, TdxInplacePopupControl)
 public:
  explicit TCustomdxBlobPopup(TComponent* AOwner);
  ~TCustomdxBlobPopup() override;

  // ---- Showing and closing
  // Hides through HidePopup; Cancel and Close first mark the popup closed without
  // saving, OK then accepts.
  virtual void ClosePopup(TdxBlobPopupButton how);
  // Keeps the memo text, reports a visible popup's size (OnPopupResize), hides, and with
  // AlwaysSaveText accepts.
  void HidePopup() override;
  void ShowPopup() override;
  // Sizes and places the popup below the editor whose bottom-left corner is `point`
  // (screen coordinates), `width` x `height` wanted, inside the work area; a picture
  // shown scaled takes its own size, shrunk in proportion to fit. Near the right edge
  // it moves left, near the bottom above the editor; the size grip goes to the corner
  // away from the editor, the button bar to that side.
  void SetPopupBounds(const TPoint& point, int width, int height);

  // ---- Content
  virtual void DoChange();
  virtual void ApplyCharCase();
  virtual void DoResize();
  virtual void DoAccept();
  virtual void SetMaxLength(int value);
  virtual int GetSelLength();
  virtual int GetSelStart();
  virtual std::string GetSelText();
  virtual void SetSelLength(int value);
  virtual void SetSelStart(int value);
  // Replaces the memo's text as no edit (no change is reported; Modified stays).
  void SetMemoText(const std::string& text);
  // Loads the picture from a picture value as no edit (Modified stays); raises
  // EInvalidGraphic (the picture emptied) when the bytes are no picture.
  void LoadPictureValue(const std::string& value);
  // Picture commands; each does nothing when it is not allowed.
  void CutPicture();
  void CopyPicture();
  void PastePicture();
  void DeletePicture();
  void LoadPictureFromFile();
  void SavePictureToFile();
  // The context menu for the kind, every item's state set for the present state.
  TPopupMenu* PrepareContextMenu();

  // ---- Properties
  TdxBlobEditKind GetKind() const { return FKind; }
  // bekMemo or bekPict; a change makes the window again.
  void SetKind(TdxBlobEditKind value);
  bool GetModified();
  void SetModified(bool value);
  bool GetReadOnly() const { return FReadOnly; }
  // Read-only shows only Close; editable OK and Cancel.
  void SetReadOnly(bool value);
  TdxBlobPopupButtons GetVisibleButtons() const { return FVisibleButtons; }
  bool GetSizeablePopup() const { return FSizeablePopup; }
  void SetSizeablePopup(bool value) { FSizeablePopup = value; }
  // sgTopLeft ... sgBottomRight of DxUtils.h.
  int GetGripCorner() const { return FGripCorner; }
  bool GetAlwaysSaveText() const { return FAlwaysSaveText; }
  void SetAlwaysSaveText(bool value) { FAlwaysSaveText = value; }
  // Set by Cancel and Close and once the content was accepted; cleared by ShowPopup.
  bool GetClosedWithoutSaving() const { return FClosedWithoutSaving; }
  void SetClosedWithoutSaving(bool value) { FClosedWithoutSaving = value; }
  // The text the memo held when the popup last hid.
  const std::string& GetMemoText() const { return FMemoText; }
  void ClearMemoText() { FMemoText.clear(); }
  int GetPressedButton() const { return FPressedButton; }
  bool GetTracking() const { return FTracking; }
  const TdxBlobPopupMetrics& GetMetrics() const { return FMetrics; }

  TEditCharCase GetMemoCharCase() const { return FMemoCharCase; }
  void SetMemoCharCase(TEditCharCase value);
  bool GetMemoHideScrollBars() const { return FMemoHideScrollBars; }
  void SetMemoHideScrollBars(bool value);
  int GetMemoMaxLength() const { return FMemoMaxLength; }
  bool GetMemoOEMConvert() const { return FMemoOEMConvert; }
  void SetMemoOEMConvert(bool value);
  TScrollStyle GetMemoScrollBars() const { return FMemoScrollBars; }
  void SetMemoScrollBars(TScrollStyle value);
  bool GetMemoSelectionBar() const { return FMemoSelectionBar; }
  void SetMemoSelectionBar(bool value);
  bool GetMemoWantReturns() const { return FMemoWantReturns; }
  void SetMemoWantReturns(bool value) { FMemoWantReturns = value; }
  bool GetMemoWantTabs() const { return FMemoWantTabs; }
  void SetMemoWantTabs(bool value) { FMemoWantTabs = value; }
  bool GetMemoWordWrap() const { return FMemoWordWrap; }
  void SetMemoWordWrap(bool value);
  bool GetPictureAutoSize() const { return FPictureAutoSize; }
  void SetPictureAutoSize(bool value);
  UINT GetClipboardFormat() const { return FClipboardFormat; }
  void SetClipboardFormat(UINT value) { FClipboardFormat = value; }
  TGraphicClass GetGraphicClass() const { return FGraphicClass; }
  void SetGraphicClass(TGraphicClass value) { FGraphicClass = value; }
  TdxGraphicEditTransparency GetPictureTransparency() const { return FPictureTransparency; }
  void SetPictureTransparency(TdxGraphicEditTransparency value);
  TPicture* GetPicture();
  const std::string& GetPictureFilter() const { return FPictureFilter; }
  void SetPictureFilter(const std::string& value) { FPictureFilter = value; }
  // The scroll positions of a picture shown at its own size.
  int GetHorzScrollPos() const { return FHorzScrollPos; }
  int GetVertScrollPos() const { return FVertScrollPos; }

  // ---- Geometry, in window coordinates
  // The window less its shadow.
  TRect GetBodyRect();
  TRect GetButtonBarRect();
  // The rectangle of a visible button; empty for a hidden one.
  TRect GetButtonRect(TdxBlobPopupButton button);

  void Dispatch(TMessage& message) override;
  void WndProc(TMessage& message) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnAccept;
  TNotifyEvent OnPopupResize;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Paint() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;

 private:
  bool IsMemo() const { return FKind == bekMemo; }
  bool HasPicture();
  // Whether the editor lets the picture change.
  bool CanModifyPicture();
  void CalcMetrics();
  void ApplyMaxLength();
  void ApplyFormatRect();
  void RecreateIfAllocated();
  void PictureChanged(TObject* sender);
  void RepaintFrame();
  // The visible button under a screen point, or -1.
  int ButtonAtScreenPoint(LPARAM screenPoint);
  void EndTracking();
  void UpdateScrollBars();
  void ScrollPicture(int bar, int code);
  void PaintPicture(HDC dc, const TRect& client);
  void DrawButton(HDC dc, const TRect& rect, TdxBlobPopupButton button, bool down, bool enabled);
  void MenuClick(TObject* sender);
  void RunCommand(int command);
  // The popup's own step for each picture command.
  TdxPictureCommandSteps PictureSteps();

  // Takes the selection bar's bit (WS_MAXIMIZE to the window manager) off the memo's
  // style.
  void ClearSelectionBarStyle();
  // The non-client messages of the button bar and the size grip.
  void FrameMessage(TMessage& message);
  void WMChar(TMessage& message);
  void WMContextMenu(TMessage& message);
  void WMGetDlgCode(TMessage& message);
  void WMGetMinMaxInfo(TMessage& message);
  void WMNCCalcSize(TMessage& message);
  void WMNCHitTest(TMessage& message);
  void WMNCPaint(TMessage& message);
  void WMNCLButtonDown(TMessage& message);
  void WMLButtonUp(TMessage& message);
  void WMMouseMove(TMessage& message);
  void WMSetFont(TMessage& message);
  void WMSize(TMessage& message);
  void CNCommand(TMessage& message);

  TdxBlobEditKind FKind = bekMemo;
  bool FModifiedCopy = false;
  TdxBlobPopupMetrics FMetrics;
  bool FPressedLook = false;
  TdxBlobPopupButtons FVisibleButtons{bpbOK, bpbCancel};
  bool FCreating = false;
  int32_t FPressedButton = -1;
  bool FModified = false;
  bool FReadOnly = false;
  bool FSizeablePopup = false;
  int FGripCorner = 3;
  bool FTracking = false;
  bool FAlwaysSaveText = true;
  std::string FMemoText;
  bool FClosedWithoutSaving = false;
  TEditCharCase FMemoCharCase = ecNormal;
  bool FTextUpdating = false;
  TPopupMenu* FContextMenu = nullptr;
  bool FMemoHideScrollBars = true;
  int32_t FMemoMaxLength = 0;
  bool FMemoOEMConvert = false;
  TScrollStyle FMemoScrollBars = ssNone;
  bool FMemoSelectionBar = true;
  bool FMemoWantReturns = true;
  bool FMemoWantTabs = true;
  bool FMemoWordWrap = true;
  bool FPictureAutoSize = false;
  UINT FClipboardFormat;
  TGraphicClass FGraphicClass = nullptr;
  TdxGraphicEditTransparency FPictureTransparency = gtDefault;
  bool FLoadingPicture = false;
  TPicture* FPicture = nullptr;
  std::string FPictureFilter;
  TBitmap* FTransparencyBuffer = nullptr;
  int32_t FHorzScrollPos = 0;
  int32_t FVertScrollPos = 0;
  bool FUpdatingScrollBars = false;
};
