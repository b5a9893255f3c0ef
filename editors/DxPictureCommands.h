// The picture commands the graphic editor and the blob popup share: their numbers (the
// tool bar's buttons), the commands the clipboard keys give, one dispatch of a command
// to its owner's steps, pasting a picture from the clipboard, and loading and saving
// one through the picture file dialogs. Whether a command is allowed is the caller's to
// decide.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "classlib/Controls.h"
#include "classlib/Graphic.h"
#include "classlib/Win.h"

// Replaces `picture` with the clipboard's picture when the clipboard holds `format`;
// a picture that cannot be read leaves `picture` as it was.
void PastePictureFromClipboard(TPicture* picture, UINT format);
// Loads `picture` from a file the user picks in the open-picture dialog (with `filter`
// when it is not empty); nothing when the user picks none.
void LoadPictureWithDialog(TPicture* picture, const std::string& filter);
// Saves a non-empty `picture` to a file the user names in the save-picture dialog
// (with `filter`, else the filter and extension of the picture's graphic class).
void SavePictureWithDialog(TPicture* picture, const std::string& filter);

// The picture commands, numbered as the popup tool bar's buttons.
enum TdxPopupToolBarButton : uint8_t { ptbCut, ptbCopy, ptbPaste, ptbDelete, ptbLoad, ptbSave, ptbCustom };

// The commands picture keys give, or -1: Shift+Insert pastes, Ctrl+Insert copies and
// Shift+Delete cuts; typed, Ctrl+C (3) copies, Ctrl+V (22) pastes and Ctrl+X (24) cuts.
int PictureCommandOfKey(WORD key, TShiftState shift);
int PictureCommandOfChar(char key);

// What each picture command does for its owner; a step left empty does nothing.
struct TdxPictureCommandSteps {
  std::function<void()> Cut, Copy, Paste, Delete, Load, Save, Custom;
};
// Runs the step of `command` (a TdxPopupToolBarButton); any other number does nothing.
void RunPictureCommand(int command, const TdxPictureCommandSteps& steps);
