// Drag-and-drop and docking of controls.
//
// One drag runs at a time. BeginDrag makes it pending, or starts it at once: a hidden
// capture window of the library takes the mouse, so every mouse message of the drag
// reaches it whatever lies under the pointer, and a message hook of the thread catches
// Escape. Once the pointer leaves the threshold square around the press, the source's
// DoStartDrag (DoStartDock) may hand a drag object of its own, else the library makes
// one. Each move then finds the control under the pointer (for a dock drag, the dock
// site that takes the control there) and sends it CM_DRAG: drag-enter when the
// pointer comes to it, drag-move while it stays, drag-leave when it goes or the drag
// ends without a drop, drag-drop when the left button is released over a control that
// accepted. The drag cursor and the drag image follow the answers. Escape, the right
// button, a lost capture and WM_CANCELMODE cancel.
//
// Every ending releases the capture and the hook and hides the drag image before any
// handler runs; the drag object lives until the outermost call of the drag returns, so
// a handler may end the drag from inside a drag message. A source freed during its
// drag ends the drag at once, without any handler of its own; a freed target is only
// forgotten.
//
// Docking: a dock drag carries the dragged control's rectangle (drawn inverted on the
// screen). Dropped on a dock site that accepted, the control moves into the site at the
// rectangle (DockDrop); dropped elsewhere it floats in a tool-window form of its own
// (TCustomDockForm), which frees itself once its control has left. The control keeps
// its size throughout.
#pragma once

#include "classlib/Forms.h"

class TDragManager;

// The pixels the pointer may move from the press before a pending drag starts.
constexpr int DefaultDragThreshold = 5;

// What CM_DRAG hands its receiver (LParam); WParam's low word is the TDragMessage and
// the Result of enter and move is the receiver's acceptance.
struct TDragRec {
  TPoint Pos;  // screen coordinates
  TDragObject* Source;
  TControl* Target;
  bool Docking;
};

// The state of one drag, as its handlers see it.
class TDragObject : public TObject {
  KIVO_CLASS(TDragObject, TObject)
 public:
  // The pointer in screen coordinates, the control the drag is over (null over none)
  // and the pointer in that control's client coordinates.
  TPoint GetDragPos() const { return FDragPos; }
  TControl* GetDragTarget() const { return FDragTarget; }
  TPoint GetDragTargetPos() const { return FDragTargetPos; }
  // The target's last answer.
  bool GetAccepted() const { return FAccepted; }
  bool GetCancelling() const { return FCancelling; }
  bool GetDropped() const { return FDropped; }
  // The cursor for an answer: crDrag or crNoDrop.
  virtual TCursor GetDragCursor(bool accepted, int x, int y);
  // The image list whose drag image follows the pointer, or null.
  virtual TCustomImageList* GetDragImages() { return nullptr; }
  // What the drag handlers receive as Source: the object itself.
  virtual TObject* GetSource() { return this; }
  // Hides and shows again the drag image while this drag runs (a target repainting
  // under it hides it first).
  void HideDragImage();
  void ShowDragImage();

 private:
  friend class TDragManager;
  friend class TControl;
  friend class TWinControl;
  TPoint FDragPos{};
  TControl* FDragTarget = nullptr;
  TPoint FDragTargetPos{};
  bool FAccepted = false;
  bool FCancelling = false;
  bool FDropped = false;
};

// A drag object that moves a control.
class TBaseDragControlObject : public TDragObject {
  KIVO_CLASS(TBaseDragControlObject, TDragObject)
 public:
  explicit TBaseDragControlObject(TControl* control) : FControl(control) {}
  TControl* GetControl() const { return FControl; }

 private:
  TControl* FControl;
};

// The drag of a control's data: handlers receive the control as Source; the cursor is
// its DragCursor where accepted and the image its GetDragImages.
class TDragControlObject : public TBaseDragControlObject {
  KIVO_CLASS(TDragControlObject, TBaseDragControlObject)
 public:
  using TBaseDragControlObject::TBaseDragControlObject;
  TCursor GetDragCursor(bool accepted, int x, int y) override;
  TCustomImageList* GetDragImages() override;
  TObject* GetSource() override { return GetControl(); }
};

// The drag of a control to dock it: the rectangle the control would take (screen
// coordinates), which a dock site under the pointer may move.
class TDragDockObject : public TBaseDragControlObject {
  KIVO_CLASS(TDragDockObject, TBaseDragControlObject)
 public:
  using TBaseDragControlObject::TBaseDragControlObject;
  const TRect& GetDockRect() const { return FDockRect; }
  void SetDockRect(const TRect& value) { FDockRect = value; }
  // A drop now would float the control (no dock site takes it).
  bool GetFloating() const { return FFloating; }
  // The width of the inverted frame that shows the rectangle.
  int GetFrameWidth() const { return FFloating ? 3 : 1; }
  // The cursor stays the default one: the rectangle shows where the control goes.
  TCursor GetDragCursor(bool, int, int) override { return crDefault; }

 private:
  friend class TDragManager;
  TRect FDockRect{};
  bool FFloating = true;
};

// The floating tool window of a control that was undocked; it frees itself once its
// control has left it.
class TCustomDockForm : public TCustomForm {
  KIVO_CLASS(TCustomDockForm, TCustomForm)
 public:
  explicit TCustomDockForm(TComponent* AOwner);
  void Dispatch(TMessage& message) override;
};

// The drag object of the running drag (past its threshold), or null.
TDragObject* ActiveDragObject();
// BeginDrag from an explicit screen point (where the caller saw the press).
void BeginDragAt(TControl* control, const TPoint& screenPos, bool immediate, int threshold = -1);
