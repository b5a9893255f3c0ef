// The table of freed senders (FreedSenderTableTest.cpp): the objects that hold a value
// and tell its change (string lists, pictures), where an input changes the value. The
// control that holds such an object binds its event for itself; a user who binds it
// instead may free, in the handler, the control that holds the value, or the form.
// (The MRU column's list, assigned from its editor's, is among the column rows.)
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Bitmap.h"
#include "classlib/Clipboard.h"
#include "classlib/Dialogs.h"
#include "editors/DxBlobPopup.h"
#include "editors/DxInplaceBlobEdit.h"
#include "editors/DxInplaceGraphicEdit.h"
#include "editors/DxInplaceMRUEdit.h"
#include "editors/DxPopupToolBar.h"
#include "skin/KsButtons.h"
#include "tests/support/TestSupport.h"
#include "tests/treelist/FreedSenderTable.h"
#include "xpcontrols/XPEdit.h"

namespace senders {

namespace {

// The stand-alone MRU editor keeps an accepted value at the top of its list as the focus
// leaves it after typing: the list's OnChanging and OnChange, the handler freeing the
// editor or the form.
// Fault: the editor went on with its list after the handler had freed it with the editor
// (the list trimmed to its longest).
void AddMRUEditorListRows(std::vector<TSenderRow>& rows) {
  for (const bool changing : {true, false})
    for (const bool form : {false, true}) {
      const std::string input =
          std::string("a click on another control after typing in an MRU editor, the handler freeing ") +
          (form ? "the form" : "the editor");
      auto run = [changing, form](TSenderBench& b, TSenderBench& own) {
        TStandAlone<TdxInplaceMRUEdit>* e = Editor<TdxInplaceMRUEdit>([](auto* e) {
          e->GetItems()->SetText("Top\nBottom");
        })(own);
        e->SetFocus();
        PumpPending();
        TObject* target = form ? static_cast<TObject*>(own.Form) : e;
        changing ? b.FreeOn(e->GetItems()->OnChanging, target) : b.FreeOn(e->GetItems()->OnChange, target);
        b.Type('7');
        b.Click(own.Neighbour);
      };
      rows.push_back({"TStringList", changing ? "OnChanging" : "OnChange", input, [run, form](TSenderBench& b) {
                        if (form)
                          OnFormOfItsOwn([&](TSenderBench& own) { run(b, own); });
                        else
                          run(b, b);
                      }});
    }
}

// The XP edit underlines its font while the pointer is over it: the font's OnChange as
// the pointer moves onto it and off it, the handler freeing the edit.
void AddXPEditFontRows(std::vector<TSenderRow>& rows) {
  auto make = [](TSenderBench& b) { return b.Make<TCustomXPEdit>(TRect{80, 4, 230, 25}); };
  auto underlined = [](TCustomXPEdit* e) { return e->GetFont()->GetStyle().Contains(fsUnderline); };
  rows.push_back({"TFont", "OnChange", "the pointer moving onto an XP edit, the handler freeing the edit",
                  [make](TSenderBench& b) {
                    TCustomXPEdit* e = make(b);
                    b.FreeOn(e->GetFont()->OnChange, e);
                    b.PointTo(e, [&b] { return b.Fired > 0; });
                  }});
  rows.push_back({"TFont", "OnChange", "the pointer moving off an XP edit, the handler freeing the edit",
                  [make, underlined](TSenderBench& b) {
                    TCustomXPEdit* e = make(b);
                    b.PointTo(e, [e, underlined] { return underlined(e); });
                    b.FreeOn(e->GetFont()->OnChange, e);
                    b.PointTo(b.Neighbour, [&b] { return b.Fired > 0; });
                  }});
}

// A picture file of 9 by 5 pixels, written once.
std::string PictureFile() {
  static const std::string file = [] {
    const std::string name = EmptiedTempFolder("kivo-freed-sender-pictures") + "\\picture.bmp";
    TBitmap bitmap;
    bitmap.SetSize(9, 5);
    bitmap.SaveToFile(name);
    return name;
  }();
  return file;
}

// Answers the next file dialog with PictureFile(), as a person choosing it does.
struct TChosenPicture {
  TChosenPicture() { CommonDialogModalRunProc = &Choose; }
  ~TChosenPicture() { CommonDialogModalRunProc = CommonDialogModalRunOriginal; }
  TChosenPicture(const TChosenPicture&) = delete;
  TChosenPicture& operator=(const TChosenPicture&) = delete;
  static BOOL Choose(TCommonDialog*, TOpenFileNameFunc, OPENFILENAMEA& ofn) {
    lstrcpynA(ofn.lpstrFile, PictureFile().c_str(), int(ofn.nMaxFile));
    return TRUE;
  }
};

// The graphic editor's picture changed by its commands: cut by Shift+Delete, pasted by
// Ctrl+V, loaded from the file chosen in the dialog its tool bar's Load button opens;
// the picture's OnChange, the handler freeing the editor.
void AddGraphicEditorPictureRows(std::vector<TSenderRow>& rows) {
  auto pictured = Editor<TdxInplaceGraphicEdit>([](auto* e) {
    TBitmap picture;
    picture.SetSize(8, 8);
    e->GetPicture()->Assign(&picture);
    TdxPopupToolBarWindow* bar = e->GetPopupToolBar();
    bar->SetIsPopupMenu(false);
    bar->SetVisible(true);
  });
  auto row = [&rows, pictured](const char* input, std::function<void(TSenderBench&, TdxInplaceGraphicEdit*)> fire) {
    rows.push_back({"TPicture", "OnChange", std::string(input) + ", the handler freeing the editor",
                    [pictured, fire](TSenderBench& b) {
                      TdxInplaceGraphicEdit* e = pictured(b);
                      e->SetFocus();
                      PumpPending();
                      b.FreeOn(e->GetPicture()->OnChange, e);
                      fire(b, e);
                    }});
  };
  row("Shift+Delete on a graphic editor's picture", [](TSenderBench& b, TdxInplaceGraphicEdit*) {
    b.Key(VK_DELETE, {VK_SHIFT});
  });
  row("Ctrl+V in a graphic editor", [](TSenderBench& b, TdxInplaceGraphicEdit*) {
    TBitmap bitmap;
    bitmap.SetSize(11, 6);
    Clipboard()->Assign(&bitmap);
    b.Key('V', {VK_CONTROL});
  });
  row("a graphic editor's Load button, a file chosen in its dialog", [](TSenderBench& b, TdxInplaceGraphicEdit* e) {
    const TChosenPicture chosen;
    b.DoubleClick(e);  // shows the tool bar
    TdxPopupToolBar* bar = e->GetToolBar();
    if (bar && bar->Showing())
      b.Click(bar->GetButton(ptbLoad));
  });
  // The blob editor's picture popup (Alt+Down opens it), pasted into by Ctrl+V.
  rows.push_back({"TPicture", "OnChange", "Ctrl+V in a blob editor's picture popup, the handler freeing the editor",
                  [](TSenderBench& b) {
                    auto* e = Editor<TdxInplaceBlobEdit>([](auto* e) { e->SetBlobEditKind(bekPict); })(b);
                    e->SetFocus();
                    PumpPending();
                    b.Key(VK_DOWN, {VK_MENU});
                    if (!e->GetPopup())
                      return;
                    b.FreeOn(e->GetPopup()->GetPicture()->OnChange, e);
                    TBitmap bitmap;
                    bitmap.SetSize(11, 6);
                    Clipboard()->Assign(&bitmap);
                    b.Key('V', {VK_CONTROL});
                  }});
}

// A skinned control's buffer follows its size: the buffer's OnChange as the control grows
// with its window maximised, the handler freeing the control.
void AddSkinBufferRows(std::vector<TSenderRow>& rows) {
  rows.push_back({"TKsBitmap", "OnChange", "a skinned button's window maximised, the handler freeing the button",
                  [](TSenderBench& b) {
                    auto* button = Captioned<TKsCustomButton>(TRect{80, 4, 155, 29}, "&Go")(b);
                    TControl* top = button;
                    for (; top->GetParent(); top = top->GetParent())
                      top->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
                    b.FreeOn(button->GetBuffer()->OnChange, button);
                    PostMessageA(static_cast<TWinControl*>(top)->GetHandle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
                    Application->ProcessMessages();
                  }});
}

// A skinned form blended over what lies beneath it keeps a buffer of its window's size:
// the buffer's OnChange as the form is maximised, the handler freeing the form.
void AddSkinnedFormBufferRows(std::vector<TSenderRow>& rows) {
  rows.push_back({"TKsBitmap", "OnChange", "a blended skinned form maximised, the handler freeing the form",
                  [](TSenderBench& b) {
                    auto* form = new TForm(nullptr);
                    TKsCustomForm* skin = GiveSkin(form, /*blend=*/true);
                    form->Show();
                    PumpPending();
                    const TAliveGuard alive(form);
                    b.FreeOn(skin->GetBuffer()->OnChange, form);
                    PostMessageA(form->GetHandle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
                    Application->ProcessMessages();
                    if (alive.Alive())
                      delete form;
                  }});
}

// A header dragged to another place moves its column, and each node's texts with it
// (the columns A, B and C; A dropped after C): the first node's texts' OnChanging and
// OnChange, the handler freeing the node, the tree list or the form.
// Fault: the column's move went on with the nodes, the texts and the tree list the
// handler had freed (the next node's texts, the column list, the moved header's event).
void AddColumnMoveTextRows(std::vector<TSenderRow>& rows) {
  const THeaderDrag moveA{[](TCustomdxTreeList* t) { return ColumnHeaderRect(t, 0); },
                          [](TCustomdxTreeList* t) {
                            const TRect c = ColumnHeaderRect(t, 2);
                            return TRect{c.right - 8, c.top, c.right - 2, c.bottom};
                          }};
  const char* const freed[] = {"the node", "the tree list", "the form"};
  for (const bool changing : {true, false})
    for (const THolder holder : {THolder::kHolder, THolder::kControl, THolder::kForm}) {
      const std::string input = std::string("a header dragged to another place, the handler freeing ") + freed[int(holder)];
      rows.push_back({"TStringList", changing ? "OnChanging" : "OnChange", input, [=](TSenderBench& b) {
                        auto run = [&](TSenderBench& own) {
                          TCustomdxTreeListControl* g = MakeHeaders(own);
                          auto* node = static_cast<TdxTreeListTextNode*>(g->GetItem(0));
                          TObject* target = own.Form;
                          if (holder == THolder::kHolder)
                            target = node;
                          else if (holder == THolder::kControl)
                            target = g;
                          TStringList* texts = node->GetStrings();
                          changing ? b.FreeOn(texts->OnChanging, target) : b.FreeOn(texts->OnChange, target);
                          moveA(b, g);
                        };
                        if (holder == THolder::kForm)
                          OnFormOfItsOwn(run);
                        else
                          run(b);
                      }});
    }
}

}  // namespace

void AddValueRows(std::vector<TSenderRow>& rows) {
  AddMRUEditorListRows(rows);
  AddXPEditFontRows(rows);
  AddGraphicEditorPictureRows(rows);
  AddSkinBufferRows(rows);
  AddSkinnedFormBufferRows(rows);
  AddColumnMoveTextRows(rows);
}

}  // namespace senders
