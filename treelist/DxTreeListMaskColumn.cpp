#include "treelist/DxTreeListMaskColumn.h"

#include "classlib/PublishedProperties.h"
#include "editors/DxMaskEngine.h"
#include "treelist/DxTreeListControl.h"

namespace {

// The stored value without the literals it carries at their places (a mask that saves
// its literals stores them with the value), so that laying it into the mask puts each
// literal in once; a value stored without literals comes back unchanged.
std::string WithoutPlacedLiterals(const std::string& mask, const std::string& text) {
  const std::string layout = FormatMaskText(mask, "", MaskGetMaskBlank(mask));
  std::string bare;
  size_t position = 0;
  for (char c : text) {
    bool placed = false;
    while (position < layout.size() && IsLiteralChar(mask, int(position) + 1)) {
      placed = c == layout[position++];
      if (placed)
        break;
    }
    if (placed)
      continue;
    bare.push_back(c);
    ++position;
  }
  return bare;
}

}  // namespace

void TdxTreeListMaskColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListMaskColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList());
  inherited::Assign(source);
  FEditMask = other->FEditMask;
}

void TdxTreeListMaskColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* mask = ObjectAs<TdxInplaceMaskEdit>(editor);
  if (!mask) {
    inherited::AssignEditValue(node, editor, value);
    return;
  }
  StoreNodeText(this, node, mask->GetStoredText(), value);
}

void TdxTreeListMaskColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* mask = ObjectAs<TdxInplaceMaskEdit>(editor);
  if (!mask)
    return;
  mask->SetEditMask(FEditMask);
  mask->SetIgnoreMaskBlank(FIgnoreMaskBlank);
}

void TdxTreeListMaskColumn::LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* mask = ObjectAs<TdxInplaceMaskEdit>(editor);
  if (!mask) {
    inherited::LoadEditValue(node, editor, value);
    return;
  }
  const std::string text = GetNodeText(node);
  mask->SetEditValue(Variant(mask->IsMasked() ? WithoutPlacedLiterals(mask->GetEditMask(), text) : text));
  value = Variant(text);
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
