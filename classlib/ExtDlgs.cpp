#include "classlib/ExtDlgs.h"

#include "classlib/Graphic.h"

TOpenPictureDialog::TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner) {
  SetFilter(GraphicFilter(TGraphic::StaticClass()));
}

bool TSavePictureDialog::Execute() { return DoExecute(GetSaveFileNameA); }
