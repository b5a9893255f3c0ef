// Shared state of the control classes, for their own implementation files only.
#pragma once

#include "classlib/Controls.h"

namespace controls_detail {

// A control is going away: forget it as the mouse, capture or hint control.
void ControlDestroyed(TControl* control);
// Window map maintenance.
void RegisterWindow(TWinControl* control, HWND wnd, UINT id);
void UnregisterWindow(TWinControl* control, HWND wnd, UINT id);
// Reports an exception raised while `sender` handled a message (from a catch block).
void HandleControlException(TObject* sender);
// Shift state from the keyboard.
TShiftState CurrentShiftState();
// Releases the DCs control canvases took from `wnd` (the window is going away).
void FreeWindowDeviceContexts(HWND wnd);
// Moves the origin of a DC by (dx, dy) in logical units.
void MoveWindowOrg(HDC dc, int dx, int dy);
// Drag and dock (DragDrop.cpp): a control is going away (a drag it is part of ends
// without it), and a control received a mouse message (the point a drag starts from).
void DragControlDestroyed(TControl* control);
void NoteMouseMessage(TControl* control, const TMessage& message);

}  // namespace controls_detail
