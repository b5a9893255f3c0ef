#include "editors/DxPictureCommands.h"

#include <memory>

#include "classlib/Bitmap.h"
#include "classlib/Clipboard.h"
#include "classlib/ExtDlgs.h"
#include "classlib/Forms.h"

void PastePictureFromClipboard(TPicture* picture, UINT format) {
  if (!Clipboard()->HasFormat(format))
    return;
  if (format == CF_PICTURE() && Clipboard()->HasFormat(CF_BITMAP)) {
    // Read whole before the picture changes: a failed read leaves the picture as it was.
    TBitmap bitmap;
    bitmap.Assign(Clipboard());
    picture->SetBitmap(&bitmap);
    return;
  }
  picture->Assign(Clipboard());
}

void LoadPictureWithDialog(TPicture* picture, const std::string& filter) {
  TOpenPictureDialog dialog(nullptr);
  if (!filter.empty())
    dialog.SetFilter(filter);
  if (dialog.Execute())
    picture->LoadFromFile(dialog.GetFileName());
}

void SavePictureWithDialog(TPicture* picture, const std::string& filter) {
  if (!picture->GetGraphic() || picture->GetGraphic()->GetEmpty())
    return;
  std::unique_ptr<TSavePictureDialog> dialog(new TSavePictureDialog(Application));
  const TGraphicClass graphicClass = picture->GetGraphic()->ClassType();
  dialog->SetFilter(filter.empty() ? GraphicFilter(graphicClass) : filter);
  dialog->SetDefaultExt(GraphicExtension(graphicClass));
  if (dialog->Execute())
    picture->SaveToFile(dialog->GetFileName());
}

int PictureCommandOfKey(WORD key, TShiftState shift) {
  if (key == VK_INSERT && shift == TShiftState{ssShift})
    return ptbPaste;
  if (key == VK_INSERT && shift == TShiftState{ssCtrl})
    return ptbCopy;
  if (key == VK_DELETE && shift == TShiftState{ssShift})
    return ptbCut;
  return -1;
}

int PictureCommandOfChar(char key) {
  switch (key) {
    case 3: return ptbCopy;
    case 22: return ptbPaste;
    case 24: return ptbCut;
    default: return -1;
  }
}

void RunPictureCommand(int command, const TdxPictureCommandSteps& steps) {
  const std::function<void()>* step = nullptr;
  switch (command) {
    case ptbCut: step = &steps.Cut; break;
    case ptbCopy: step = &steps.Copy; break;
    case ptbPaste: step = &steps.Paste; break;
    case ptbDelete: step = &steps.Delete; break;
    case ptbLoad: step = &steps.Load; break;
    case ptbSave: step = &steps.Save; break;
    case ptbCustom: step = &steps.Custom; break;
    default: return;
  }
  if (*step)
    (*step)();
}
