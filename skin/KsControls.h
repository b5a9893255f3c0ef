// The two bases of every skinned control. A skinned control paints itself into its own
// TKsBitmap (PaintBuffer) and only blits that buffer, so it never flickers and can show
// its parent's background through itself (Transparent) or be mixed with it at a fixed
// opacity (Blend, BlendValue). TKsCustomControl is windowed: it also renders its
// windowless children into its buffer and can carry built-in skinned scroll bars,
// whose scrolling it receives as WM_HSCROLL/WM_VSCROLL. TKsGraphicControl is windowless.
// Buffers grow and shrink in steps of BufferStep pixels; allocating them raises the
// errors of TKsBitmap::SetSize.
#pragma once

#include <memory>

#include "classlib/Controls.h"
#include "skin/KsBitmap.h"

class TKsCustomScrollBar;
using TScrollEvent = TEvent<TObject* /*Sender*/, TScrollCode, int& /*ScrollPos*/>;

// Sent by a skinned control to its parent's window (wParam 0, lParam 0): a skinned form
// answers non-zero.
constexpr UINT KM_ISPARENTSKINNED = 0x637;
// The lParam of the WM_ERASEBKGND with which a skinned child asks its parent to paint
// its background into the child's DC.
constexpr LPARAM KsChildEraseMarker = 12;
// The marker is read by this bit alone: (lParam & KsChildEraseBit) != 0.
constexpr LPARAM KsChildEraseBit = 4;

class TKsCustomControl : public TWinControl {
  KIVO_CLASS(TKsCustomControl, TWinControl)
 public:
  explicit TKsCustomControl(TComponent* AOwner);
  ~TKsCustomControl() override;

  TKsBitmap* GetBuffer() const { return FBuffer.get(); }
  TKsBitmap* GetBlendBuffer() const { return FBlendBuffer.get(); }
  int GetBufferStep() const { return FBufferStep; }
  bool GetFocused() const { return FFocused; }
  // Keyboard cues follow the form's UI state: the focus rectangle shows while focused
  // unless the form hides focus cues (until the keyboard is used), and accelerators are
  // underlined unless it hides them. A WM_UPDATEUISTATE repaints the control.
  bool ShowsFocusCue();
  bool HidesAccelerators();
  // The caption to draw: as it is, or without its accelerator mark (and DT_NOPREFIX
  // added to `flags`) while accelerators are hidden.
  std::string ShownCaption(UINT& flags);
  bool GetNeedsRepaint() const { return FNeedsRepaint; }
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool value);
  bool GetBlend() const { return FBlend; }
  void SetBlend(bool value);
  int GetBlendValue() const { return FBlendValue; }
  void SetBlendValue(int value);
  bool GetMouseInControl() const { return FMouseInControl; }
  TKsCustomScrollBar* GetHorzScrollBar() const { return FHorzScrollBar; }
  TKsCustomScrollBar* GetVertScrollBar() const { return FVertScrollBar; }
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  bool GetScrollLock() const { return FScrollLock; }
  void SetScrollLock(bool value) { FScrollLock = value; }
  int GetBufferWidth() const { return FBufferWidth; }
  int GetBufferHeight() const { return FBufferHeight; }

  void Invalidate() override;
  void Repaint() override;
  void SetBounds(int left, int top, int width, int height) override;
  void Dispatch(TMessage& message) override;
  // True when the parent's window says it is skinned (message 0x637).
  bool IsParentSkinned();
  // Paints the buffer again when it must be (always under a skinned parent).
  void PaintBufferFull();
  // Renders the windowless children into `dc` (the buffer's DC): skinned ones through
  // their own buffers over the part of this buffer beneath them.
  void PaintControls(HDC dc);
  using TWinControl::PaintControls;

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

 protected:
  // Draws the control's look into the buffer; the base fills it with Color unless
  // Transparent.
  virtual void PaintBuffer();
  // The factory of the built-in scroll bars: a bar owned by this control.
  virtual TKsCustomScrollBar* CreateScrollBar();
  virtual int GetScrollBarSize();

  void Loaded() override;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void SetScrollBars(TScrollStyle value);
  // Follows BufferWidth and BufferHeight in steps and lays out the scroll bars.
  void UpdateBuffer();
  virtual void DoSetFocus();
  virtual void DoKillFocus();
  virtual void MouseEnter();
  virtual void MouseLeave();

 private:
  bool Designing() const { return GetComponentState().Contains(csDesigning); }
  // Designing: the buffer is sized and painted at once; otherwise marked for painting.
  void MarkForRepaint();
  void CreateScrollBars();
  TKsCustomScrollBar* MakeScrollBar(TScrollBarKind kind);
  void ScrollBarScroll(TObject* sender, TScrollCode code, int& pos);
  void PaintParentBackground(TKsBitmap& bitmap);
  void WMWindowPosChanged(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMPaint(TMessage& message);

  std::unique_ptr<TKsBitmap> FBuffer;
  std::unique_ptr<TKsBitmap> FBlendBuffer;
  int FBufferStep = 30;
  bool FFocused = false;
  bool FNeedsRepaint = false;
  bool FTransparent = false;
  bool FBlend = false;
  int FBlendValue = 150;
  bool FMouseInControl = false;
  TKsCustomScrollBar* FHorzScrollBar = nullptr;
  TKsCustomScrollBar* FVertScrollBar = nullptr;
  TScrollStyle FScrollBars = ssNone;
  bool FScrollLock = false;
  int FBufferWidth = 0;
  int FBufferHeight = 0;
};

class TKsGraphicControl : public TGraphicControl {
  KIVO_CLASS(TKsGraphicControl, TGraphicControl)
 public:
  explicit TKsGraphicControl(TComponent* AOwner);
  ~TKsGraphicControl() override;

  TKsBitmap* GetBuffer() const { return FBuffer.get(); }
  TKsBitmap* GetBlendBuffer() const { return FBlendBuffer.get(); }
  int GetBufferStep() const { return FBufferStep; }
  bool GetNeedsRepaint() const { return FNeedsRepaint; }
  void SetNeedsRepaint(bool value) { FNeedsRepaint = value; }
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool value);
  bool GetBlend() const { return FBlend; }
  void SetBlend(bool value);
  int GetBlendValue() const { return FBlendValue; }
  void SetBlendValue(int value);
  bool GetMouseInControl() const { return FMouseInControl; }
  bool GetPaintingInParent() const { return FPaintingInParent; }
  void SetPaintingInParent(bool value) { FPaintingInParent = value; }
  int GetBufferWidth() const { return FBufferWidth; }
  int GetBufferHeight() const { return FBufferHeight; }

  void Invalidate() override;
  void SetBounds(int left, int top, int width, int height) override;
  void Dispatch(TMessage& message) override;
  // Paints the buffer when NeedsRepaint is set; answers whether it painted.
  bool PaintBufferFull();

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

 protected:
  virtual void PaintBuffer();
  void Paint() override;
  void Loaded() override;
  void UpdateBuffer();
  virtual void MouseEnter();
  virtual void MouseLeave();
  bool Designing() const { return GetComponentState().Contains(csDesigning); }

 private:
  std::unique_ptr<TKsBitmap> FBuffer;
  std::unique_ptr<TKsBitmap> FBlendBuffer;
  int FBufferStep = 30;
  bool FNeedsRepaint = false;
  bool FTransparent = false;
  bool FBlend = false;
  int FBlendValue = 150;
  bool FMouseInControl = false;
  bool FPaintingInParent = false;
  int FBufferWidth = 0;
  int FBufferHeight = 0;
};
