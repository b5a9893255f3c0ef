// The picture file dialogs: the open and save dialogs over the file dialogs of
// Dialogs.h (and so through their replaceable modal run), offering the registered
// graphic formats (GraphicFilter of TGraphic) unless a filter is set.
#pragma once

#include "classlib/Dialogs.h"

class TOpenPictureDialog : public TOpenDialog {
  KIVO_CLASS(TOpenPictureDialog, TOpenDialog)
 public:
  explicit TOpenPictureDialog(TComponent* AOwner);
};

class TSavePictureDialog : public TOpenPictureDialog {
  KIVO_CLASS(TSavePictureDialog, TOpenPictureDialog)
 public:
  explicit TSavePictureDialog(TComponent* AOwner) : TOpenPictureDialog(AOwner) {}
  bool Execute() override;
};
