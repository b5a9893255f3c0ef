// The stand-in host's view of the plug-in's windows from outside: their texts, the
// dialogs among its top-level windows, and a click as a person gives it. Shared by the
// watcher that answers the dialogs and the shooter that takes pictures of them.
#pragma once

#include <string>
#include <vector>

#include "classlib/Win.h"

namespace standin {

// The captions of the plug-in's dialogs: options, status and error box.
constexpr char kOptionsCaption[] = "KIVO Importer";
constexpr char kStatusCaption[] = "KIVO Translator";
constexpr char kErrorCaption[] = "Vantor Suite Error";

std::string WindowText(HWND wnd);
// The visible top-level windows of this process with a caption, the host's own aside.
std::vector<HWND> DialogWindows();
// A press and release at (x, y) of the control's client area, posted.
void PostClick(HWND control, int x, int y);
// The same at the centre of a control that is no native button.
void PostClickAtCentre(HWND control);

}  // namespace standin
