// The table of freed senders (FreedSenderTableTest.cpp): the rows of the tree list's
// columns. A column tells of its cell's edit with itself as the sender: the column-bound
// control shows the column of the row's class first and a text column after it, the
// first node's cell of the column is focused and its editor opened by F2, and the input
// goes to the editor. The handler frees the column; the text column's cells stay as
// they were (an edit of the freed column is stored nowhere).
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Bitmap.h"
#include "classlib/Clipboard.h"
#include "editors/DxInplaceBlobEdit.h"
#include "editors/DxInplaceGraphicEdit.h"
#include "editors/DxPopupToolBar.h"
#include "tests/treelist/FreedSenderTable.h"
#include "treelist/DxTreeListCheckColumn.h"
#include "treelist/DxTreeListColumns.h"
#include "treelist/DxTreeListControl.h"
#include "treelist/DxTreeListDropDownColumns.h"
#include "treelist/DxTreeListMaskColumn.h"
#include "treelist/DxTreeListPictureColumns.h"
#include "treelist/DxTreeListTextColumns.h"
#include "treelist/DxTreeListWrapperColumn.h"

namespace senders {

namespace {

// How a row's column is made and reached: its settings, the text of its cells, and
// whether its editor is opened before the row's input.
template <class C>
struct TColumnKind {
  std::string Class;
  std::function<void(C*)> Prepare;
  std::string Value;
};

// The control of the row: the column of class C, then the text column "Other" whose
// cells hold "x" and "y".
template <class C>
C* MakeColumnGrid(TSenderBench& b, const TColumnKind<C>& kind, bool open) {
  auto* grid = new TCustomdxTreeListControl(b.Form);
  auto* column = static_cast<C*>(grid->CreateColumn(&C::MetaClass(), b.Form));
  column->SetCaption("Column");
  column->SetWidth(140);
  if (kind.Prepare)
    kind.Prepare(column);
  TdxTreeListColumn* other = grid->CreateColumn(&TdxTreeListColumn::MetaClass(), b.Form);
  other->SetCaption("Other");
  other->SetWidth(80);
  b.Place(grid, TRect{80, 4, 400, 164});
  grid->SetOptions(grid->GetOptions().Include(aoEditing).Include(aoColumnEditing).Exclude(aoRowSelect));
  for (const char* text : {"x", "y"}) {
    auto* node = static_cast<TdxTreeListTextNode*>(grid->Add());
    node->GetStrings()->Add(kind.Value);
    node->GetStrings()->Add(text);
  }
  grid->UpdateGuarded();
  grid->SetFocusedNode(grid->GetItem(0), 0, /*makeVisible=*/true);
  grid->SetFocus();
  PumpPending();
  if (open)
    b.Key(VK_F2);
  return column;
}

// The editor open over the focused cell of the column's control.
TdxInplaceEdit* OpenEditor(TdxTreeListColumn* column) {
  TCustomdxTreeListControl* grid = column->GetTreeList();
  return grid && grid->GetState() == stEditing ? grid->GetEditor() : nullptr;
}

// A column event fired by an input on the column's control (its editor open unless
// `open` is false); the row checks that the other column's cells are kept.
// Fault: the edit of a column its handler had freed was stored into the column that took
// its index, and the editors it had dressed called it back (a second change of one key).
template <class C>
TSenderRow ColumnRow(const TColumnKind<C>& kind, const std::string& event, const std::string& input,
                     std::function<void(TSenderBench&, C*)> bind, std::function<void(TSenderBench&, C*)> fire,
                     bool open = true) {
  return {kind.Class, event, input, [kind, bind, fire, open](TSenderBench& b) {
            C* column = MakeColumnGrid(b, kind, open);
            TCustomdxTreeListControl* grid = column->GetTreeList();
            TdxTreeListColumn* other = grid->GetColumn(1);
            bind(b, column);
            fire(b, column);
            for (int i = 0; i < 2; ++i)
              EXPECT_EQ(grid->GetItem(i)->GetString(other->GetIndex()), i == 0 ? "x" : "y")
                  << "the other column's cell " << i;
          }};
}

// Runs `work` on the column of `kind` in its control, its editor open, on the bench's
// form, or on a form of its own for a handler that frees the form.
template <class C>
void OnColumnGrid(TSenderBench& b, const TColumnKind<C>& kind, THolder holder,
                  const std::function<void(TSenderBench& own, C*)>& work) {
  auto run = [&](TSenderBench& own) { work(own, MakeColumnGrid(own, kind, /*open=*/true)); };
  if (holder == THolder::kForm)
    OnFormOfItsOwn(run);
  else
    run(b);
}

// The object a handler frees: the holder given, the column's control, or the form.
TObject* Freed(THolder holder, TObject* held, TdxTreeListColumn* column, TSenderBench& own) {
  if (holder == THolder::kHolder)
    return held;
  return holder == THolder::kControl ? static_cast<TObject*>(column->GetTreeList()) : own.Form;
}

// An edit is stored into its node's texts (a string list): their OnChanging or OnChange as
// `change` in the first node's cell is stored, by Enter or by a click on another control,
// the handler freeing the node, the tree list or the form.
// Fault: the store went on with the node, the column or the editor the handler had freed
// (the value read back from the node, the MRU column's list, the row repainted).
template <class C>
TSenderRow NodeTextsRow(const TColumnKind<C>& kind, bool changing, const std::string& change,
                        std::function<void(TSenderBench&, C*)> fire, bool enter, THolder holder) {
  const char* const freed[] = {"the node", "the tree list", "the form"};
  const std::string input = std::string(enter ? "Enter" : "a click on another control") + " after " + change +
                            " in a " + kind.Class + "'s cell, the handler freeing " + freed[int(holder)];
  return {"TStringList", changing ? "OnChanging" : "OnChange", input, [=](TSenderBench& b) {
            OnColumnGrid<C>(b, kind, holder, [&](TSenderBench& own, C* column) {
              auto* node = static_cast<TdxTreeListTextNode*>(column->GetTreeList()->GetItem(0));
              TStringList* texts = node->GetStrings();
              TObject* target = Freed(holder, node, column, own);
              changing ? b.FreeOn(texts->OnChanging, target) : b.FreeOn(texts->OnChange, target);
              fire(b, column);
              enter ? b.Key(VK_RETURN) : b.Click(own.Neighbour);
            });
          }};
}

// The change and the validation every column tells of, by `change` in its editor (and
// Enter, or a click on another control, after it).
template <class C>
void AddColumnEditRows(std::vector<TSenderRow>& rows, const TColumnKind<C>& kind, const std::string& change,
                       std::function<void(TSenderBench&, C*)> fire) {
  rows.push_back(ColumnRow<C>(kind, "OnChange", change, [](TSenderBench& b, C* c) { b.FreeOn(c->OnChange, c); }, fire));
  auto validate = [](TSenderBench& b, C* c) { b.FreeOn(c->OnValidate, c); };
  rows.push_back(ColumnRow<C>(kind, "OnValidate", "Enter after " + change, validate, [fire](TSenderBench& b, C* c) {
    fire(b, c);
    b.Key(VK_RETURN);
  }));
  rows.push_back(ColumnRow<C>(kind, "OnValidate", "a click on another control after " + change, validate,
                              [fire](TSenderBench& b, C* c) {
                                fire(b, c);
                                b.Click(b.Neighbour);
                              }));
  for (const bool changing : {true, false})
    rows.push_back(NodeTextsRow<C>(kind, changing, change, fire, /*enter=*/true, THolder::kHolder));
}

template <class C>
void AddTypedColumnRows(std::vector<TSenderRow>& rows, const TColumnKind<C>& kind, char typed) {
  AddColumnEditRows<C>(rows, kind, "a typed character", [typed](TSenderBench& b, C*) { b.Type(typed); });
}

// The list of a drop-down column's editor opened by F4, Alt+Down and its button.
template <class C>
void AddEditButtonRows(std::vector<TSenderRow>& rows, const TColumnKind<C>& kind) {
  auto bind = [](TSenderBench& b, C* c) { b.FreeOn(c->OnEditButtonClick, c); };
  rows.push_back(ColumnRow<C>(kind, "OnEditButtonClick", "F4 in its editor", bind,
                              [](TSenderBench& b, C*) { b.Key(VK_F4); }));
  rows.push_back(ColumnRow<C>(kind, "OnEditButtonClick", "Alt+Down in its editor", bind,
                              [](TSenderBench& b, C*) { b.Key(VK_DOWN, {VK_MENU}); }));
  rows.push_back(ColumnRow<C>(kind, "OnEditButtonClick", "a click on its editor's button", bind,
                              [](TSenderBench& b, C* c) {
                                if (auto* editor = ObjectAs<TdxInplaceDropDownEdit>(OpenEditor(c)))
                                  b.NcClick(editor, EditButtonPoint(editor));
                              }));
}

// The list of a pick or image column closed by Enter and Escape.
template <class C>
void AddCloseUpRows(std::vector<TSenderRow>& rows, const TColumnKind<C>& kind) {
  for (WORD key : {WORD(VK_RETURN), WORD(VK_ESCAPE)})
    rows.push_back(ColumnRow<C>(kind, "OnCloseUp", key == VK_RETURN ? "Enter in the open list" : "Escape in the open list",
                                [](TSenderBench& b, C* c) {
                                  b.Key(VK_F4);
                                  b.FreeOn(c->OnCloseUp, c);
                                },
                                [key](TSenderBench& b, C*) { b.Key(key); }));
}

void AddTextColumnRows(std::vector<TSenderRow>& rows) {
  const TColumnKind<TdxTreeListColumn> text{"TdxTreeListColumn", {}, "a"};
  AddTypedColumnRows<TdxTreeListColumn>(rows, text, 'z');
  // The node's texts by the other inputs and holders (Enter freeing the node is above).
  auto typed = [](TSenderBench& b, TdxTreeListColumn*) { b.Type('z'); };
  for (const bool changing : {true, false})
    for (const bool enter : {true, false})
      for (const THolder holder : {THolder::kHolder, THolder::kControl, THolder::kForm})
        if (!enter || holder != THolder::kHolder)
          rows.push_back(NodeTextsRow<TdxTreeListColumn>(text, changing, "a typed character", typed, enter, holder));
  AddTypedColumnRows<TdxTreeListMaskColumn>(rows, {"TdxTreeListMaskColumn", {}, "12"}, '7');
  AddTypedColumnRows<TdxTreeListMemoColumn>(
      rows, {"TdxTreeListMemoColumn", [](TdxTreeListMemoColumn* c) { c->SetWantReturns(false); }, "a"}, 'z');
  AddTypedColumnRows<TdxTreeListSpinColumn>(rows, {"TdxTreeListSpinColumn", {}, "1"}, '7');
  AddTypedColumnRows<TdxTreeListTimeColumn>(rows, {"TdxTreeListTimeColumn", {}, "10:30:00"}, '1');
  AddTypedColumnRows<TdxTreeListCurrencyColumn>(rows, {"TdxTreeListCurrencyColumn", {}, ""}, '5');
  // Without a reference column the wrapper edits its own cells as text.
  AddTypedColumnRows<TdxTreeListWrapperColumn>(rows, {"TdxTreeListWrapperColumn", {}, "a"}, 'z');

  const TColumnKind<TdxTreeListHyperLinkColumn> link{"TdxTreeListHyperLinkColumn", {}, "nowhere"};
  AddTypedColumnRows<TdxTreeListHyperLinkColumn>(rows, link, 'z');
  // The column hands its start to the editor it dresses only while it has a handler: the
  // handler is bound before F2 opens the editor.
  auto start = [](TSenderBench& b, TdxTreeListHyperLinkColumn* c) { b.FreeOn(c->OnStartClick, c); };
  rows.push_back(ColumnRow<TdxTreeListHyperLinkColumn>(link, "OnStartClick", "Ctrl+Enter in its editor", start,
                                                       [](TSenderBench& b, TdxTreeListHyperLinkColumn*) {
                                                         b.Key(VK_F2);
                                                         b.Key(VK_RETURN, {VK_CONTROL});
                                                       }, /*open=*/false));
  rows.push_back(ColumnRow<TdxTreeListHyperLinkColumn>(link, "OnStartClick", "a click on the link in its editor", start,
                                                       [](TSenderBench& b, TdxTreeListHyperLinkColumn* c) {
                                                         b.Key(VK_F2);
                                                         if (TdxInplaceEdit* editor = OpenEditor(c))
                                                           b.Click(editor, 8, editor->GetClientHeight() / 2);
                                                       }, /*open=*/false));

  const TColumnKind<TdxTreeListCheckColumn> check{"TdxTreeListCheckColumn", {}, "False"};
  auto space = [](TSenderBench& b, TdxTreeListCheckColumn*) { b.Key(VK_SPACE); };
  auto clickBox = [](TSenderBench& b, TdxTreeListCheckColumn* c) {
    if (TdxInplaceEdit* editor = OpenEditor(c))
      b.Click(editor);
  };
  AddColumnEditRows<TdxTreeListCheckColumn>(rows, check, "Space", space);
  auto toggle = [](TSenderBench& b, TdxTreeListCheckColumn* c) { b.FreeOn(c->OnToggleClick, c); };
  rows.push_back(ColumnRow<TdxTreeListCheckColumn>(check, "OnToggleClick", "Space in its editor", toggle, space));
  rows.push_back(ColumnRow<TdxTreeListCheckColumn>(check, "OnToggleClick", "a click on its box", toggle, clickBox));
}

void AddDropDownColumnRows(std::vector<TSenderRow>& rows) {
  const TColumnKind<TdxTreeListDateColumn> date{"TdxTreeListDateColumn", {}, ""};
  AddTypedColumnRows<TdxTreeListDateColumn>(rows, date, '7');
  AddEditButtonRows<TdxTreeListDateColumn>(rows, date);
  rows.push_back(ColumnRow<TdxTreeListDateColumn>(
      date, "OnDateValidateInput", "Enter after typing",
      [](TSenderBench& b, TdxTreeListDateColumn* c) { b.FreeOn(c->OnDateValidateInput, c); },
      [](TSenderBench& b, TdxTreeListDateColumn*) {
        b.Type('7');
        b.Key(VK_RETURN);
      }));

  const TColumnKind<TdxTreeListCalcColumn> calc{"TdxTreeListCalcColumn", {}, ""};
  AddTypedColumnRows<TdxTreeListCalcColumn>(rows, calc, '4');
  AddEditButtonRows<TdxTreeListCalcColumn>(rows, calc);

  const TColumnKind<TdxTreeListButtonColumn> button{"TdxTreeListButtonColumn", {}, ""};
  AddTypedColumnRows<TdxTreeListButtonColumn>(rows, button, 'q');
  auto buttonClick = [](TSenderBench& b, TdxTreeListButtonColumn* c) { b.FreeOn(c->OnButtonClick, c); };
  rows.push_back(ColumnRow<TdxTreeListButtonColumn>(button, "OnButtonClick", "a click on its editor's button", buttonClick,
                                                    [](TSenderBench& b, TdxTreeListButtonColumn* c) {
                                                      if (auto* e = ObjectAs<TdxInplaceDropDownEdit>(OpenEditor(c)))
                                                        b.NcClick(e, EditButtonPoint(e));
                                                    }));
  rows.push_back(ColumnRow<TdxTreeListButtonColumn>(button, "OnButtonClick", "Ctrl+Enter in its editor", buttonClick,
                                                    [](TSenderBench& b, TdxTreeListButtonColumn*) {
                                                      b.Key(VK_RETURN, {VK_CONTROL});
                                                    }));

  const TColumnKind<TdxTreeListImageColumn> image{"TdxTreeListImageColumn",
                                                  [](TdxTreeListImageColumn* c) {
                                                    c->GetValues()->SetText("r\r\ng\r\nb\r\n");
                                                    c->GetDescriptions()->SetText("Red\r\nGreen\r\nBlue\r\n");
                                                  },
                                                  "g"};
  AddTypedColumnRows<TdxTreeListImageColumn>(rows, image, 'b');
  AddEditButtonRows<TdxTreeListImageColumn>(rows, image);
  AddCloseUpRows<TdxTreeListImageColumn>(rows, image);

  auto items = [](TdxTreeListPickColumn* c) {
    c->GetItems()->SetText("Top\r\nBottom\r\n");
    c->SetImmediateDropDown(false);
  };
  const TColumnKind<TdxTreeListPickColumn> pick{"TdxTreeListPickColumn", items, ""};
  AddTypedColumnRows<TdxTreeListPickColumn>(rows, pick, 'b');
  AddEditButtonRows<TdxTreeListPickColumn>(rows, pick);
  AddCloseUpRows<TdxTreeListPickColumn>(rows, pick);

  const TColumnKind<TdxTreeListMRUColumn> mru{"TdxTreeListMRUColumn", items, ""};
  AddTypedColumnRows<TdxTreeListMRUColumn>(rows, mru, 'b');
  AddEditButtonRows<TdxTreeListMRUColumn>(rows, mru);
  AddCloseUpRows<TdxTreeListMRUColumn>(rows, mru);
  auto mruClick = [](TSenderBench& b, TdxTreeListMRUColumn* c) { b.FreeOn(c->OnButtonClick, c); };
  rows.push_back(ColumnRow<TdxTreeListMRUColumn>(mru, "OnButtonClick", "a click on its editor's ellipsis button",
                                                 mruClick, [](TSenderBench& b, TdxTreeListMRUColumn* c) {
                                                   if (auto* e = ObjectAs<TdxInplaceDropDownEdit>(OpenEditor(c)))
                                                     b.NcClick(e, EditButtonPoint(e, 1));
                                                 }));
  rows.push_back(ColumnRow<TdxTreeListMRUColumn>(mru, "OnButtonClick", "Ctrl+Enter in its editor", mruClick,
                                                 [](TSenderBench& b, TdxTreeListMRUColumn*) {
                                                   b.Key(VK_RETURN, {VK_CONTROL});
                                                 }));
}

// A bitmap of 11 by 6 pixels on the clipboard.
void BitmapOnClipboard() {
  TBitmap bitmap;
  bitmap.SetSize(11, 6);
  Clipboard()->Assign(&bitmap);
}

void AddPictureColumnRows(std::vector<TSenderRow>& rows) {
  const TColumnKind<TdxTreeListGraphicColumn> graphic{"TdxTreeListGraphicColumn", {}, ""};
  auto paste = [](TSenderBench& b, TdxTreeListGraphicColumn*) {
    BitmapOnClipboard();
    b.Key('V', {VK_CONTROL});
  };
  AddColumnEditRows<TdxTreeListGraphicColumn>(rows, graphic, "Ctrl+V", paste);
  // The picture is handed over as the edit is stored.
  rows.push_back(ColumnRow<TdxTreeListGraphicColumn>(
      graphic, "OnAssignPicture", "Enter after Ctrl+V",
      [](TSenderBench& b, TdxTreeListGraphicColumn* c) { b.FreeOn(c->OnAssignPicture, c); },
      [paste](TSenderBench& b, TdxTreeListGraphicColumn* c) {
        paste(b, c);
        b.Key(VK_RETURN);
      }));
  // The picture's class is asked as the editor loads the cell.
  // Fault: the editor's dressing went on with the editor and column the handler had freed.
  rows.push_back(ColumnRow<TdxTreeListGraphicColumn>(
      graphic, "OnGetGraphicClass", "F2 on its cell",
      [](TSenderBench& b, TdxTreeListGraphicColumn* c) { b.FreeOn(c->OnGetGraphicClass, c); },
      [](TSenderBench& b, TdxTreeListGraphicColumn*) { b.Key(VK_F2); }, /*open=*/false));
  // The custom button of the tool bar a double click on the editor shows, and the custom
  // line of the pop-up menu a right click shows.
  auto customClick = [](TSenderBench& b, TdxTreeListGraphicColumn* c) { b.FreeOn(c->OnCustomClick, c); };
  const TColumnKind<TdxTreeListGraphicColumn> toolBar{"TdxTreeListGraphicColumn",
                                                      [](TdxTreeListGraphicColumn* c) {
                                                        TdxPopupToolBarWindow* bar = c->GetPopupToolBar();
                                                        bar->SetButtons(bar->GetButtons().Include(ptbCustom));
                                                        bar->SetIsPopupMenu(false);
                                                        bar->SetVisible(true);
                                                      },
                                                      ""};
  rows.push_back(ColumnRow<TdxTreeListGraphicColumn>(toolBar, "OnCustomClick",
                                                     "a click on its editor's tool bar's custom button", customClick,
                                                     [](TSenderBench& b, TdxTreeListGraphicColumn* c) {
                                                       auto* e = ObjectAs<TdxInplaceGraphicEdit>(OpenEditor(c));
                                                       if (!e)
                                                         return;
                                                       b.DoubleClick(e);
                                                       TdxPopupToolBar* bar = e->GetToolBar();
                                                       if (bar && bar->Showing())
                                                         b.Click(bar->GetButton(ptbCustom));
                                                     }));
  const TColumnKind<TdxTreeListGraphicColumn> menu{"TdxTreeListGraphicColumn",
                                                   [](TdxTreeListGraphicColumn* c) {
                                                     TdxPopupToolBarWindow* bar = c->GetPopupToolBar();
                                                     bar->SetButtons(bar->GetButtons().Include(ptbCustom));
                                                   },
                                                   ""};
  rows.push_back(ColumnRow<TdxTreeListGraphicColumn>(
      menu, "OnCustomClick", "Enter on the custom line of its editor's pop-up menu", customClick,
      [](TSenderBench& b, TdxTreeListGraphicColumn* c) {
        TdxInplaceEdit* e = OpenEditor(c);
        if (!e)
          return;
        ChooseTheCustomLineOfItsMenu(b, e);
      }));

  // The memo of the blob column's popup, and its picture.
  const TColumnKind<TdxTreeListBlobColumn> blob{"TdxTreeListBlobColumn", {}, "first"};
  AddColumnEditRows<TdxTreeListBlobColumn>(rows, blob, "typing in its memo and Ctrl+Enter",
                                           [](TSenderBench& b, TdxTreeListBlobColumn*) {
                                             b.Key(VK_DOWN, {VK_MENU});
                                             b.Key(VK_END);
                                             b.Type('x');
                                             b.Key(VK_RETURN, {VK_CONTROL});
                                           });
  AddEditButtonRows<TdxTreeListBlobColumn>(rows, blob);
  const TColumnKind<TdxTreeListBlobColumn> pictures{
      "TdxTreeListBlobColumn", [](TdxTreeListBlobColumn* c) { c->SetBlobEditKind(bekPict); }, ""};
  rows.push_back(ColumnRow<TdxTreeListBlobColumn>(
      pictures, "OnGetGraphicClass", "Alt+Down on a picture cell",
      [](TSenderBench& b, TdxTreeListBlobColumn* c) { b.FreeOn(c->OnGetGraphicClass, c); },
      [](TSenderBench& b, TdxTreeListBlobColumn*) { b.Key(VK_DOWN, {VK_MENU}); }));
  // Fault: the blob editor read the picture of the value it hands over after the handler
  // had freed it (with the column, the editors it dressed).
  rows.push_back(ColumnRow<TdxTreeListBlobColumn>(
      pictures, "OnAssignPicture", "Enter after pasting into its picture popup",
      [](TSenderBench& b, TdxTreeListBlobColumn* c) { b.FreeOn(c->OnAssignPicture, c); },
      [](TSenderBench& b, TdxTreeListBlobColumn*) {
        BitmapOnClipboard();
        b.Key(VK_DOWN, {VK_MENU});
        b.Key('V', {VK_CONTROL});
        b.Key(VK_RETURN, {VK_CONTROL});
        b.Key(VK_RETURN);
      }));
}

// The MRU column's list is assigned from its editor's as the edit is stored, by Enter or
// by a click on another control after typing: the list's OnChanging and OnChange, the
// handler freeing the column, its tree list or their form.
// Fault: the store went on with the editor that the handler had freed with the column or
// the tree list (its modified flag cleared, the row repainted); the list went on with
// itself freed by its OnChanging (the copy of the editor's list made into it).
void AddMRUListRows(std::vector<TSenderRow>& rows) {
  auto items = [](TdxTreeListPickColumn* c) {
    c->GetItems()->SetText("Top\r\nBottom\r\n");
    c->SetImmediateDropDown(false);
  };
  const TColumnKind<TdxTreeListMRUColumn> mru{"TdxTreeListMRUColumn", items, ""};
  const char* const freed[] = {"the column", "the tree list", "the form"};
  for (const bool changing : {true, false})
    for (const bool enter : {true, false})
      for (const THolder holder : {THolder::kHolder, THolder::kControl, THolder::kForm}) {
        const std::string input = std::string(enter ? "Enter" : "a click on another control") +
                                  " after typing in an MRU column's cell, the handler freeing " + freed[int(holder)];
        rows.push_back({"TStringList", changing ? "OnChanging" : "OnChange", input, [=](TSenderBench& b) {
                          OnColumnGrid<TdxTreeListMRUColumn>(b, mru, holder, [&](TSenderBench& own, auto* column) {
                            TStringList* list = column->GetItems();
                            TObject* target = Freed(holder, column, column, own);
                            changing ? b.FreeOn(list->OnChanging, target) : b.FreeOn(list->OnChange, target);
                            b.Type('n');
                            enter ? b.Key(VK_RETURN) : b.Click(own.Neighbour);
                          });
                        }});
      }
}

}  // namespace

void AddColumnRows(std::vector<TSenderRow>& rows) {
  AddTextColumnRows(rows);
  AddDropDownColumnRows(rows);
  AddPictureColumnRows(rows);
  AddMRUListRows(rows);
}

}  // namespace senders
