// Window procedures that call a method of an object.
//
// MakeObjectInstance builds a small piece of executable code, distinct for every call,
// that Windows can use as a window procedure: it turns (hwnd, msg, wParam, lParam)
// into a TMessage, calls the bound method with it and returns Message.Result. Because
// every instance has its own address, code can tell an object's own procedure from any
// other (GetWindowLong(GWL_WNDPROC) == instance). Exceptions raised by the method stop
// at the instance and go to the boundary handler (the application's exception handler).
#pragma once

#include "classlib/Events.h"
#include "classlib/Messages.h"
#include "classlib/Win.h"

// The method a window procedure calls: obj->Member(TMessage&).
using TWndMethod = TEvent<TMessage&>;

// A new window procedure calling `method`; raises EOutOfResources when no executable
// memory can be had. Release it with FreeObjectInstance once no window uses it.
WNDPROC MakeObjectInstance(TWndMethod method);

// Releases an instance made by MakeObjectInstance; null is ignored.
void FreeObjectInstance(WNDPROC instance);

// The method an instance calls, or an unassigned method when `proc` is not an
// instance of ours (or has been freed).
TWndMethod ObjectInstanceMethod(WNDPROC proc);

// Number of instances currently allocated (for leak checks).
int ObjectInstanceCount();
