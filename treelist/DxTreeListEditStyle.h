// TdxTreeListEditStyle: the edit style of the tree list's in-place editors. Its defaults
// follow the tree list's look instead of a style controller: no border while the grid
// lines are shown (a single border otherwise), buttons in the look's style, all edges,
// no hot tracking and no shadow. A value set on the style itself still wins.
#pragma once

#include "editors/DxEditStyle.h"
#include "treelist/DxTreeListTypes.h"

class TCustomdxTreeList;

// The button style of a tree-list look: standard bts3D, flat btsFlat, framed btsHotFlat.
TdxEditButtonViewStyle TreeListButtonStyle(TdxLookAndFeel lookAndFeel);

class TdxTreeListEditStyle : public TdxEditStyle {
  KIVO_CLASS(TdxTreeListEditStyle, TdxEditStyle)
 public:
  // Without a tree list the style answers as a plain edit style.
  explicit TdxTreeListEditStyle(TdxInplaceEdit* edit, TCustomdxTreeList* treeList = nullptr);

  TCustomdxTreeList* GetTreeList() const { return FTreeList; }

 protected:
  TColor GetDefaultBorderColor() override;
  TdxEditBorderStyle GetDefaultBorderStyle() override;
  TdxEditButtonViewStyle GetDefaultButtonStyle() override;
  TdxEditButtonTransparence GetDefaultButtonTransparence() override;
  TdxEditEdges GetDefaultEdges() override;
  bool GetDefaultHotTrack() override;
  bool GetDefaultShadow() override;

 private:
  TCustomdxTreeList* FTreeList;
};
