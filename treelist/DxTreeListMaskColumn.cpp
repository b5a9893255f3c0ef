#include "treelist/DxTreeListMaskColumn.h"

#include "classlib/PublishedProperties.h"
#include "treelist/DxTreeListControl.h"

void TdxTreeListMaskColumn::Assign(TPersistent* Source) {
  auto* source = ObjectAs<TdxTreeListMaskColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(Source);
  FEditMask = source->FEditMask;
}

void TdxTreeListMaskColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  auto* mask = ObjectAs<TdxInplaceMaskEdit>(Editor);
  if (!mask) {
    inherited::AssignEditValue(Node, Editor, Value);
    return;
  }
  Node->SetString(GetIndex(), mask->GetStoredText());
  if (GetTreeList())
    GetTreeList()->GetNodeValue(Node, GetIndex(), Value);
}

void TdxTreeListMaskColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  inherited::InitEditProperties(Editor);
  auto* mask = ObjectAs<TdxInplaceMaskEdit>(Editor);
  if (!mask)
    return;
  mask->SetEditMask(FEditMask);
  mask->SetIgnoreMaskBlank(FIgnoreMaskBlank);
}

void TdxTreeListMaskColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FEditMask.clear();
}

void TdxTreeListMaskColumn::PublishProperties() {
  using C = TdxTreeListMaskColumn;
  RegisterPublishedProperties(StaticClass(),
                              {StringProperty<&C::GetEditMask, &C::SetEditMask>("EditMask"),
                               OrdinalProperty<&C::GetIgnoreMaskBlank, &C::SetIgnoreMaskBlank>("IgnoreMaskBlank", false)});
}
