// The wrapper column.
//
// Decisions taken here:
// - The wrapper column sets its reference column's index override for the conversion
//   and sets it back however the call ends; a reference that is the wrapper itself, or
//   that leads back to it through other wrappers, counts as no reference.
#include "treelist/DxTreeListWrapperColumn.h"

#include <algorithm>
#include <vector>

#include "classlib/AliveGuard.h"
#include "treelist/DxTreeListControl.h"

// ==== Wrapper column

void TdxTreeListWrapperColumn::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* other = ObjectAs<TdxTreeListWrapperColumn>(source))
    OnGetReferenceColumn = other->OnGetReferenceColumn;
}

TdxTreeListColumn* TdxTreeListWrapperColumn::GetReferenceColumn(TdxTreeListNode* node) {
  if (!node)
    node = FocusedNode();
  if (!node || !OnGetReferenceColumn.Assigned())
    return nullptr;
  TdxTreeListColumn* column = nullptr;
  OnGetReferenceColumn(this, node, column);
  // Follow a chain of wrappers: one that comes back to a wrapper already seen (this
  // one included) is no reference.
  std::vector<TdxTreeListColumn*> seen{this};
  for (auto* wrapper = ObjectAs<TdxTreeListWrapperColumn>(column); wrapper;) {
    if (std::find(seen.begin(), seen.end(), wrapper) != seen.end())
      return nullptr;
    seen.push_back(wrapper);
    TdxTreeListColumn* next = nullptr;
    wrapper->OnGetReferenceColumn(wrapper, node, next);
    wrapper = ObjectAs<TdxTreeListWrapperColumn>(next);
  }
  return column;
}

const TdxInplaceEditClass* TdxTreeListWrapperColumn::GetCellEditorClass(TdxTreeListNode* node) {
  TdxTreeListColumn* reference = GetReferenceColumn(node);
  return reference ? reference->GetCellEditorClass(node) : inherited::GetEditorClass();
}

TdxEditViewData* TdxTreeListWrapperColumn::GetCellViewData(TdxTreeListNode* node) {
  TdxTreeListColumn* reference = GetReferenceColumn(node);
  return reference ? reference->GetCellViewData(node) : inherited::GetViewData();
}

template <class F>
void TdxTreeListWrapperColumn::WithIndexOf(TdxTreeListColumn* reference, F call) {
  const int saved = reference->GetIndexOverride();
  reference->SetIndexOverride(GetIndex());
  // The call's handlers (the node's change as a value is stored) may free the reference.
  const TOnExitIfAlive reset(reference, [reference, saved] { reference->SetIndexOverride(saved); });
  call();
}

void TdxTreeListWrapperColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  TdxTreeListColumn* reference = GetReferenceColumn(node);
  if (!reference) {
    AssignChangedEditValue(this, node, editor, value);
    return;
  }
  WithIndexOf(reference, [&] { reference->AssignEditValue(node, editor, value); });
}

void TdxTreeListWrapperColumn::LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  TdxTreeListColumn* reference = GetReferenceColumn(node);
  if (!reference) {
    inherited::LoadEditValue(node, editor, value);
    return;
  }
  WithIndexOf(reference, [&] { reference->LoadEditValue(node, editor, value); });
}

const TdxInplaceEditClass* TdxTreeListWrapperColumn::GetEditorClass() {
  TdxTreeListColumn* reference = GetReferenceColumn(nullptr);
  return reference ? reference->GetEditorClass() : inherited::GetEditorClass();
}

void TdxTreeListWrapperColumn::GetCellCursor(TdxTreeListNode* node, TCursor& cursor) {
  TdxTreeListColumn* reference = GetReferenceColumn(node);
  if (!reference) {
    inherited::GetCellCursor(node, cursor);
    return;
  }
  WithIndexOf(reference, [&] { reference->GetCellCursor(node, cursor); });
}

TdxEditViewData* TdxTreeListWrapperColumn::GetViewData() {
  TdxTreeListColumn* reference = GetReferenceColumn(nullptr);
  return reference ? reference->GetViewData() : inherited::GetViewData();
}

void TdxTreeListWrapperColumn::InitEditProperties(TdxInplaceEdit* editor) {
  TdxTreeListColumn* reference = GetReferenceColumn(nullptr);
  if (!reference) {
    inherited::InitEditProperties(editor);
    return;
  }
  WithIndexOf(reference, [&] { reference->InitEditProperties(editor); });
}

bool TdxTreeListWrapperColumn::ButtonQuery(bool defaultValue) {
  TdxTreeListColumn* reference = GetReferenceColumn(nullptr);
  return reference ? reference->ButtonQuery(defaultValue) : inherited::ButtonQuery(defaultValue);
}

void TdxTreeListWrapperColumn::PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) {
  TdxTreeListColumn* reference = GetReferenceColumn(cellInfo->Node);
  if (!reference) {
    inherited::PrepareViewData(viewData, cellInfo);
    return;
  }
  WithIndexOf(reference, [&] { reference->PrepareViewData(viewData, cellInfo); });
}
