// The picture commands the graphic editor and the blob popup share: pasting a picture
// from the clipboard, and loading and saving one through the picture file dialogs.
// Whether a command is allowed is the caller's to decide.
#pragma once

#include <cstdint>
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

// The clipboard commands picture keys give: Shift+Insert pastes, Ctrl+Insert copies and
// Shift+Delete cuts; typed, Ctrl+C (3) copies, Ctrl+V (22) pastes and Ctrl+X (24) cuts.
enum TdxClipboardCommand : uint8_t { ccNone, ccCut, ccCopy, ccPaste };
TdxClipboardCommand ClipboardCommandOfKey(WORD key, TShiftState shift);
TdxClipboardCommand ClipboardCommandOfChar(char key);
