// The values a tree list paints a cell from.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Colors.h"
#include "classlib/Controls.h"
#include "classlib/Geometry.h"
#include "classlib/Object.h"
#include "classlib/Win.h"

class TdxTreeListNode;

// The values one cell is painted from; the control's painter holds one and refills it
// before every cell.
class TdxTreeListCellViewData : public TObject {
  KIVO_CLASS(TdxTreeListCellViewData, TObject)
 public:
  HBRUSH Brush = nullptr;
  HFONT Font = nullptr;
  TColor Color = clWindow;
  TColor TextColor = clWindowText;
  TAlignment Alignment = taLeftJustify;
  std::string Text;
  int32_t MatchLength = 0;
  bool Highlighted = false;
  bool OptionFlag = false;
  bool EntryFlag1 = false;
  bool EntryFlag2 = false;
  bool MultiLine = false;
  bool SearchPass = false;
  bool DisplayFlag = false;
  TdxTreeListNode* Node = nullptr;
  bool NewItemFlag = false;
  TColor SelectionColor = clHighlight;
  HBRUSH ColumnBrush = nullptr;
  TColor ColumnColor = clWindow;
  bool HotFlag = false;
  TRect Bounds{0, 0, 0, 0};
};
