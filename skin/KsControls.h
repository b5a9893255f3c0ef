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

// What both bases keep of their buffers, over the class library's windowed or windowless
// control: the buffer and the blend buffer with the size they follow, the Transparent
// and Blend settings (each change repaints), the hot state with its events, and the
// plain look (Color unless Transparent). Defined for TWinControl and TGraphicControl.
template <class Base>
class TKsBufferedControl : public Base {
 public:
  using Base::Base;

  TKsBitmap* GetBuffer() const { return FBuffer.get(); }
  TKsBitmap* GetBlendBuffer() const { return FBlendBuffer.get(); }
  int GetBufferStep() const { return FBufferStep; }
  bool GetNeedsRepaint() const { return FNeedsRepaint; }
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool value);
  bool GetBlend() const { return FBlend; }
  void SetBlend(bool value);
  int GetBlendValue() const { return FBlendValue; }
  void SetBlendValue(int value);
  bool GetMouseInControl() const { return FMouseInControl; }
  int GetBufferWidth() const { return FBufferWidth; }
  int GetBufferHeight() const { return FBufferHeight; }

  // The buffer follows the new size (UpdateBuffer).
  void SetBounds(int left, int top, int width, int height) override;

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

 protected:
  // Draws the control's look into the buffer; the base fills it with Color unless
  // Transparent.
  virtual void PaintBuffer();
  // Follows BufferWidth and BufferHeight with the buffers and paints them when they changed.
  virtual void UpdateBuffer() = 0;
  virtual void MouseEnter();
  virtual void MouseLeave();
  // CM_MOUSEENTER and CM_MOUSELEAVE: the base's handling, then the hot state and its
  // event. Answers whether `message` was one of them.
  bool DispatchMouseHover(TMessage& message);

  bool Designing() const { return this->GetComponentState().Contains(csDesigning); }
  // The buffer can follow the control's size: it exists, the size is not negative and
  // the step is set.
  bool BufferCanFollow() const;
  // Sizes the buffers in steps for BufferWidth and BufferHeight; answers whether they
  // changed, marking them for painting then.
  bool FollowBufferSize();

  std::unique_ptr<TKsBitmap> FBuffer = std::make_unique<TKsBitmap>();
  std::unique_ptr<TKsBitmap> FBlendBuffer = std::make_unique<TKsBitmap>();
  int FBufferStep = 30;
  bool FNeedsRepaint = false;
  bool FTransparent = false;
  bool FBlend = false;
  int FBlendValue = 150;
  bool FMouseInControl = false;
  int FBufferWidth = 0;
  int FBufferHeight = 0;
};

extern template class TKsBufferedControl<TWinControl>;
extern template class TKsBufferedControl<TGraphicControl>;

class TKsCustomControl : public TKsBufferedControl<TWinControl> {
  KIVO_CLASS(TKsCustomControl, TWinControl)
 public:
  explicit TKsCustomControl(TComponent* AOwner);
  ~TKsCustomControl() override;

  bool GetFocused() const { return FFocused; }
  // Keyboard cues follow the form's UI state: the focus rectangle shows while focused
  // unless the form hides focus cues (until the keyboard is used), and accelerators are
  // underlined unless it hides them. A WM_UPDATEUISTATE repaints the control.
  bool ShowsFocusCue();
  bool HidesAccelerators();
  // The caption to draw: as it is, or without its accelerator mark (and DT_NOPREFIX
  // added to `flags`) while accelerators are hidden.
  std::string ShownCaption(UINT& flags);
  TKsCustomScrollBar* GetHorzScrollBar() const { return FHorzScrollBar; }
  TKsCustomScrollBar* GetVertScrollBar() const { return FVertScrollBar; }
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  bool GetScrollLock() const { return FScrollLock; }
  void SetScrollLock(bool value) { FScrollLock = value; }

  void Invalidate() override;
  void Repaint() override;
  void Dispatch(TMessage& message) override;
  // True when the parent's window says it is skinned (message 0x637).
  bool IsParentSkinned();
  // Paints the buffer again when it must be (always under a skinned parent).
  void PaintBufferFull();
  // Renders the windowless children into `dc` (the buffer's DC): skinned ones through
  // their own buffers over the part of this buffer beneath them.
  void PaintControls(HDC dc);
  using TWinControl::PaintControls;

 protected:
  // The factory of the built-in scroll bars: a bar owned by this control.
  virtual TKsCustomScrollBar* CreateScrollBar();
  virtual int GetScrollBarSize();

  void Loaded() override;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void SetScrollBars(TScrollStyle value);
  // Lays out the scroll bars, then follows the size with the buffers.
  void UpdateBuffer() override;
  virtual void DoSetFocus();
  virtual void DoKillFocus();

 private:
  // Designing: the buffer is sized and painted at once; otherwise marked for painting.
  void MarkForRepaint();
  void CreateScrollBars();
  TKsCustomScrollBar* MakeScrollBar(TScrollBarKind kind);
  void ScrollBarScroll(TObject* sender, TScrollCode code, int& pos);
  void PaintParentBackground(TKsBitmap& bitmap);
  void WMWindowPosChanged(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMPaint(TMessage& message);

  bool FFocused = false;
  TKsCustomScrollBar* FHorzScrollBar = nullptr;
  TKsCustomScrollBar* FVertScrollBar = nullptr;
  TScrollStyle FScrollBars = ssNone;
  bool FScrollLock = false;
};

class TKsGraphicControl : public TKsBufferedControl<TGraphicControl> {
  KIVO_CLASS(TKsGraphicControl, TGraphicControl)
 public:
  explicit TKsGraphicControl(TComponent* AOwner);
  ~TKsGraphicControl() override;

  void SetNeedsRepaint(bool value) { FNeedsRepaint = value; }
  bool GetPaintingInParent() const { return FPaintingInParent; }
  void SetPaintingInParent(bool value) { FPaintingInParent = value; }

  void Invalidate() override;
  void Dispatch(TMessage& message) override;
  // Paints the buffer when NeedsRepaint is set; answers whether it painted.
  bool PaintBufferFull();

 protected:
  void Paint() override;
  void Loaded() override;
  void UpdateBuffer() override;

 private:
  bool FPaintingInParent = false;
};
