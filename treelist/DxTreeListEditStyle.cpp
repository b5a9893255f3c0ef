#include "treelist/DxTreeListEditStyle.h"

#include "treelist/DxTreeList.h"

TdxEditButtonViewStyle TreeListButtonStyle(TdxLookAndFeel lookAndFeel) {
  switch (lookAndFeel) {
    case lfFlat:
      return btsFlat;
    case lfFramed:
      return btsHotFlat;
    default:
      return bts3D;
  }
}

TdxTreeListEditStyle::TdxTreeListEditStyle(TdxInplaceEdit* edit, TCustomdxTreeList* treeList)
    : TdxEditStyle(edit, &MetaClass()), FTreeList(treeList) {}

TColor TdxTreeListEditStyle::GetDefaultBorderColor() {
  return FTreeList ? clWindowFrame : inherited::GetDefaultBorderColor();
}

TdxEditBorderStyle TdxTreeListEditStyle::GetDefaultBorderStyle() {
  if (!FTreeList)
    return inherited::GetDefaultBorderStyle();
  return FTreeList->GetShowGrid() ? xbsNone : xbsSingle;
}

TdxEditButtonViewStyle TdxTreeListEditStyle::GetDefaultButtonStyle() {
  return FTreeList ? TreeListButtonStyle(FTreeList->GetLookAndFeel()) : inherited::GetDefaultButtonStyle();
}

TdxEditButtonTransparence TdxTreeListEditStyle::GetDefaultButtonTransparence() {
  return FTreeList ? ebtNone : inherited::GetDefaultButtonTransparence();
}

TdxEditEdges TdxTreeListEditStyle::GetDefaultEdges() { return FTreeList ? dxAllEdges : inherited::GetDefaultEdges(); }

bool TdxTreeListEditStyle::GetDefaultHotTrack() { return FTreeList ? false : inherited::GetDefaultHotTrack(); }

bool TdxTreeListEditStyle::GetDefaultShadow() { return FTreeList ? false : inherited::GetDefaultShadow(); }

// The tree list's editors take the style that follows its look.
TdxEditStyle* TCustomdxTreeList::CreateEditStyle(TdxInplaceEdit* edit) { return new TdxTreeListEditStyle(edit, this); }
