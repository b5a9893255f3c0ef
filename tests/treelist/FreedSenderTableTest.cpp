// Every control class of the libraries with the events it publishes, each event fired by
// the inputs a user fires it with, through the application's message loop: posted mouse
// and key messages, focus moves by Tab and by click, Alt+letter accelerators, the wheel,
// drags and docks, the pointer moving, a window maximised, a modal close, a timer's
// tick. The handler frees its sender (or, where a row says so, the object that holds
// it), and nothing may touch the sender afterwards: each row runs on the guarded heap,
// where such a use faults and is reported. A row whose input does not fire its event on
// this platform says why, and checks that the event stays silent.
// The events each class publishes are read from the libraries' headers
// (PublishedEvents.h): an event with neither a row nor a reason why no input fires it
// (painting, a question asked at every layout, a change made by code) fails a test, and
// so does a class of the headers that publishes events with neither rows nor a reason
// why it has none (a base no one makes as it is, an object no handler may free).
// The table lives in the tree list's tests, the one executable that links every control
// library (the skin library and the host's dialog bases are linked in for it).
#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Bitmap.h"
#include "classlib/Buttons.h"
#include "classlib/ComCtrls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Graphic.h"
#include "classlib/Grids.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "classlib/Timer.h"
#include "editors/DxCalc.h"
#include "editors/DxGridDatePopup.h"
#include "editors/DxInplaceBlobEdit.h"
#include "editors/DxInplaceButtonEdit.h"
#include "editors/DxInplaceCalcEdit.h"
#include "editors/DxInplaceCheckEdit.h"
#include "editors/DxInplaceCurrencyEdit.h"
#include "editors/DxInplaceDateEdit.h"
#include "editors/DxInplaceGraphicEdit.h"
#include "editors/DxInplaceHyperLinkEdit.h"
#include "editors/DxInplaceImageEdit.h"
#include "editors/DxInplaceMRUEdit.h"
#include "editors/DxInplaceMaskEdit.h"
#include "editors/DxInplaceMemoEdit.h"
#include "editors/DxInplacePickEdit.h"
#include "editors/DxInplaceSpinEdit.h"
#include "editors/DxInplaceTextEdit.h"
#include "editors/DxInplaceTimeEdit.h"
#include "skin/KsButtons.h"
#include "skin/KsCheckBoxes.h"
#include "skin/KsControlBars.h"
#include "skin/KsForms.h"
#include "skin/KsGroupBox.h"
#include "skin/KsItems.h"
#include "skin/KsMenus.h"
#include "skin/KsScrollBars.h"
#include "skin/KsSpeedButtons.h"
#include "skin/KsTabs.h"
#include "skin/TeThemeRadioGroup.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/editors/GuardedHeap.h"
#include "tests/skin/MenuTestSupport.h"
#include "tests/treelist/FreedSenderTable.h"
#include "tests/treelist/PublishedEvents.h"
#include "tests/treelist/TreeListInputTestSupport.h"
#include "treelist/DxTreeListControl.h"
#include "xpcontrols/XPEdit.h"

namespace {

using namespace senders;

// ---- The class library's controls.

// Frees a modal form from its close handlers: the form is shown modal and `close`
// (posted input) ends it.
template <class Close>
TSenderRow ModalRow(const std::string& event, const std::string& input, Close close) {
  return {"TForm", event, input, [event, close](TSenderBench& b) {
            auto* form = new TForm(nullptr);
            form->SetBounds(620, 420, 200, 120);
            TButton* ok = AddOkCancel(form);
            if (event == "OnCloseQuery")
              b.FreeOn(form->OnCloseQuery, form);
            else
              b.FreeOn(form->OnClose, form);
            close(b, form, ok);
            form->ShowModal();
          }};
}

void AddClassLibRows(std::vector<TSenderRow>& rows) {
  auto edit = [](TSenderBench& b) { return b.Make<TEdit>(TRect{80, 4, 230, 25}); };
  AddWindowedRows(rows, "TEdit", edit);
  rows.push_back({"TEdit", "OnChange", "a letter key", [edit](TSenderBench& b) {
                    TEdit* e = edit(b);
                    e->SetFocus();
                    b.FreeOn(e->OnChange, e);
                    b.Key('A');
                  }});

  auto richEdit = [](TSenderBench& b) { return b.Make<TRichEdit>(TRect{80, 4, 230, 60}); };
  AddWindowedRows(rows, "TRichEdit", richEdit);
  rows.push_back({"TRichEdit", "OnChange", "a letter key", [richEdit](TSenderBench& b) {
                    TRichEdit* e = richEdit(b);
                    e->SetFocus();
                    b.FreeOn(e->OnChange, e);
                    b.Key('A');
                  }});

  const TRect buttonBounds{80, 4, 155, 29}, markBounds{80, 4, 180, 24};
  AddButtonRows(rows, "TButton", Captioned<TButton>(buttonBounds, "&Go"), TCaptionReach{'g', true, false, true},
                [](TWinControl* c) { static_cast<TButton*>(c)->SetDefault(true); });
  AddButtonRows(rows, "TCheckBox", Captioned<TCheckBox>(markBounds, "&Check"), TCaptionReach{'c'});
  AddButtonRows(rows, "TRadioButton", Captioned<TRadioButton>(markBounds, "&Radio"), TCaptionReach{'r', false});

  auto combo = [](TSenderBench& b) {
    auto* combo = b.Make<TComboBox>(TRect{80, 4, 200, 25});
    combo->GetItems()->SetText("Top\nBottom\nInner");
    return combo;
  };
  AddWindowedRows(rows, "TComboBox", combo);
  rows.push_back({"TComboBox", "OnChange", "a letter key", [combo](TSenderBench& b) {
                    TComboBox* c = combo(b);
                    c->SetFocus();
                    b.FreeOn(c->OnChange, c);
                    b.Key('A');
                  }});
  rows.push_back({"TComboBox", "OnSelect", "Down", [combo](TSenderBench& b) {
                    TComboBox* c = combo(b);
                    c->SetFocus();
                    b.FreeOn(c->OnSelect, c);
                    b.Key(VK_DOWN);
                  }});
  rows.push_back({"TComboBox", "OnChange", "Down", [combo](TSenderBench& b) {
                    TComboBox* c = combo(b);
                    c->SetFocus();
                    b.FreeOn(c->OnChange, c);
                    b.Key(VK_DOWN);
                  }});
  rows.push_back({"TComboBox", "OnDropDown", "F4", [combo](TSenderBench& b) {
                    TComboBox* c = combo(b);
                    c->SetFocus();
                    b.FreeOn(c->OnDropDown, c);
                    b.Key(VK_F4);
                  }});
  for (WORD key : {WORD(VK_RETURN), WORD(VK_ESCAPE)}) {
    const bool ok = key == VK_RETURN;
    rows.push_back({"TComboBox", ok ? "OnSelEndOk" : "OnSelEndCancel",
                    ok ? "Enter in the open list" : "Escape in the open list",
                    [combo, ok, key](TSenderBench& b) {
                      TComboBox* c = combo(b);
                      c->SetFocus();
                      b.Key(VK_F4);
                      b.Key(VK_DOWN);
                      ok ? b.FreeOn(c->OnSelEndOk, c) : b.FreeOn(c->OnSelEndCancel, c);
                      b.Key(key);
                    }});
  }
  rows.push_back({"TComboBox", "OnCloseUp", "F4 on the open list", [combo](TSenderBench& b) {
                    TComboBox* c = combo(b);
                    c->SetFocus();
                    b.Key(VK_F4);
                    b.FreeOn(c->OnCloseUp, c);
                    b.Key(VK_F4);
                  }});

  auto list = [](TSenderBench& b) {
    auto* list = b.Make<TListBox>(TRect{80, 4, 200, 84});
    list->GetItems()->SetText("Top\nBottom\nInner");
    return list;
  };
  AddWindowedRows(rows, "TListBox", list, TReach{'A', [](TControl* c) {
                    const TRect line = static_cast<TListBox*>(c)->ItemRect(1);
                    return Point(line.left + 5, (line.top + line.bottom) / 2);
                  }});
  rows.push_back({"TListBox", "OnClick", "Down", [list](TSenderBench& b) {
                    TListBox* c = list(b);
                    c->SetFocus();
                    b.FreeOn(c->OnClick, c);
                    b.Key(VK_DOWN);
                  }});

  auto grid = [](TSenderBench& b) {
    auto* g = b.Make<TStringGrid>(TRect{80, 4, 280, 104});
    g->SetRowCount(20);
    return g;
  };
  AddWindowedRows(rows, "TStringGrid", grid);
  auto selectCell = [grid](const std::string& input, std::function<void(TSenderBench&, TStringGrid*)> fire) {
    return TSenderRow{"TStringGrid", "OnSelectCell", input, [grid, fire](TSenderBench& b) {
                        TStringGrid* g = grid(b);
                        g->SetFocus();
                        b.FreeOn(g->OnSelectCell, g);
                        fire(b, g);
                      }};
  };
  rows.push_back(selectCell("the wheel", [](TSenderBench& b, TStringGrid* g) { b.Wheel(g, -1); }));
  rows.push_back(selectCell("Down", [](TSenderBench& b, TStringGrid*) { b.Key(VK_DOWN); }));
  rows.push_back(selectCell("a click on a cell", [](TSenderBench& b, TStringGrid* g) {
    const TRect cell = g->CellRect(2, 3);
    b.Click(g, cell.left + 3, cell.top + 3);
  }));
  rows.push_back(selectCell("Tab among the cells", [](TSenderBench& b, TStringGrid* g) {
    g->SetOptions(g->GetOptions().Include(goTabs));
    b.Tab();
  }));
  for (bool column : {true, false}) {
    rows.push_back({"TStringGrid", column ? "OnColumnMoved" : "OnRowMoved",
                    column ? "a drag of a fixed cell along the top" : "a drag of a fixed cell down the side",
                    [grid, column](TSenderBench& b) {
                      TStringGrid* g = grid(b);
                      g->SetColCount(5);
                      g->SetOptions(g->GetOptions().Include(column ? goColMoving : goRowMoving));
                      column ? b.FreeOn(g->OnColumnMoved, g) : b.FreeOn(g->OnRowMoved, g);
                      const TPoint from = Middle(column ? g->CellRect(1, 0) : g->CellRect(0, 1));
                      const TPoint to = Middle(column ? g->CellRect(3, 0) : g->CellRect(0, 3));
                      b.Drag(g, {from, Point(from.x + (column ? 8 : 0), from.y + (column ? 0 : 8)), to});
                    }});
  }
  auto topLeft = [grid](const std::string& input, std::function<void(TSenderBench&, TStringGrid*)> fire) {
    return TSenderRow{"TStringGrid", "OnTopLeftChanged", input, [grid, fire](TSenderBench& b) {
                        TStringGrid* g = grid(b);
                        g->SetScrollBars(ssVertical);
                        g->SetFocus();
                        b.FreeOn(g->OnTopLeftChanged, g);
                        fire(b, g);
                      }};
  };
  rows.push_back(topLeft("Page Down", [](TSenderBench& b, TStringGrid*) { b.Key(VK_NEXT); }));
  rows.push_back(topLeft("the wheel", [](TSenderBench& b, TStringGrid* g) {
    for (int i = 0; i < 10 && b.Fired == 0; ++i)
      b.Wheel(g, -1);
  }));
  rows.push_back(topLeft("its scroll bar", [](TSenderBench& b, TStringGrid* g) {
    // A click on the bar's lower arrow: the system's scroll bar sends the scroll.
    RECT window{};
    GetWindowRect(g->GetHandle(), &window);
    const int arrow = GetSystemMetrics(SM_CYVSCROLL);
    PostMessageA(g->GetHandle(), WM_NCLBUTTONDOWN, HTVSCROLL,
                 MAKELPARAM(window.right - 4, window.bottom - arrow / 2 - 2));
    PostMessageA(g->GetHandle(), WM_LBUTTONUP, 0, 0);
    Application->ProcessMessages();
  }));

  auto pages = [](TSenderBench& b) {
    auto* pages = b.Make<TPageControl>(TRect{80, 4, 280, 104});
    for (const char* caption : {"One", "Two"}) {
      auto* sheet = new TTabSheet(b.Form);
      sheet->SetCaption(caption);
      sheet->SetPageControl(pages);
    }
    return pages;
  };
  AddWindowedRows(rows, "TPageControl", pages, TReach{'A', {}, [](TControl* c) {
                    RECT tab{};
                    SendMessageA(static_cast<TPageControl*>(c)->GetHandle(), TCM_GETITEMRECT, 0,
                                 reinterpret_cast<LPARAM>(&tab));
                    return Point((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
                  }});
  rows.push_back({"TPageControl", "OnChange", "Right", [pages](TSenderBench& b) {
                    TPageControl* c = pages(b);
                    c->SetFocus();
                    b.FreeOn(c->OnChange, c);
                    b.Key(VK_RIGHT);
                  }});
  rows.push_back({"TPageControl", "OnChange", "a click on a tab", [pages](TSenderBench& b) {
                    TPageControl* c = pages(b);
                    RECT tab{};
                    SendMessageA(c->GetHandle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
                    b.FreeOn(c->OnChange, c);
                    b.Click(c, (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
                  }});

  AddWindowedRows(rows, "TPanel", [](TSenderBench& b) { return b.Make<TPanel>(); });
  AddWindowedRows(rows, "TGroupBox", [](TSenderBench& b) { return b.Make<TGroupBox>(); });
  AddMouseRows(rows, "TSpeedButton", [](TSenderBench& b) { return b.Make<TSpeedButton>(TRect{80, 4, 105, 29}); });
  AddMouseRows(rows, "TLabel", [](TSenderBench& b) {
    auto* label = b.Make<TLabel>(TRect{80, 4, 180, 20});
    label->SetCaption("Label");
    return label;
  });
  AddMouseRows(rows, "TImage", [](TSenderBench& b) { return b.Make<TImage>(); });
  AddMouseRows(rows, "TBevel", [](TSenderBench& b) { return b.Make<TBevel>(); });

  for (const char* event : {"OnCloseQuery", "OnClose"}) {
    rows.push_back(ModalRow(event, "the close box", [](TSenderBench&, TForm* form, TButton*) {
      PostMessageA(form->GetHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    }));
    rows.push_back(ModalRow(event, "a click on a button with a modal result", [](TSenderBench&, TForm*, TButton* ok) {
      PostMessageA(ok->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
      PostMessageA(ok->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }));
    rows.push_back(ModalRow(event, "Escape", [](TSenderBench&, TForm* form, TButton*) {
      PostMessageA(form->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
    }));
  }

  // A second form's activation and deactivation as the focus moves between the forms.
  for (bool activate : {true, false}) {
    rows.push_back({"TForm", activate ? "OnActivate" : "OnDeactivate",
                    activate ? "a click on one of its controls" : "a click on another form's control",
                    [activate](TSenderBench& b) {
                      auto* other = new TForm(nullptr);
                      other->SetBounds(620, 220, 200, 120);
                      auto* edit = new TTestEdit(other);
                      edit->SetParent(other);
                      other->Show();
                      FreeFormByActivation(b, other, edit, activate);
                    }});
  }

  // A second form, owned by the bench's: its own mouse, keys, drags and size, its short
  // cuts, its showing and its hiding.
  auto otherForm = [](TSenderBench& b) {
    auto* form = new TForm(b.Form);
    form->SetBounds(620, 220, 200, 120);
    form->Show();
    PumpPending();
    return form;
  };
  AddWindowedRows(rows, "TForm", otherForm);
  // Fault: the key went on with the form (and the focused control) its OnShortCut freed.
  rows.push_back({"TForm", "OnShortCut", "a letter key", [otherForm](TSenderBench& b) {
                    TForm* form = otherForm(b);
                    form->SetFocus();
                    b.FreeOn(form->OnShortCut, form);
                    b.Key('A');
                  }});
  for (bool modal : {false, true}) {
    rows.push_back({"TForm", "OnShow", modal ? "its ShowModal" : "its Show", [modal](TSenderBench& b) {
                      auto* form = new TForm(b.Form);
                      form->SetBounds(620, 220, 200, 120);
                      b.FreeOn(form->OnShow, form);
                      if (modal)
                        form->ShowModal();
                      else
                        form->Show();
                    }});
  }
  rows.push_back({"TForm", "OnHide", "the close box", [otherForm](TSenderBench& b) {
                    TForm* form = otherForm(b);
                    b.FreeOn(form->OnHide, form);
                    PostMessageA(form->GetHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
                    Application->ProcessMessages();
                  }});

  rows.push_back({"TTimer", "OnTimer", "its tick", [](TSenderBench& b) {
                    auto* timer = new TTimer(b.Form);
                    timer->SetInterval(10);
                    TNotifyEvent freeing;
                    b.FreeOn(freeing, timer);
                    timer->SetOnTimer(freeing);
                    PumpUntil([&b] { return b.Fired > 0; }, 2000);
                  }});
}

// ---- The skin library's controls.

void AddSkinRows(std::vector<TSenderRow>& rows) {
  const TRect buttonBounds{80, 4, 155, 29}, markBounds{80, 4, 180, 24};
  const auto button = Captioned<TKsCustomButton>(buttonBounds, "&Go");
  const auto check = Captioned<TKsCustomCheckBox>(markBounds, "&Check");
  const auto radio = Captioned<TKsCustomRadioButton>(markBounds, "&Radio");
  AddButtonRows(rows, "TKsCustomButton", button, TCaptionReach{'g', true, false, true},
                [](TWinControl* c) { static_cast<TKsCustomButton*>(c)->SetDefault(true); });
  AddButtonRows(rows, "TKsCustomCheckBox", check, TCaptionReach{'c'});
  AddButtonRows(rows, "TKsCustomRadioButton", radio, TCaptionReach{'r', false});
  AddHoverRows(rows, "TKsCustomButton", button);
  AddHoverRows(rows, "TKsCustomCheckBox", check);
  AddHoverRows(rows, "TKsCustomRadioButton", radio);

  auto group = [](TSenderBench& b) {
    auto* group = b.Make<TTeThemeRadioGroup>(TRect{80, 4, 230, 104});
    group->GetItems()->SetText("&First\n&Second");
    group->SetItemIndex(0);
    group->HandleNeeded();
    return group;
  };
  auto groupButton = [group](TSenderBench& b) { return group(b)->GetButtons()[0]; };
  AddWindowedRows(rows, "TTeThemeGroupButton", groupButton);
  AddHoverRows(rows, "TTeThemeGroupButton", groupButton);
  AddHoverRows(rows, "TTeThemeRadioGroup", group,
               [](TControl* c) { return Point(c->GetWidth() - 3, c->GetHeight() - 3); });
  AddWindowedRows(rows, "TTeThemeRadioGroup", group,
               TReach{'A', {}, [](TControl* c) { return Point(c->GetWidth() - 3, c->GetHeight() - 3); }});
  rows.push_back({"TTeThemeRadioGroup", "OnClick", "a click on one of its buttons", [group](TSenderBench& b) {
                    TTeThemeRadioGroup* g = group(b);
                    b.FreeOn(g->OnClick, g);
                    b.Click(g->GetButtons()[1], 6, g->GetButtons()[1]->GetHeight() / 2);
                  }});
  rows.push_back({"TTeThemeRadioGroup", "OnClick", "Alt+letter of a button", [group](TSenderBench& b) {
                    TTeThemeRadioGroup* g = group(b);
                    b.Neighbour->SetFocus();
                    b.FreeOn(g->OnClick, g);
                    b.AltKey('s');
                  }});

  auto skinGroup = [](TSenderBench& b) { return b.Make<TKsCustomGroupBox>(); };
  auto speedContainer = [](TSenderBench& b) { return b.Make<TKsSpeedContainer>(); };
  auto speedDivider = [](TSenderBench& b) { return b.Make<TKsSpeedDivider>(TRect{80, 4, 90, 44}); };
  AddWindowedRows(rows, "TKsCustomGroupBox", skinGroup);
  AddHoverRows(rows, "TKsCustomGroupBox", skinGroup);
  AddWindowedRows(rows, "TKsSpeedContainer", speedContainer);
  AddHoverRows(rows, "TKsSpeedContainer", speedContainer);
  AddMouseRows(rows, "TKsSpeedDivider", speedDivider);
  AddHoverRows(rows, "TKsSpeedDivider", speedDivider);

  auto tabs = [](TSenderBench& b) {
    auto* tabs = b.Make<TKsCustomTabControl>(TRect{80, 4, 280, 104});
    tabs->GetTabs()->SetText("One\nTwo\nThree");
    return tabs;
  };
  AddWindowedRows(rows, "TKsCustomTabControl", tabs, TReach{'A', [](TControl* c) {
                    const TRect tab = static_cast<TKsCustomTabControl*>(c)->TabRect(0);
                    return Point((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
                  }});
  AddHoverRows(rows, "TKsCustomTabControl", tabs);
  for (const char* event : {"OnChanging", "OnChange"}) {
    const bool changing = std::string(event) == "OnChanging";
    auto bind = [changing](TSenderBench& b, TKsCustomTabControl* t) {
      changing ? b.FreeOn(t->OnChanging, t) : b.FreeOn(t->OnChange, t);
    };
    rows.push_back({"TKsCustomTabControl", event, "a click on a tab", [tabs, bind](TSenderBench& b) {
                      TKsCustomTabControl* t = tabs(b);
                      const TRect tab = t->TabRect(1);
                      bind(b, t);
                      b.Click(t, (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
                    }});
    rows.push_back({"TKsCustomTabControl", event, "Right", [tabs, bind](TSenderBench& b) {
                      TKsCustomTabControl* t = tabs(b);
                      t->SetFocus();
                      bind(b, t);
                      b.Key(VK_RIGHT);
                    }});
  }

  auto bar = [](TSenderBench& b) {
    auto* bar = b.Make<TKsCustomScrollBar>(TRect{80, 4, 280, 21});
    bar->SetMax(100);
    return bar;
  };
  AddMouseRows(rows, "TKsCustomScrollBar", bar);
  AddHoverRows(rows, "TKsCustomScrollBar", bar);
  for (const char* event : {"OnChange", "OnScroll"}) {
    const bool scroll = std::string(event) == "OnScroll";
    auto bind = [scroll](TSenderBench& b, TKsCustomScrollBar* s) {
      scroll ? b.FreeOn(s->OnScroll, s) : b.FreeOn(s->OnChange, s);
    };
    rows.push_back({"TKsCustomScrollBar", event, "a click on its arrow", [bar, bind](TSenderBench& b) {
                      TKsCustomScrollBar* s = bar(b);
                      const TRect arrow = s->GetSecondButtonRect();
                      bind(b, s);
                      b.PointTo(s, (arrow.left + arrow.right) / 2, (arrow.top + arrow.bottom) / 2);
                      b.Click(s, (arrow.left + arrow.right) / 2, (arrow.top + arrow.bottom) / 2);
                    }});
    rows.push_back({"TKsCustomScrollBar", event, "a click on its track", [bar, bind](TSenderBench& b) {
                      TKsCustomScrollBar* s = bar(b);
                      const TRect after = s->GetPageAfterRect();
                      bind(b, s);
                      b.PointTo(s, (after.left + after.right) / 2, (after.top + after.bottom) / 2);
                      b.Click(s, (after.left + after.right) / 2, (after.top + after.bottom) / 2);
                    }});
    rows.push_back({"TKsCustomScrollBar", event, "a drag of its thumb", [bar, bind](TSenderBench& b) {
                      TKsCustomScrollBar* s = bar(b);
                      const TRect thumb = s->GetThumbRect();
                      const int x = (thumb.left + thumb.right) / 2, y = (thumb.top + thumb.bottom) / 2;
                      b.PointTo(s, x, y);
                      b.Mouse(s, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
                      bind(b, s);
                      b.Mouse(s, WM_MOUSEMOVE, x + 40, y, MK_LBUTTON);
                      if (b.Target)
                        b.Mouse(s, WM_LBUTTONUP, x + 40, y);
                    }});
  }

  auto controlBar = [](TSenderBench& b) {
    auto* bar = b.Make<TKsCustomControlBar>(TRect{80, 4, 380, 54});
    auto* panel = new TPanel(b.Form);
    panel->SetBounds(0, 0, 60, 20);
    panel->SetParent(bar);
    panel->SetDragKind(dkDock);
    PumpPending();
    return bar;
  };
  AddWindowedRows(rows, "TKsCustomControlBar", controlBar);
  AddHoverRows(rows, "TKsCustomControlBar", controlBar);
  auto grip = [](TKsCustomControlBar* bar) {
    const TKsBand& band = bar->GetBand(0);
    return Point(band.Position.x + 5, band.Position.y + 10);
  };
  rows.push_back({"TKsCustomControlBar", "OnBandDrag", "a double click on a band", [controlBar, grip](TSenderBench& b) {
                    TKsCustomControlBar* bar = controlBar(b);
                    const TPoint p = grip(bar);
                    b.FreeOn(bar->OnBandDrag, bar);
                    b.Mouse(bar, WM_LBUTTONDBLCLK, p.x, p.y, MK_LBUTTON);
                    if (b.Target)
                      b.Mouse(bar, WM_LBUTTONUP, p.x, p.y);
                  }});
  rows.push_back({"TKsCustomControlBar", "OnBandDrag", "a band dragged out of the bar", [controlBar, grip](TSenderBench& b) {
                    TKsCustomControlBar* bar = controlBar(b);
                    const TPoint p = grip(bar);
                    b.Mouse(bar, WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
                    b.FreeOn(bar->OnBandDrag, bar);
                    b.Mouse(bar, WM_MOUSEMOVE, p.x, p.y - 60, MK_LBUTTON);
                    if (b.Target)
                      b.Mouse(bar, WM_LBUTTONUP, p.x, p.y - 60);
                  }});
  rows.push_back({"TKsCustomControlBar", "OnBandDrag", "Ctrl while a band moves", [controlBar, grip](TSenderBench& b) {
                    TKsCustomControlBar* bar = controlBar(b);
                    bar->SetFocus();
                    const TPoint p = grip(bar);
                    b.Mouse(bar, WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
                    b.FreeOn(bar->OnBandDrag, bar);
                    b.Key(VK_CONTROL);
                    if (b.Target)
                      b.Mouse(bar, WM_LBUTTONUP, p.x, p.y);
                  }});

  auto menuBar = [](TSenderBench& b) {
    auto* bar = b.Make<TKsCustomMenuBar>(TRect{80, 4, 380, 24});
    auto* item = new TKsCustomItem(b.Form);
    item->SetCaption("&File");
    bar->GetItems()->Add(item);
    return bar;
  };
  AddWindowedRows(rows, "TKsCustomMenuBar", menuBar);
  AddHoverRows(rows, "TKsCustomMenuBar", menuBar);

  // The skinned pop-up menu: its item's click, the handler freeing the item or the whole
  // menu, chosen by Enter or by a click on its line, while clicks run through the
  // hidden click handler (after the loop) or at once (without it).
  for (bool whole : {false, true}) {
    for (bool atOnce : {false, true}) {
      for (bool byClick : {false, true}) {
        std::string input = byClick ? "a click on its line" : "Enter";
        input += whole ? ", the handler freeing the whole menu" : "";
        input += atOnce ? ", clicks run at once" : "";
        rows.push_back({"TKsCustomItem", "OnClick", input, [whole, atOnce, byClick](TSenderBench& b) {
                          auto* menu = new TKsCustomPopupMenu(b.Form);
                          auto* item = new TKsCustomItem(menu);
                          item->SetCaption("Open");
                          menu->GetItems()->Add(item);
                          b.FreeOn(item->OnClick, whole ? static_cast<TObject*>(menu) : item);
                          if (atOnce)
                            FinalizeKsItems();
                          TMenuScript script({[byClick, item] { ClickOrEnter(item, byClick); }});
                          script.Start();
                          menu->Popup(650, 450);
                          PumpPending();
                          if (atOnce)
                            InitializeKsItems();
                        }});
      }
    }
  }
  // A line of a menu bar item's popup, chosen by Enter in the popup's loop, the handler
  // freeing the whole bar (and the bar's view, the popup's parent).
  for (bool atOnce : {false, true}) {
    rows.push_back({"TKsCustomItem", "OnClick",
                    atOnce ? "Enter in a menu bar item's popup, the handler freeing the whole menu bar, clicks run at once"
                           : "Enter in a menu bar item's popup, the handler freeing the whole menu bar",
                    [menuBar, atOnce](TSenderBench& b) {
                      TKsCustomMenuBar* bar = menuBar(b);
                      TKsCustomItem* file = bar->GetItems()->GetItems(0);
                      auto* open = new TKsCustomItem(b.Form);
                      open->SetCaption("&Open");
                      file->Add(open);
                      b.FreeOn(open->OnClick, bar);
                      if (atOnce)
                        FinalizeKsItems();
                      TMenuScript script({[] { PostKey(VK_RETURN); }});
                      script.Start();
                      const TRect r = bar->GetView()->GetItemRect(file);
                      b.Click(bar, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
                      PumpPending();
                      if (atOnce)
                        InitializeKsItems();
                    }});
  }
  // A menu bar item's short cut on a skinned form, the handler freeing the item or the
  // whole bar.
  for (bool whole : {false, true}) {
    for (bool atOnce : {false, true}) {
      std::string input = whole ? "its short cut, the handler freeing the whole menu bar" : "its short cut";
      input += atOnce ? ", clicks run at once" : "";
      rows.push_back({"TKsCustomItem", "OnClick", input, [whole, atOnce](TSenderBench& b) {
                        auto* skin = new TKsCustomForm(b.Form);
                        skin->SetMagnetic(false);
                        skin->SetMinimizeApplication(false);
                        skin->SetActive(true);
                        skin->Loaded();
                        auto* bar = b.Make<TKsCustomMenuBar>(TRect{80, 4, 380, 24});
                        skin->SetMenuBar(bar);
                        auto* file = new TKsCustomItem(b.Form);
                        file->SetCaption("&File");
                        bar->GetItems()->Add(file);
                        auto* open = new TKsCustomItem(b.Form);
                        open->SetCaption("&Open");
                        open->SetShortCut(ShortCut('O', {ssCtrl}));
                        file->Add(open);
                        b.Neighbour->SetFocus();
                        b.FreeOn(open->OnClick, whole ? static_cast<TObject*>(bar) : open);
                        if (atOnce)
                          FinalizeKsItems();
                        b.Key('O', {VK_CONTROL});
                        PumpPending();
                        if (atOnce)
                          InitializeKsItems();
                      }});
    }
  }
  // A menu bar item without a popup of its own, clicked in the bar's menu loop, the
  // handler freeing the item or the whole bar (and the bar's view whose loop it is).
  for (bool whole : {false, true}) {
    for (bool atOnce : {false, true}) {
      for (bool byAccel : {false, true}) {
        std::string input = byAccel ? "Alt+letter on a menu bar" : "a click on a menu bar item";
        input += whole ? ", the handler freeing the whole menu bar" : "";
        input += atOnce ? ", clicks run at once" : "";
        rows.push_back({"TKsCustomItem", "OnClick", input, [menuBar, whole, atOnce, byAccel](TSenderBench& b) {
                          TKsCustomMenuBar* bar = menuBar(b);
                          TKsCustomItem* item = bar->GetItems()->GetItems(0);
                          b.FreeOn(item->OnClick, whole ? static_cast<TObject*>(bar) : item);
                          if (atOnce)
                            FinalizeKsItems();
                          b.Neighbour->SetFocus();
                          if (byAccel) {
                            b.AltKey('f');
                          } else {
                            const TRect r = bar->GetView()->GetItemRect(item);
                            b.Click(bar, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
                          }
                          PumpPending();
                          if (atOnce)
                            InitializeKsItems();
                        }});
      }
    }
  }
  rows.push_back({"TKsCustomPopupMenu", "OnPopup", "its pop-up", [](TSenderBench& b) {
                    auto* menu = new TKsCustomPopupMenu(b.Form);
                    auto* item = new TKsCustomItem(menu);
                    item->SetCaption("Open");
                    menu->GetItems()->Add(item);
                    b.FreeOn(menu->OnPopup, menu);
                    menu->Popup(650, 450);
                  }});

  // A form with a skin (TKsCustomForm): a click on the close button the skin draws, shown
  // and shown modal.
  for (bool modal : {false, true}) {
    for (const char* event : {"OnCloseQuery", "OnClose"}) {
      rows.push_back({"TForm", event,
                      modal ? "a click on the close button its skin draws, shown modal"
                            : "a click on the close button its skin draws",
                      [event, modal](TSenderBench& b) {
                        auto* form = new TForm(nullptr);
                        TKsCustomForm* skin = GiveSkin(form);
                        if (std::string(event) == "OnCloseQuery")
                          b.FreeOn(form->OnCloseQuery, form);
                        else
                          b.FreeOn(form->OnClose, form);
                        auto clickClose = [form, skin] {
                          const TRect close = skin->GetCaptionButtonRect(kbiClose);
                          const TRect client = skin->GetFrameClientRect();
                          const int x = (close.left + close.right) / 2, y = (close.top + close.bottom) / 2;
                          RECT window{};
                          GetWindowRect(form->GetHandle(), &window);
                          PostMessageA(form->GetHandle(), WM_NCLBUTTONDOWN, HTCLOSE,
                                       MAKELPARAM(window.left + x, window.top + y));
                          PostMessageA(form->GetHandle(), WM_LBUTTONUP, 0,
                                       MAKELPARAM(WORD(short(x - client.left)), WORD(short(y - client.top))));
                        };
                        if (modal) {
                          form->HandleNeeded();
                          clickClose();
                          form->ShowModal();
                          return;
                        }
                        form->Show();
                        PumpPending();
                        clickClose();
                        Application->ProcessMessages();
                        if (b.Target == form)
                          delete form;
                      }});
    }
  }
}

// ---- The editor library's controls, stand-alone on the form: ordinary focusable
// controls (in place, a container takes their navigation keys and focus moves).

// An editor event fired by an input on the focused editor.
template <class E, class Bind, class Fire>
TSenderRow EditorRow(const std::string& control, const std::string& event, const std::string& input,
                     std::function<TStandAlone<E>*(TSenderBench&)> make, Bind bind, Fire fire,
                     const char* silent = nullptr) {
  return {control, event, input, [make, bind, fire](TSenderBench& b) {
            TStandAlone<E>* e = make(b);
            e->SetFocus();
            PumpPending();
            bind(b, e);
            fire(b, e);
          }, silent};
}

// OnChange of an editor.
template <class E, class Fire>
TSenderRow ChangeRow(const std::string& control, const std::string& input,
                     std::function<TStandAlone<E>*(TSenderBench&)> make, Fire fire, const char* silent = nullptr) {
  return EditorRow<E>(control, "OnChange", input, make, [](TSenderBench& b, TdxInplaceEdit* e) { b.FreeOn(e->OnChange, e); },
                      fire, silent);
}

// The rows every editor has: the windowed ones, the pointer moving onto it and off it.
template <class E>
void AddEditorRows(std::vector<TSenderRow>& rows, const std::string& control,
                   std::function<TStandAlone<E>*(TSenderBench&)> make, WORD key = 'A') {
  AddWindowedRows(rows, control, make, TReach{key});
  AddHoverRows(rows, control, make);
}

// The selection's change of an editor with a text: a typed character, then Shift+Left.
template <class E>
void AddSelectionRow(std::vector<TSenderRow>& rows, const std::string& control,
                     std::function<TStandAlone<E>*(TSenderBench&)> make, char typed = '7') {
  rows.push_back(EditorRow<E>(control, "OnSelectionChange", "Shift+Left after typing", make,
                              [](TSenderBench& b, auto* e) { b.FreeOn(e->OnSelectionChange, e); },
                              [typed](TSenderBench& b, TdxInplaceEdit*) {
                                b.Type(typed);
                                b.Key(VK_LEFT, {VK_SHIFT});
                              }));
}

// The validation of an editor's changed value as the focus leaves it; `change` makes the
// change.
template <class E>
TSenderRow LeftAfterChangeRow(const std::string& control, const std::string& change,
                              std::function<TStandAlone<E>*(TSenderBench&)> make,
                              std::function<void(TSenderBench&, TdxInplaceEdit*)> fire) {
  return EditorRow<E>(control, "OnValidate", "a click on another control after " + change, make,
                      [](TSenderBench& b, TdxInplaceEdit* e) { b.FreeOn(e->OnValidate, e); },
                      [fire](TSenderBench& b, TdxInplaceEdit* e) {
                        fire(b, e);
                        b.Click(b.Neighbour);
                      });
}

// The rows of an editor that takes typed text: the change, and the validation of a
// typed text by Enter and by leaving it.
template <class E>
void AddTextEditorRows(std::vector<TSenderRow>& rows, const std::string& control,
                       std::function<TStandAlone<E>*(TSenderBench&)> make, char typed = '7', WORD key = 'A') {
  AddEditorRows<E>(rows, control, make, key);
  AddSelectionRow<E>(rows, control, make, typed);
  rows.push_back(ChangeRow<E>(control, "a typed character", make, [typed](TSenderBench& b, TdxInplaceEdit*) {
    b.Type(typed);
  }));
  auto validate = [](TSenderBench& b, TdxInplaceEdit* e) { b.FreeOn(e->OnValidate, e); };
  rows.push_back(EditorRow<E>(control, "OnValidate", "Enter after typing", make, validate,
                              [typed](TSenderBench& b, TdxInplaceEdit*) {
                                b.Type(typed);
                                b.Key(VK_RETURN);
                              }));
  rows.push_back(EditorRow<E>(control, "OnValidate", "Tab after typing", make, validate,
                              [typed](TSenderBench& b, TdxInplaceEdit*) {
                                b.Type(typed);
                                b.Tab();
                              }));
  rows.push_back(EditorRow<E>(control, "OnValidate", "a click on another control after typing", make, validate,
                              [typed](TSenderBench& b, TdxInplaceEdit*) {
                                b.Type(typed);
                                b.Click(b.Neighbour);
                              }));
}

// The drop-down rows: the list opened by F4, Alt+Down and its button, and closed by
// Enter and Escape.
template <class E>
void AddDropDownRows(std::vector<TSenderRow>& rows, const std::string& control,
                     std::function<TStandAlone<E>*(TSenderBench&)> make) {
  auto dropDown = [](TSenderBench& b, TdxInplaceDropDownEdit* e) { b.FreeOn(e->OnDropDown, e); };
  rows.push_back(EditorRow<E>(control, "OnDropDown", "F4", make, dropDown,
                              [](TSenderBench& b, TdxInplaceEdit*) { b.Key(VK_F4); }));
  rows.push_back(EditorRow<E>(control, "OnDropDown", "Alt+Down", make, dropDown,
                              [](TSenderBench& b, TdxInplaceEdit*) { b.Key(VK_DOWN, {VK_MENU}); }));
  auto clickDropDownButton = [](TSenderBench& b, TdxInplaceEdit* e) {
    b.NcClick(e, EditButtonPoint(static_cast<TdxInplaceDropDownEdit*>(e)));
  };
  rows.push_back(EditorRow<E>(control, "OnDropDown", "a click on its button", make, dropDown, clickDropDownButton));
  auto containerDropDown = [](TSenderBench& b, TdxInplaceDropDownEdit* e) { b.FreeOn(e->OnContainerDropDown, e); };
  rows.push_back(EditorRow<E>(control, "OnContainerDropDown", "F4", make, containerDropDown,
                              [](TSenderBench& b, TdxInplaceEdit*) { b.Key(VK_F4); }));
  rows.push_back(EditorRow<E>(control, "OnContainerDropDown", "a click on its button", make, containerDropDown,
                              clickDropDownButton));
  auto closeUp = [](TSenderBench& b, TdxInplaceDropDownEdit* e) { b.FreeOn(e->OnCloseUp, e); };
  for (WORD key : {WORD(VK_RETURN), WORD(VK_ESCAPE)})
    rows.push_back({control, "OnCloseUp", key == VK_RETURN ? "Enter in the open list" : "Escape in the open list",
                    [make, closeUp, key](TSenderBench& b) {
                      TStandAlone<E>* e = make(b);
                      e->SetFocus();
                      b.Key(VK_F4);
                      closeUp(b, e);
                      b.Key(key);
                    }});
}

// A click on line `index` of an open list.
void ClickListLine(TSenderBench& b, TCustomListBox* list, int index) {
  const TRect line = list->ItemRect(index);
  b.Click(list, line.left + 5, (line.top + line.bottom) / 2);
}

void AddEditorLibraryRows(std::vector<TSenderRow>& rows) {
  AddTextEditorRows<TdxInplaceTextEdit>(rows, "TdxInplaceTextEdit", Editor<TdxInplaceTextEdit>());
  rows.push_back(EditorRow<TdxInplaceTextEdit>(
      "TdxInplaceTextEdit", "OnSelectionChange", "Shift+Left", Editor<TdxInplaceTextEdit>([](auto* e) { e->SetText("abc"); }),
      [](TSenderBench& b, TdxInplaceTextEdit* e) { b.FreeOn(e->OnSelectionChange, e); },
      [](TSenderBench& b, TdxInplaceEdit*) {
        b.Key(VK_END);
        b.Key(VK_LEFT, {VK_SHIFT});
      }));
  AddTextEditorRows<TdxInplaceMaskEdit>(rows, "TdxInplaceMaskEdit", Editor<TdxInplaceMaskEdit>([](auto* e) {
                                          e->SetEditMask("999;1;_");
                                        }));
  AddTextEditorRows<TdxInplaceMemoEdit>(rows, "TdxInplaceMemoEdit", Editor<TdxInplaceMemoEdit>());
  AddTextEditorRows<TdxInplaceCurrencyEdit>(rows, "TdxInplaceCurrencyEdit", Editor<TdxInplaceCurrencyEdit>(), '7', '7');
  AddTextEditorRows<TdxInplaceHyperLinkEdit>(rows, "TdxInplaceHyperLinkEdit", Editor<TdxInplaceHyperLinkEdit>());
  rows.push_back(EditorRow<TdxInplaceHyperLinkEdit>(
      "TdxInplaceHyperLinkEdit", "OnStartClick", "a double click on the link",
      Editor<TdxInplaceHyperLinkEdit>([](auto* e) { e->SetText("nowhere"); }),
      [](TSenderBench& b, TdxInplaceHyperLinkEdit* e) { b.FreeOn(e->OnStartClick, e); },
      [](TSenderBench& b, TdxInplaceEdit* e) { b.DoubleClick(e, 8, e->GetClientHeight() / 2); }));

  auto button = Editor<TdxInplaceButtonEdit>();
  AddTextEditorRows<TdxInplaceButtonEdit>(rows, "TdxInplaceButtonEdit", button);
  AddDropDownRows<TdxInplaceButtonEdit>(rows, "TdxInplaceButtonEdit", button);
  rows.push_back(EditorRow<TdxInplaceButtonEdit>(
      "TdxInplaceButtonEdit", "OnButtonClick", "a click on its button", button,
      [](TSenderBench& b, TdxInplaceButtonEdit* e) { b.FreeOn(e->OnButtonClick, e); },
      [](TSenderBench& b, TdxInplaceEdit* e) { b.NcClick(e, ButtonPoint(e)); }));

  auto items = [](TdxInplacePickEdit* e) { e->GetItems()->SetText("Apple\napricot\nBanana\nblue\nCherry"); };
  auto pick = Editor<TdxInplacePickEdit>(items);
  AddTextEditorRows<TdxInplacePickEdit>(rows, "TdxInplacePickEdit", pick, '7', 'Z');
  AddDropDownRows<TdxInplacePickEdit>(rows, "TdxInplacePickEdit", pick);
  rows.push_back(ChangeRow<TdxInplacePickEdit>("TdxInplacePickEdit", "typing a completion", pick,
                                               [](TSenderBench& b, TdxInplaceEdit*) { b.Type('b'); }));
  rows.push_back(ChangeRow<TdxInplacePickEdit>("TdxInplacePickEdit", "the wheel", pick,
                                               [](TSenderBench& b, TdxInplaceEdit* e) { b.Wheel(e, -1); }));
  rows.push_back(ChangeRow<TdxInplacePickEdit>("TdxInplacePickEdit", "Down", pick,
                                               [](TSenderBench& b, TdxInplaceEdit*) { b.Key(VK_DOWN); }));
  rows.push_back(ChangeRow<TdxInplacePickEdit>("TdxInplacePickEdit", "Page Down", pick,
                                               [](TSenderBench& b, TdxInplaceEdit*) { b.Key(VK_NEXT); }));
  rows.push_back(ChangeRow<TdxInplacePickEdit>(
      "TdxInplacePickEdit", "a double click", Editor<TdxInplacePickEdit>([items](auto* e) {
        items(e);
        e->SetRevertable(true);
      }),
      [](TSenderBench& b, TdxInplaceEdit* e) { b.DoubleClick(e); }));
  rows.push_back(ChangeRow<TdxInplacePickEdit>(
      "TdxInplacePickEdit", "Delete on the whole text of a list", Editor<TdxInplacePickEdit>([items](auto* e) {
        items(e);
        e->SetDropDownListStyle(true);
        e->SetCanDeleteText(true);
        e->SetText("Banana");
      }),
      [](TSenderBench& b, TdxInplaceEdit* e) {
        e->SelectAll();
        b.Key(VK_DELETE);
      }));
  rows.push_back(ChangeRow<TdxInplacePickEdit>("TdxInplacePickEdit", "a click on a line of its list", pick,
                                               [](TSenderBench& b, TdxInplaceEdit* e) {
                                                 auto* p = static_cast<TdxInplacePickEdit*>(e);
                                                 b.Key(VK_F4);
                                                 ClickListLine(b, p->GetPopupListBox(), 2);
                                               }));

  auto mru = Editor<TdxInplaceMRUEdit>(items);
  AddTextEditorRows<TdxInplaceMRUEdit>(rows, "TdxInplaceMRUEdit", mru, '7', 'Z');
  AddDropDownRows<TdxInplaceMRUEdit>(rows, "TdxInplaceMRUEdit", mru);
  rows.push_back(ChangeRow<TdxInplaceMRUEdit>("TdxInplaceMRUEdit", "the wheel", mru,
                                              [](TSenderBench& b, TdxInplaceEdit* e) { b.Wheel(e, -1); }));
  rows.push_back(EditorRow<TdxInplaceMRUEdit>(
      "TdxInplaceMRUEdit", "OnButtonClick", "a click on its ellipsis button", Editor<TdxInplaceMRUEdit>([items](auto* e) {
        items(e);
        e->SetShowEllipsis(true);
      }),
      [](TSenderBench& b, TdxInplaceMRUEdit* e) { b.FreeOn(e->OnButtonClick, e); },
      [](TSenderBench& b, TdxInplaceEdit* e) { b.NcClick(e, EditButtonPoint(static_cast<TdxInplaceMRUEdit*>(e), 1)); }));
  rows.push_back(EditorRow<TdxInplaceMRUEdit>(
      "TdxInplaceMRUEdit", "OnButtonClick", "Ctrl+Enter", mru,
      [](TSenderBench& b, TdxInplaceMRUEdit* e) { b.FreeOn(e->OnButtonClick, e); },
      [](TSenderBench& b, TdxInplaceEdit*) { b.Key(VK_RETURN, {VK_CONTROL}); }));

  auto image = Editor<TdxInplaceImageEdit>([](auto* e) {
    e->GetValues()->SetText("A\nB\nC\nD");
    e->GetDescriptions()->SetText("Apple\nBanana\nCherry\nDate");
    e->SetText("B");  // the open list then has a current line
  });
  AddEditorRows<TdxInplaceImageEdit>(rows, "TdxInplaceImageEdit", image);
  AddSelectionRow<TdxInplaceImageEdit>(rows, "TdxInplaceImageEdit", image, 'c');
  rows.push_back(LeftAfterChangeRow<TdxInplaceImageEdit>("TdxInplaceImageEdit", "Down", image,
                                                         [](TSenderBench& b, TdxInplaceEdit*) { b.Key(VK_DOWN); }));
  AddDropDownRows<TdxInplaceImageEdit>(rows, "TdxInplaceImageEdit", image);
  rows.push_back(ChangeRow<TdxInplaceImageEdit>("TdxInplaceImageEdit", "the wheel", image,
                                                [](TSenderBench& b, TdxInplaceEdit* e) { b.Wheel(e, -1); }));
  rows.push_back(ChangeRow<TdxInplaceImageEdit>("TdxInplaceImageEdit", "Down", image,
                                                [](TSenderBench& b, TdxInplaceEdit*) { b.Key(VK_DOWN); }));
  rows.push_back(ChangeRow<TdxInplaceImageEdit>("TdxInplaceImageEdit", "a typed letter", image,
                                                [](TSenderBench& b, TdxInplaceEdit*) { b.Type('c'); }));
  rows.push_back(ChangeRow<TdxInplaceImageEdit>("TdxInplaceImageEdit", "a click on a line of its list", image,
                                                [](TSenderBench& b, TdxInplaceEdit* e) {
                                                  auto* i = static_cast<TdxInplaceImageEdit*>(e);
                                                  b.Key(VK_F4);
                                                  ClickListLine(b, i->GetPopupListBox(), 2);
                                                }));

  for (bool time : {false, true}) {
    const std::string control = time ? "TdxInplaceTimeEdit" : "TdxInplaceSpinEdit";
    auto spinRows = [&](auto make) {
      using E = typename std::remove_pointer_t<decltype(make(std::declval<TSenderBench&>()))>::inherited;
      AddTextEditorRows<E>(rows, control, make, '1', '1');
      rows.push_back(ChangeRow<E>(control, "Up", make, [](TSenderBench& b, TdxInplaceEdit*) { b.Key(VK_UP); }));
      rows.push_back(ChangeRow<E>(control, "the wheel", make, [](TSenderBench& b, TdxInplaceEdit* e) { b.Wheel(e, 1); }));
      rows.push_back(ChangeRow<E>(control, "a click on its up button", make,
                                  [](TSenderBench& b, TdxInplaceEdit* e) { b.NcClick(e, ButtonPoint(e, -4)); }));
      // The first press spins once; the second, the double click's, is the one that frees.
      rows.push_back(ChangeRow<E>(control, "a double click on its up button", make,
                                  [](TSenderBench& b, TdxInplaceEdit* e) {
                                    b.Spared = 1;
                                    b.NcDoubleClick(e, ButtonPoint(e, -4));
                                  }));
    };
    if (time)
      spinRows(Editor<TdxInplaceTimeEdit>());
    else
      spinRows(Editor<TdxInplaceSpinEdit>());
  }

  auto date = Editor<TdxInplaceDateEdit>();
  AddTextEditorRows<TdxInplaceDateEdit>(rows, "TdxInplaceDateEdit", date);
  rows.push_back(EditorRow<TdxInplaceDateEdit>("TdxInplaceDateEdit", "OnDateValidateInput", "Enter after typing", date,
                                               [](TSenderBench& b, TdxInplaceDateEdit* e) {
                                                 b.FreeOn(e->OnDateValidateInput, e);
                                               },
                                               [](TSenderBench& b, TdxInplaceEdit*) {
                                                 b.Type('7');
                                                 b.Key(VK_RETURN);
                                               }));
  AddDropDownRows<TdxInplaceDateEdit>(rows, "TdxInplaceDateEdit", date);
  for (const char* event : {"OnChange", "OnDateChange"}) {
    auto bind = [event](TSenderBench& b, TdxInplaceDateEdit* e) {
      std::string(event) == "OnChange" ? b.FreeOn(e->OnChange, e) : b.FreeOn(e->OnDateChange, e);
    };
    rows.push_back(EditorRow<TdxInplaceDateEdit>("TdxInplaceDateEdit", event, "a click on a day of its calendar", date,
                                                 bind, [](TSenderBench& b, TdxInplaceEdit* e) {
                                                   auto* d = static_cast<TdxInplaceDateEdit*>(e);
                                                   b.Key(VK_F4);
                                                   TdxGridDatePopup* popup = d->GetPopup();
                                                   const TRect cell = popup->GetDayCellRect(3, 2);
                                                   b.Click(popup, (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
                                                 }));
    rows.push_back(EditorRow<TdxInplaceDateEdit>("TdxInplaceDateEdit", event, "Enter on a typed date", date, bind,
                                                 [](TSenderBench& b, TdxInplaceEdit*) {
                                                   for (char c : std::string("1/2/2024"))
                                                     b.Type(c);
                                                   b.Key(VK_RETURN);
                                                 }));
  }

  auto calc = Editor<TdxInplaceCalcEdit>();
  AddTextEditorRows<TdxInplaceCalcEdit>(rows, "TdxInplaceCalcEdit", calc);
  AddDropDownRows<TdxInplaceCalcEdit>(rows, "TdxInplaceCalcEdit", calc);
  rows.push_back(ChangeRow<TdxInplaceCalcEdit>("TdxInplaceCalcEdit", "Enter on its calculator", calc,
                                               [](TSenderBench& b, TdxInplaceEdit*) {
                                                 b.Key(VK_F4);
                                                 for (char c : std::string("2+3"))
                                                   b.Type(c);
                                                 b.Key(VK_RETURN);
                                               }));

  auto blob = Editor<TdxInplaceBlobEdit>();
  AddEditorRows<TdxInplaceBlobEdit>(rows, "TdxInplaceBlobEdit", blob);
  AddSelectionRow<TdxInplaceBlobEdit>(rows, "TdxInplaceBlobEdit", blob);
  // Fault: the drop-down dressed the popup of an editor its OnGetGraphicClass had freed.
  rows.push_back(EditorRow<TdxInplaceBlobEdit>("TdxInplaceBlobEdit", "OnGetGraphicClass", "F4", blob,
                                               [](TSenderBench& b, TdxInplaceBlobEdit* e) {
                                                 b.FreeOn(e->OnGetGraphicClass, e);
                                               },
                                               [](TSenderBench& b, TdxInplaceEdit*) { b.Key(VK_F4); }));
  rows.push_back(LeftAfterChangeRow<TdxInplaceBlobEdit>("TdxInplaceBlobEdit", "typing in its memo and Ctrl+Enter", blob,
                                                        [](TSenderBench& b, TdxInplaceEdit*) {
                                                          b.Key(VK_F4);
                                                          b.Type('x');
                                                          b.Key(VK_RETURN, {VK_CONTROL});
                                                        }));
  AddDropDownRows<TdxInplaceBlobEdit>(rows, "TdxInplaceBlobEdit", blob);
  // The popup tells the editor its size (the user may have sized it by its grip) as it
  // closes, however it closes.
  struct TPopupClose {
    const char* Input;
    std::function<void(TSenderBench&)> Close;
  };
  const TPopupClose popupCloses[] = {
      {"Escape in its open popup", [](TSenderBench& b) { b.Key(VK_ESCAPE); }},
      {"typing in its open popup and Ctrl+Enter",
       [](TSenderBench& b) {
         b.Type('x');
         b.Key(VK_RETURN, {VK_CONTROL});
       }},
      {"a click on another control while its popup is open", [](TSenderBench& b) { b.Click(b.Neighbour); }},
  };
  for (const TPopupClose& close : popupCloses)
    rows.push_back(EditorRow<TdxInplaceBlobEdit>("TdxInplaceBlobEdit", "OnPopupSize", close.Input, blob,
                                                 [](TSenderBench& b, TdxInplaceBlobEdit* e) {
                                                   b.Key(VK_F4);
                                                   b.FreeOn(e->OnPopupSize, e);
                                                 },
                                                 [close](TSenderBench& b, TdxInplaceEdit*) { close.Close(b); }));
  rows.push_back(ChangeRow<TdxInplaceBlobEdit>("TdxInplaceBlobEdit", "typing in its memo and Ctrl+Enter", blob,
                                               [](TSenderBench& b, TdxInplaceEdit*) {
                                                 b.Key(VK_F4);
                                                 b.Type('x');
                                                 b.Key(VK_RETURN, {VK_CONTROL});
                                               }));

  auto check = Editor<TdxInplaceCheckEdit>([](auto* e) { e->SetCaption("&Check"); });
  AddEditorRows<TdxInplaceCheckEdit>(rows, "TdxInplaceCheckEdit", check);
  rows.push_back(LeftAfterChangeRow<TdxInplaceCheckEdit>("TdxInplaceCheckEdit", "Space", check,
                                                         [](TSenderBench& b, TdxInplaceEdit*) { b.Key(VK_SPACE); }));
  rows.push_back(ChangeRow<TdxInplaceCheckEdit>("TdxInplaceCheckEdit", "a click", check,
                                                [](TSenderBench& b, TdxInplaceEdit* e) { b.Click(e, 8, e->GetHeight() / 2); }));
  rows.push_back(ChangeRow<TdxInplaceCheckEdit>("TdxInplaceCheckEdit", "Space", check,
                                                [](TSenderBench& b, TdxInplaceEdit*) { b.Key(VK_SPACE); }));
  rows.push_back(ChangeRow<TdxInplaceCheckEdit>("TdxInplaceCheckEdit", "Alt+letter", check,
                                                [](TSenderBench& b, TdxInplaceEdit*) {
                                                  b.Neighbour->SetFocus();
                                                  b.AltKey('c');
                                                }));
  rows.push_back(EditorRow<TdxInplaceCheckEdit>("TdxInplaceCheckEdit", "OnEnter", "Alt+letter", check,
                                                [](TSenderBench& b, TdxInplaceEdit* e) {
                                                  b.Neighbour->SetFocus();
                                                  b.FreeOn(e->OnEnter, e);
                                                },
                                                [](TSenderBench& b, TdxInplaceEdit*) { b.AltKey('c'); }));

  auto graphic = Editor<TdxInplaceGraphicEdit>();
  AddEditorRows<TdxInplaceGraphicEdit>(rows, "TdxInplaceGraphicEdit", graphic);
  // With a picture: Shift+Delete cuts it.
  auto pictured = Editor<TdxInplaceGraphicEdit>([](auto* e) {
    TBitmap picture;
    picture.SetSize(8, 8);
    e->GetPicture()->Assign(&picture);
  });
  auto cut = [](TSenderBench& b, TdxInplaceEdit*) { b.Key(VK_DELETE, {VK_SHIFT}); };
  rows.push_back(
      ChangeRow<TdxInplaceGraphicEdit>("TdxInplaceGraphicEdit", "Shift+Delete on its picture", pictured, cut));
  rows.push_back(LeftAfterChangeRow<TdxInplaceGraphicEdit>("TdxInplaceGraphicEdit", "Shift+Delete on its picture",
                                                           pictured, cut));
  // The custom button of the tool bar a double click on the editor shows (when the tool
  // bar is no pop-up menu; by default it is, shown by a right click).
  // Fault: the tool bar went on with its mouse message after its button's handler had
  // freed the editor that owns it (a windowless child's handler freeing its parent).
  auto customised = Editor<TdxInplaceGraphicEdit>([](auto* e) {
    e->GetPopupToolBar()->SetButtons(e->GetPopupToolBar()->GetButtons().Include(ptbCustom));
    e->GetPopupToolBar()->SetIsPopupMenu(false);
    e->GetPopupToolBar()->SetVisible(true);
  });
  rows.push_back(EditorRow<TdxInplaceGraphicEdit>("TdxInplaceGraphicEdit", "OnCustomClick",
                                                  "a click on its tool bar's custom button", customised,
                                                  [](TSenderBench& b, TdxInplaceGraphicEdit* e) {
                                                    b.FreeOn(e->OnCustomClick, e);
                                                  },
                                                  [](TSenderBench& b, TdxInplaceEdit* e) {
                                                    // A double click shows the tool bar.
                                                    auto* g = static_cast<TdxInplaceGraphicEdit*>(e);
                                                    b.DoubleClick(g);
                                                    TdxPopupToolBar* bar = g->GetToolBar();
                                                    if (bar && bar->Showing())
                                                      b.Click(bar->GetButton(ptbCustom));
                                                  }));
  // The custom line of the pop-up menu a right click shows (its last line: Up from none
  // chosen reaches it), chosen by Enter in the menu's loop.
  rows.push_back(EditorRow<TdxInplaceGraphicEdit>(
      "TdxInplaceGraphicEdit", "OnCustomClick", "Enter on the custom line of its pop-up menu",
      Editor<TdxInplaceGraphicEdit>([](auto* e) {
        e->GetPopupToolBar()->SetButtons(e->GetPopupToolBar()->GetButtons().Include(ptbCustom));
      }),
      [](TSenderBench& b, TdxInplaceGraphicEdit* e) { b.FreeOn(e->OnCustomClick, e); },
      [](TSenderBench& b, TdxInplaceEdit* e) {
        ChooseTheCustomLineOfItsMenu(b, e);
      }));

  auto calculator = [](TSenderBench& b) { return b.Make<TCustomdxCalculator>(TRect{80, 4, 280, 204}); };
  AddWindowedRows(rows, "TCustomdxCalculator", calculator);
  auto calcClick = [](TSenderBench& b, TCustomdxCalculator* c, TdxCalcButtonKind kind) {
    const TRect& r = c->GetButton(kind).Bounds;
    b.Click(c, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  };
  auto calcRow = [calculator](const std::string& event, const std::string& input,
                              std::function<void(TSenderBench&, TCustomdxCalculator*)> bind,
                              std::function<void(TSenderBench&, TCustomdxCalculator*)> fire) {
    return TSenderRow{"TCustomdxCalculator", event, input, [calculator, bind, fire](TSenderBench& b) {
                        TCustomdxCalculator* c = calculator(b);
                        c->SetFocus();
                        bind(b, c);
                        fire(b, c);
                      }};
  };
  auto onButton = [](TSenderBench& b, TCustomdxCalculator* c) { b.FreeOn(c->OnButtonClick, c); };
  auto onDisplay = [](TSenderBench& b, TCustomdxCalculator* c) { b.FreeOn(c->OnDisplayChange, c); };
  auto onResult = [](TSenderBench& b, TCustomdxCalculator* c) { b.FreeOn(c->OnResult, c); };
  auto onError = [](TSenderBench& b, TCustomdxCalculator* c) { b.FreeOn(c->OnError, c); };
  rows.push_back(calcRow("OnButtonClick", "a click on a button", onButton,
                         [calcClick](TSenderBench& b, TCustomdxCalculator* c) { calcClick(b, c, cbNum5); }));
  rows.push_back(calcRow("OnButtonClick", "a typed digit", onButton,
                         [](TSenderBench& b, TCustomdxCalculator*) { b.Type('5'); }));
  rows.push_back(calcRow("OnDisplayChange", "a click on a button", onDisplay,
                         [calcClick](TSenderBench& b, TCustomdxCalculator* c) { calcClick(b, c, cbNum5); }));
  rows.push_back(calcRow("OnDisplayChange", "a typed digit", onDisplay,
                         [](TSenderBench& b, TCustomdxCalculator*) { b.Type('5'); }));
  rows.push_back(calcRow("OnResult", "a typed =", onResult, [](TSenderBench& b, TCustomdxCalculator*) {
    for (char c : std::string("2+3="))
      b.Type(c);
  }));
  rows.push_back(calcRow("OnError", "a typed division by zero", onError, [](TSenderBench& b, TCustomdxCalculator*) {
    for (char c : std::string("2/0="))
      b.Type(c);
  }));

  auto datePopup = [](TSenderBench& b) {
    auto* popup = new TdxGridDatePopup(b.Form);
    popup->SetVisible(false);
    popup->SetBounds(620, 380, 20, 20);
    popup->HandleNeeded();
    popup->SetDate(EncodeDate(2024, 4, 1));
    popup->ShowPopup();
    PumpPending();
    return popup;
  };
  // It cannot take the focus: its focus and key events are asked of it while it is
  // shown, the neighbour focused.
  const TReach onDay{'A', [](TControl* c) { return Middle(static_cast<TdxGridDatePopup*>(c)->GetDayCellRect(3, 2)); }};
  AddMouseRows(rows, "TdxGridDatePopup", datePopup, onDay);
  AddDockSiteRows(rows, "TdxGridDatePopup", datePopup, onDay);
  auto shown = [datePopup](auto bind, auto fire) {
    return [datePopup, bind, fire](TSenderBench& b) {
      TdxGridDatePopup* popup = datePopup(b);
      b.Neighbour->SetFocus();
      bind(b, popup);
      fire(b, popup);
    };
  };
  auto tab = [](TSenderBench& b, TdxGridDatePopup*) { b.Tab(); };
  auto clickOn = [onDay](TSenderBench& b, TdxGridDatePopup* p) {
    const TPoint at = onDay.At(p);
    b.Click(p, at.x, at.y);
  };
  auto clickAway = [](TSenderBench& b, TdxGridDatePopup*) { b.Click(b.Neighbour); };
  auto letter = [](TSenderBench& b, TdxGridDatePopup*) { b.Key('A'); };
  auto enter = [](TSenderBench& b, TdxGridDatePopup* p) { b.FreeOn(p->OnEnter, p); };
  auto exit = [](TSenderBench& b, TdxGridDatePopup* p) { b.FreeOn(p->OnExit, p); };
  rows.push_back({"TdxGridDatePopup", "OnEnter", "Tab", shown(enter, tab)});
  rows.push_back({"TdxGridDatePopup", "OnEnter", "a click on it", shown(enter, clickOn)});
  rows.push_back({"TdxGridDatePopup", "OnExit", "Tab", shown(exit, tab)});
  rows.push_back({"TdxGridDatePopup", "OnExit", "a click on another control", shown(exit, clickAway)});
  rows.push_back({"TdxGridDatePopup", "OnKeyDown", "a letter key", shown([](TSenderBench& b, TdxGridDatePopup* p) {
                    b.FreeOn(p->OnKeyDown, p);
                  }, letter)});
  rows.push_back({"TdxGridDatePopup", "OnKeyPress", "a letter key", shown([](TSenderBench& b, TdxGridDatePopup* p) {
                    b.FreeOn(p->OnKeyPress, p);
                  }, letter)});
  rows.push_back({"TdxGridDatePopup", "OnKeyUp", "a letter key", shown([](TSenderBench& b, TdxGridDatePopup* p) {
                    b.FreeOn(p->OnKeyUp, p);
                  }, letter)});
  rows.push_back({"TdxGridDatePopup", "OnDateClick", "a click on a day", [](TSenderBench& b) {
                    auto* popup = new TdxGridDatePopup(b.Form);
                    popup->SetVisible(false);
                    popup->SetBounds(620, 380, 20, 20);
                    popup->HandleNeeded();
                    popup->SetDate(EncodeDate(2024, 4, 1));
                    popup->ShowPopup();
                    PumpPending();
                    b.FreeOn(popup->OnDateClick, popup);
                    const TRect cell = popup->GetDayCellRect(3, 2);
                    b.Click(popup, (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
                  }});

  auto xpEdit = [](TSenderBench& b) { return b.Make<TCustomXPEdit>(TRect{80, 4, 230, 25}); };
  AddWindowedRows(rows, "TCustomXPEdit", xpEdit);
  rows.push_back({"TCustomXPEdit", "OnChange", "a typed character", [xpEdit](TSenderBench& b) {
                    TCustomXPEdit* e = xpEdit(b);
                    e->SetFocus();
                    b.FreeOn(e->OnChange, e);
                    b.Type('a');
                  }});
}

// ---- The tree list.

// Adds to `tree` by `add` the nodes a, b (b1, b2), c, d and, for scrolling, forty more,
// adds `options` and `optionsEx` to its own and focuses a.
template <class TAdd>
void FillAndFocus(TCustomdxTreeList* tree, const TAdd& add, TdxTreeListOptions options,
                  TdxTreeListOptionsEx optionsEx, bool rowSelect) {
  for (const char* name : {"a", "b", "c", "d"})
    add(nullptr, name);
  add(tree->GetItem(1), "b1");
  add(tree->GetItem(1), "b2");
  for (int i = 0; i < 40; ++i)
    add(nullptr, "n" + std::to_string(i));
  options = tree->GetOptions() + options;
  tree->SetOptions(rowSelect ? options.Include(aoRowSelect) : options.Exclude(aoRowSelect));
  tree->SetOptionsEx(tree->GetOptionsEx() + optionsEx);
  tree->UpdateGuarded();
  tree->SetFocusedNode(tree->GetItem(0), 0, /*makeVisible=*/true);
  PumpPending();
}

// A tree list of three columns with the nodes a, b (b1, b2), c, d and, for scrolling,
// forty more, focused on a; `options` and `optionsEx` are added to its own.
TInputTreeList* MakeTree(TSenderBench& b, TdxTreeListOptions options = {}, TdxTreeListOptionsEx optionsEx = {},
                         bool rowSelect = true) {
  auto* tree = new TInputTreeList(b.Form);
  tree->Bands = {TTestBand{"Band", 300}};
  tree->Columns = {TTestColumn{"Name", 0, 0, 120}, TTestColumn{"Size", 0, 0, 80}, TTestColumn{"Kind", 0, 0, 80}};
  b.Place(tree, TRect{80, 4, 400, 164});
  auto add = [tree](TdxTreeListNode* parent, const std::string& name) {
    TdxTreeListTextNode* node = tree->AddNode(parent, name);
    node->GetStrings()->Add("1");
    node->GetStrings()->Add("x");
    return node;
  };
  FillAndFocus(tree, add, options, optionsEx, rowSelect);
  return tree;
}

// The column-bound control with the same nodes and columns, focused on a.
TCustomdxTreeList* MakeGridTree(TSenderBench& b, TdxTreeListOptions options, TdxTreeListOptionsEx optionsEx,
                                bool rowSelect) {
  auto* grid = new TCustomdxTreeListControl(b.Form);
  for (const char* caption : {"Name", "Size", "Kind"})
    grid->CreateColumn(&TdxTreeListColumn::MetaClass(), b.Form)->SetCaption(caption);
  b.Place(grid, TRect{80, 4, 400, 164});
  auto add = [grid](TdxTreeListNode* parent, const std::string& name) {
    auto* node = static_cast<TdxTreeListTextNode*>(parent ? parent->AddChild() : grid->Add());
    for (const std::string& text : {name, std::string("1"), std::string("x")})
      node->GetStrings()->Add(text);
    return node;
  };
  FillAndFocus(grid, add, options, optionsEx, rowSelect);
  return grid;
}

// Makes one kind of tree list for the rows every tree list has, with options added to
// its own.
struct TTreeMaker {
  TCustomdxTreeList* (*Make)(TSenderBench&, TdxTreeListOptions, TdxTreeListOptionsEx, bool);
  TCustomdxTreeList* operator()(TSenderBench& b, TdxTreeListOptions options = {}, TdxTreeListOptionsEx optionsEx = {},
                                bool rowSelect = true) const {
    return Make(b, options, optionsEx, rowSelect);
  }
};

// The middle of a node's row in the first column.
TPoint RowPointOf(TCustomdxTreeList* tree, TdxTreeListNode* node) {
  TRect rect;
  tree->GetNavigator().GetNodeRowRect(node, rect);
  return Point(rect.left + 60, (rect.top + rect.bottom) / 2);
}

// A tree-list event fired by an input on the focused tree list.
template <class Make>
TSenderRow TreeRow(const std::string& control, const std::string& event, const std::string& input, Make make,
                   std::function<void(TSenderBench&, TCustomdxTreeList*)> bind,
                   std::function<void(TSenderBench&, TCustomdxTreeList*)> fire, const char* silent = nullptr) {
  return {control, event, input, [make, bind, fire](TSenderBench& b) {
            TCustomdxTreeList* tree = make(b);
            tree->SetFocus();
            PumpPending();
            bind(b, tree);
            fire(b, tree);
          }, silent};
}

// ---- The column-bound control's headers (MakeHeaders, THeaderDrag: FreedSenderTable.h).

// Fault: a header or band drag went on with the grid its handler had freed: the drag's
// start after OnCan...Dragging, the cursor after OnDragOver..., the drop after
// OnEndDrag... and the moved header made visible after OnHeaderMoved or OnBandMoved.
void AddGridHeaderRows(std::vector<TSenderRow>& rows) {
  const std::string grid = "TCustomdxTreeListControl";
  using G = TCustomdxTreeListControl;
  auto row = [&rows, grid](const char* event, const char* input, auto bind,
                           std::function<void(TSenderBench&, TCustomdxTreeList*)> fire) {
    rows.push_back(TreeRow(grid, event, input, MakeHeaders,
                           [bind](TSenderBench& b, TCustomdxTreeList* t) { bind(b, static_cast<G*>(t)); }, fire));
  };
  auto column = [](int index) { return [index](TCustomdxTreeList* t) { return ColumnHeaderRect(t, index); }; };
  auto band = [](int index) { return [index](TCustomdxTreeList* t) { return BandHeaderRect(t, index); }; };
  // The right part of the last column's header, of the second band's header, and the rows.
  auto afterC = [](TCustomdxTreeList* t) {
    const TRect c = ColumnHeaderRect(t, 2);
    return TRect{c.right - 8, c.top, c.right - 2, c.bottom};
  };
  auto afterY = [](TCustomdxTreeList* t) {
    const TRect y = BandHeaderRect(t, 1);
    return TRect{y.right - 8, y.top, y.right - 2, y.bottom};
  };
  auto rowsArea = [](TCustomdxTreeList* t) {
    const TRect r = t->GetLayoutBuilder().GetRowsRect();
    return TRect{r.left + 40, r.top + 30, r.left + 60, r.top + 40};
  };
  const THeaderDrag moveA{column(0), afterC}, hideA{column(0), rowsArea}, cancelA{column(0), afterC, true};
  const THeaderDrag moveX{band(0), afterY}, hideX{band(0), rowsArea}, cancelX{band(0), afterY, true};
  const char* kMove = "a header dragged to another place";
  const char* kHide = "a header dragged out of the header";
  const char* kCancel = "Escape during a header drag";
  const char* kBandMove = "a band dragged to another place";
  const char* kBandHide = "a band dragged out of the header";
  const char* kBandCancel = "Escape during a band drag";

  auto canHeader = [](TSenderBench& b, G* g) { b.FreeOn(g->OnCanHeaderDragging, g); };
  auto overHeader = [](TSenderBench& b, G* g) { b.FreeOn(g->OnDragOverHeader, g); };
  auto endHeader = [](TSenderBench& b, G* g) { b.FreeOn(g->OnEndDragHeader, g); };
  row("OnCanHeaderDragging", kMove, canHeader, moveA);
  row("OnDragOverHeader", kMove, overHeader, moveA);
  row("OnDragOverHeader", kHide, overHeader, hideA);
  row("OnEndDragHeader", kMove, endHeader, moveA);
  row("OnEndDragHeader", kHide, endHeader, hideA);
  row("OnEndDragHeader", kCancel, endHeader, cancelA);
  row("OnHeaderMoved", kMove, [](TSenderBench& b, G* g) { b.FreeOn(g->OnHeaderMoved, g); }, moveA);
  row("OnHideHeader", kHide, [](TSenderBench& b, G* g) { b.FreeOn(g->OnHideHeader, g); }, hideA);
  row("OnShowHeader", kMove, [](TSenderBench& b, G* g) { b.FreeOn(g->OnShowHeader, g); }, moveA);

  auto canBand = [](TSenderBench& b, G* g) { b.FreeOn(g->OnCanBandDragging, g); };
  auto overBand = [](TSenderBench& b, G* g) { b.FreeOn(g->OnDragOverBand, g); };
  auto endBand = [](TSenderBench& b, G* g) { b.FreeOn(g->OnEndDragBand, g); };
  row("OnCanBandDragging", kBandMove, canBand, moveX);
  row("OnDragOverBand", kBandMove, overBand, moveX);
  row("OnDragOverBand", kBandHide, overBand, hideX);
  row("OnEndDragBand", kBandMove, endBand, moveX);
  row("OnEndDragBand", kBandHide, endBand, hideX);
  row("OnEndDragBand", kBandCancel, endBand, cancelX);
  row("OnBandMoved", kBandMove, [](TSenderBench& b, G* g) { b.FreeOn(g->OnBandMoved, g); }, moveX);
  row("OnHideBand", kBandHide, [](TSenderBench& b, G* g) { b.FreeOn(g->OnHideBand, g); }, hideX);
  row("OnShowBand", kBandMove, [](TSenderBench& b, G* g) { b.FreeOn(g->OnShowBand, g); }, moveX);

  auto clickOn = [](std::function<TRect(TCustomdxTreeList*)> rect) {
    return [rect](TSenderBench& b, TCustomdxTreeList* t) {
      const TPoint p = Middle(rect(t));
      b.Click(t, p.x, p.y);
    };
  };
  row("OnBandClick", "a click on a band", [](TSenderBench& b, G* g) { b.FreeOn(g->OnBandClick, g); }, clickOn(band(1)));
  row("OnColumnSorting", "a click on a header", [](TSenderBench& b, G* g) { b.FreeOn(g->OnColumnSorting, g); },
      clickOn(column(1)));
  // A column's right edge: dragged, and double-clicked (its width fitted to its texts).
  auto edge = [](TCustomdxTreeList* t) {
    const TRect a = ColumnHeaderRect(t, 0);
    return Point(a.right - 1, (a.top + a.bottom) / 2);
  };
  auto widths = [](TSenderBench& b, G* g) { b.FreeOn(g->OnChangedColumnsWidth, g); };
  row("OnChangedColumnsWidth", "a drag of a header's edge", widths, [edge](TSenderBench& b, TCustomdxTreeList* t) {
    const TPoint p = edge(t);
    b.Drag(t, {p, Point(p.x + 10, p.y), Point(p.x + 20, p.y)});
  });
  row("OnChangedColumnsWidth", "a double click on a header's edge", widths,
      [edge](TSenderBench& b, TCustomdxTreeList* t) {
        const TPoint p = edge(t);
        b.DoubleClick(t, p.x, p.y);
      });
}

void AddTreeRows(std::vector<TSenderRow>& rows, const std::string& control, TTreeMaker make) {
  auto tree = [make](TSenderBench& b) { return make(b); };
  auto cells = [make](TSenderBench& b) { return make(b, {}, {}, /*rowSelect=*/false); };
  auto multi = [make](TSenderBench& b) { return make(b, {aoMultiSelect}); };
  const TReach onRow{'A', [](TControl* c) {
    auto* t = static_cast<TCustomdxTreeList*>(c);
    return RowPointOf(t, t->GetItem(1));
  }};
  AddWindowedRows(rows, control, tree, onRow);

  auto changeNode = [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnChangeNode, t); };
  auto click = [](TdxTreeListNode* (*which)(TCustomdxTreeList*), WPARAM keys = 0) {
    return [which, keys](TSenderBench& b, TCustomdxTreeList* t) {
      const TPoint p = RowPointOf(t, which(t));
      const TKeysHeld held(keys & MK_CONTROL ? std::initializer_list<int>{VK_CONTROL} : std::initializer_list<int>{});
      b.Click(t, p.x, p.y, keys);
    };
  };
  auto third = [](TCustomdxTreeList* t) { return t->GetItem(2); };
  rows.push_back(TreeRow(control, "OnChangeNode", "Down", tree, changeNode,
                         [](TSenderBench& b, TCustomdxTreeList*) { b.Key(VK_DOWN); }));
  rows.push_back(TreeRow(control, "OnChangeNode", "Page Down", tree, changeNode,
                         [](TSenderBench& b, TCustomdxTreeList*) { b.Key(VK_NEXT); }));
  rows.push_back(TreeRow(control, "OnChangeNode", "a click on a row", tree, changeNode, click(third)));
  rows.push_back(TreeRow(control, "OnChangeNode", "the wheel", tree, changeNode,
                         [](TSenderBench& b, TCustomdxTreeList* t) { b.Wheel(t, -1); }));

  auto topNode = [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnChangeTopNode, t); };
  rows.push_back(TreeRow(control, "OnChangeTopNode", "the wheel", tree, topNode,
                         [](TSenderBench& b, TCustomdxTreeList* t) { b.Wheel(t, -1); }));
  rows.push_back(TreeRow(control, "OnChangeTopNode", "Page Down", tree, topNode,
                         [](TSenderBench& b, TCustomdxTreeList*) {
                           // The first press moves the focus to the page's last row.
                           for (int i = 0; i < 3 && b.Target; ++i)
                             b.Key(VK_NEXT);
                         }));
  rows.push_back(TreeRow(control, "OnChangeTopNode", "a click on its scroll bar", tree, topNode,
                         [](TSenderBench&, TCustomdxTreeList* t) {
                           RECT window{};
                           GetWindowRect(t->GetHandle(), &window);
                           const int arrow = GetSystemMetrics(SM_CYVSCROLL);
                           PostMessageA(t->GetHandle(), WM_NCLBUTTONDOWN, HTVSCROLL,
                                        MAKELPARAM(window.right - 4, window.bottom - arrow - 8));
                           PostMessageA(t->GetHandle(), WM_LBUTTONUP, 0, 0);
                           Application->ProcessMessages();
                         }));

  auto selection = [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnSelectionChanged, t); };
  rows.push_back(TreeRow(control, "OnSelectionChanged", "Ctrl+click", multi, selection, click(third, MK_CONTROL)));
  rows.push_back(TreeRow(control, "OnSelectionChanged", "a click on a row", multi, selection, click(third)));
  rows.push_back(TreeRow(control, "OnSelectionChanged", "Shift+Down", multi, selection,
                         [](TSenderBench& b, TCustomdxTreeList*) { b.Key(VK_DOWN, {VK_SHIFT}); }));
  rows.push_back(TreeRow(control, "OnSelectionChanged", "Down", multi, selection,
                         [](TSenderBench& b, TCustomdxTreeList*) { b.Key(VK_DOWN); }));

  auto changeColumn = [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnChangeColumn, t); };
  rows.push_back(TreeRow(control, "OnChangeColumn", "Right", cells, changeColumn,
                         [](TSenderBench& b, TCustomdxTreeList*) { b.Key(VK_RIGHT); }));
  rows.push_back(TreeRow(control, "OnChangeColumn", "a click on a cell of another column", cells, changeColumn,
                         [](TSenderBench& b, TCustomdxTreeList* t) {
                           const TPoint p = RowPointOf(t, t->GetItem(0));
                           b.Click(t, p.x + 100, p.y);
                         }));

  auto onB = [make](TSenderBench& b) {
    TCustomdxTreeList* t = make(b);
    t->SetFocusedNode(t->GetItem(1), 0, true);
    return t;
  };
  auto canExpand = [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnCanExpand, t); };
  auto expanded = [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnExpanded, t); };
  auto plus = [](TSenderBench& b, TCustomdxTreeList*) { b.Type('+'); };
  auto buttonClick = [](TSenderBench& b, TCustomdxTreeList* t) {
    TRect row;
    t->GetNavigator().GetNodeRowRect(t->GetItem(1), row);
    const int y = (row.top + row.bottom) / 2;
    for (int x = row.left; x < row.left + 100; ++x) {
      TdxTreeListHitInfo hit;
      t->GetHitInfo(Point(x, y), hit);
      if (hit.HitTest == htButton) {
        b.Click(t, x + 2, y);
        return;
      }
    }
  };
  rows.push_back(TreeRow(control, "OnCanExpand", "+", onB, canExpand, plus));
  rows.push_back(TreeRow(control, "OnCanExpand", "a click on its button", onB, canExpand, buttonClick));
  rows.push_back(TreeRow(control, "OnExpanded", "+", onB, expanded, plus));
  rows.push_back(TreeRow(control, "OnExpanded", "Right", onB, expanded,
                         [](TSenderBench& b, TCustomdxTreeList*) { b.Key(VK_RIGHT); }));
  auto expandedB = [make](TSenderBench& b) {
    TCustomdxTreeList* t = make(b);
    t->GetItem(1)->SetExpanded(true);
    t->SetFocusedNode(t->GetItem(1), 0, true);
    return t;
  };
  auto canCollapse = [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnCanCollapse, t); };
  auto collapsed = [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnCollapsed, t); };
  auto minus = [](TSenderBench& b, TCustomdxTreeList*) { b.Type('-'); };
  rows.push_back(TreeRow(control, "OnCanCollapse", "-", expandedB, canCollapse, minus));
  rows.push_back(TreeRow(control, "OnCollapsed", "-", expandedB, collapsed, minus));
  rows.push_back(TreeRow(control, "OnCollapsed", "Left", expandedB, collapsed,
                         [](TSenderBench& b, TCustomdxTreeList*) { b.Key(VK_LEFT); }));
  rows.push_back(TreeRow(control, "OnCollapsed", "a click on its button", expandedB, collapsed, buttonClick));

  auto editable = [make](TSenderBench& b) { return make(b, {aoEditing}, {}, /*rowSelect=*/false); };
  auto typingEdits = [make](TSenderBench& b) { return make(b, {aoEditing}, {aoTypingStartsEditor}, false); };
  auto pressEdits = [make](TSenderBench& b) { return make(b, {aoEditing, aoImmediateEditor}, {}, false); };
  auto editing = [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnEditing, t); };
  rows.push_back(TreeRow(control, "OnEditing", "F2", editable, editing,
                         [](TSenderBench& b, TCustomdxTreeList*) { b.Key(VK_F2); }));
  rows.push_back(TreeRow(control, "OnEditing", "a typed character", typingEdits, editing,
                         [](TSenderBench& b, TCustomdxTreeList*) { b.Type('z'); }));
  rows.push_back(TreeRow(control, "OnEditing", "a click on a cell", pressEdits, editing,
                         [](TSenderBench& b, TCustomdxTreeList* t) {
                           const TPoint p = RowPointOf(t, t->GetItem(2));
                           b.Click(t, p.x, p.y);
                         }));
  auto canSelect = [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnCanSelectNode, t); };
  rows.push_back(TreeRow(control, "OnCanSelectNode", "Ctrl+click", multi, canSelect, click(third, MK_CONTROL)));
  rows.push_back(TreeRow(control, "OnCanSelectNode", "Shift+Down", multi, canSelect,
                         [](TSenderBench& b, TCustomdxTreeList*) { b.Key(VK_DOWN, {VK_SHIFT}); }));
  auto columnEdits = [make](TSenderBench& b) { return make(b, {aoEditing, aoColumnEditing}, {}, /*rowSelect=*/false); };
  rows.push_back(TreeRow(control, "OnEditChange", "a typed character", columnEdits,
                         [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnEditChange, t); },
                         [](TSenderBench& b, TCustomdxTreeList*) {
                           b.Key(VK_F2);
                           b.Type('z');
                         }));
  rows.push_back(TreeRow(control, "OnEditValidate", "Enter after typing", columnEdits,
                         [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnEditValidate, t); },
                         [](TSenderBench& b, TCustomdxTreeList*) {
                           b.Key(VK_F2);
                           b.Type('z');
                           b.Key(VK_RETURN);
                         }));
  rows.push_back(TreeRow(control, "OnEditValidate", "Down after typing", columnEdits,
                         [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnEditValidate, t); },
                         [](TSenderBench& b, TCustomdxTreeList*) {
                           b.Key(VK_F2);
                           b.Type('z');
                           b.Key(VK_DOWN);
                         }));
  rows.push_back(TreeRow(control, "OnEditValidate", "a click on another control after typing", columnEdits,
                         [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnEditValidate, t); },
                         [](TSenderBench& b, TCustomdxTreeList*) {
                           b.Key(VK_F2);
                           b.Type('z');
                           b.Click(b.Neighbour);
                         }));

  // Fault: these paths went on with the control their handler had freed: the node drag's
  // image after OnBeginDragNode, the editor's start after OnCanEditColumn and
  // OnGetEditColor, the release's edit after OnCanEditColumn, the cursor after
  // OnGetHotCursor, the sort's next comparison after OnCompare.
  // A node dragged in the automatic drag mode.
  rows.push_back(TreeRow(control, "OnBeginDragNode", "a drag of a row", tree,
                         [](TSenderBench& b, TCustomdxTreeList* t) {
                           t->SetDragMode(dmAutomatic);
                           b.FreeOn(t->OnBeginDragNode, t);
                         },
                         [](TSenderBench& b, TCustomdxTreeList* t) {
                           const TPoint p = RowPointOf(t, t->GetItem(2));
                           const TPoint screen = t->ClientToScreen(p);
                           b.DragFrom(t, p, {Point(screen.x + 12, screen.y + 12), Point(screen.x + 24, screen.y + 24)});
                         }));
  // The questions the editing asks: whether the column may be edited, the editor's
  // colour, and the keys the editor hands on.
  auto canEditColumn = [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnCanEditColumn, t); };
  rows.push_back(TreeRow(control, "OnCanEditColumn", "F2", columnEdits, canEditColumn,
                         [](TSenderBench& b, TCustomdxTreeList*) { b.Key(VK_F2); }));
  rows.push_back(TreeRow(control, "OnCanEditColumn", "a click on the focused cell", columnEdits, canEditColumn,
                         [](TSenderBench& b, TCustomdxTreeList* t) {
                           const TPoint p = RowPointOf(t, t->GetItem(0));
                           b.Click(t, p.x, p.y);
                         }));
  rows.push_back(TreeRow(control, "OnGetEditColor", "F2", columnEdits,
                         [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnGetEditColor, t); },
                         [](TSenderBench& b, TCustomdxTreeList*) { b.Key(VK_F2); }));
  rows.push_back(TreeRow(control, "OnEditorKey", "a letter key in the editor", columnEdits,
                         [](TSenderBench& b, TCustomdxTreeList* t) {
                           b.Key(VK_F2);
                           b.FreeOn(t->OnEditorKey, t);
                         },
                         [](TSenderBench& b, TCustomdxTreeList*) { b.Type('z'); }));
  // The pointer over a cell with hot tracking, and resting on a node or a header until
  // the hint's time comes.
  rows.push_back(TreeRow(control, "OnGetHotCursor", "a move over a cell", [make](TSenderBench& b) {
                           return make(b, {}, {aoHotTrack}, /*rowSelect=*/false);
                         },
                         [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnGetHotCursor, t); },
                         [](TSenderBench& b, TCustomdxTreeList* t) {
                           const TPoint p = RowPointOf(t, t->GetItem(2));
                           b.Move(t, p.x, p.y);
                         }));
  rows.push_back(TreeRow(control, "OnNodeNotify", "the pointer resting on a row", tree,
                         [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnNodeNotify, t); },
                         [](TSenderBench& b, TCustomdxTreeList* t) {
                           const TPoint p = RowPointOf(t, t->GetItem(2));
                           b.PointTo(t, p.x, p.y);
                           PumpUntil([&b] { return b.Fired > 0; });
                         }));
  rows.push_back(TreeRow(control, "OnNotify", "the pointer resting on a header", tree,
                         [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnNotify, t); },
                         [](TSenderBench& b, TCustomdxTreeList* t) {
                           const TPoint p = Middle(ColumnHeaderRect(t, 1));
                           b.PointTo(t, p.x, p.y);
                           PumpUntil([&b] { return b.Fired > 0; });
                         }));
  // The sort a header click starts compares the nodes by the handler.
  rows.push_back(TreeRow(control, "OnCompare", "a click on a header", tree,
                         [](TSenderBench& b, TCustomdxTreeList* t) { b.FreeOn(t->OnCompare, t); },
                         [](TSenderBench& b, TCustomdxTreeList* t) {
                           const TPoint p = Middle(ColumnHeaderRect(t, 1));
                           b.Click(t, p.x, p.y);
                         }));
}

void AddTreeListRows(std::vector<TSenderRow>& rows) {
  AddTreeRows(rows, "TCustomdxTreeList",
              TTreeMaker{[](TSenderBench& b, TdxTreeListOptions options, TdxTreeListOptionsEx optionsEx,
                            bool rowSelect) -> TCustomdxTreeList* { return MakeTree(b, options, optionsEx, rowSelect); }});
  AddTreeRows(rows, "TCustomdxTreeListControl", TTreeMaker{&MakeGridTree});
  // The column-bound control's own: the header.
  const std::string grid = "TCustomdxTreeListControl";
  auto makeGrid = [](TSenderBench& b) {
    auto* g = new TCustomdxTreeListControl(b.Form);
    g->CreateColumn(&TdxTreeListColumn::MetaClass(), b.Form)->SetCaption("Name");
    g->CreateColumn(&TdxTreeListColumn::MetaClass(), b.Form)->SetCaption("Size");
    b.Place(g, TRect{80, 4, 400, 164});
    g->SetOptions(g->GetOptions().Include(aoEditing).Include(aoColumnEditing).Exclude(aoRowSelect));
    for (const char* name : {"a", "b", "c"}) {
      auto* node = static_cast<TdxTreeListTextNode*>(g->Add());
      node->GetStrings()->Add(name);
      node->GetStrings()->Add("1");
    }
    g->UpdateGuarded();
    g->SetFocusedNode(g->GetItem(0), 0, true);
    PumpPending();
    return g;
  };
  rows.push_back(TreeRow(grid, "OnColumnClick", "a click on a header", makeGrid,
                         [](TSenderBench& b, TCustomdxTreeList* t) {
                           b.FreeOn(static_cast<TCustomdxTreeListControl*>(t)->OnColumnClick, t);
                         },
                         [](TSenderBench& b, TCustomdxTreeList* t) {
                           TdxTreeListLayout layout;
                           t->CalcLayout(layout);
                           const TdxTreeListColumnEntry* entry = layout.FindColumn(1);
                           b.Click(t, (entry->Rect.left + entry->Rect.right) / 2, (entry->Rect.top + entry->Rect.bottom) / 2);
                         }));
  AddGridHeaderRows(rows);
}

constexpr const char* kNoSelectionStore =
    "the column-bound control keeps no selection of its own (a descendant stores it): its count never changes";

constexpr const char* kFormNotEntered = "a form is not entered or left: its controls are (OnActivate tells of it)";
constexpr const char* kContainerNoFocus = "a container is no tab stop, and a click on it leaves the focus";
constexpr const char* kPopupNoFocus = "the calendar popup never takes the focus: its editor keeps it";
constexpr const char* kNoList = "a button editor has no list to open";
constexpr const char* kNoEditor = "the base tree list shows no in-place editor: the column-bound control does";
constexpr const char* kColumnsEdit = "only the column-bound control's columns tell of an edit";

const TSilence kSilences[] = {
    {"TButton", "OnDblClick", "a double click",
     "a system button clicks by its own notification: no click events from the mouse"},
    {"TCheckBox", "OnDblClick", "a double click",
     "a system button clicks by its own notification: no click events from the mouse"},
    {"TRadioButton", "OnDblClick", "a double click",
     "a system button clicks by its own notification: no click events from the mouse"},
    {"TRadioButton", "OnClick", "Alt+letter", "the radio button has no accelerator"},
    {"TRadioButton", "OnEnter", "Alt+letter", "the radio button has no accelerator"},
    {"TComboBox", "OnKeyDown", "a letter key", "the keys go to the combo box's inner edit window"},
    {"TComboBox", "OnKeyPress", "a letter key", "the keys go to the combo box's inner edit window"},
    {"TComboBox", "OnKeyUp", "a letter key", "the keys go to the combo box's inner edit window"},
    {"TComboBox", "OnClick", "a click", "no click events from the mouse: OnSelect tells of a choice"},
    {"TComboBox", "OnDblClick", "a double click", "no click events from the mouse"},
    {"TListBox", "OnDblClick", "a double click", "no click events from the mouse: OnClick tells of a choice"},
    {"TKsCustomButton", "OnDblClick", "a double click",
     "the skinned button clicks from its own press and release: no click events from the mouse"},
    {"TKsCustomCheckBox", "OnDblClick", "a double click", "the skinned mark toggles by its own press and release"},
    {"TKsCustomRadioButton", "OnDblClick", "a double click", "the skinned mark checks by its own press and release"},
    {"TTeThemeGroupButton", "OnDblClick", "a double click", "the skinned mark checks by its own press and release"},
    {"TTeThemeRadioGroup", "OnClick", "a click", "no click events from the mouse: OnClick tells of a button chosen"},
    {"TTeThemeRadioGroup", "OnDblClick", "a double click", "no click events from the mouse"},
    {"TKsCustomGroupBox", "OnClick", "a click", "no click events from the mouse"},
    {"TKsCustomGroupBox", "OnDblClick", "a double click", "no click events from the mouse"},
    {"TKsCustomTabControl", "OnClick", "a click", "no click events from the mouse: OnChange tells of a tab chosen"},
    {"TKsCustomTabControl", "OnDblClick", "a double click", "no click events from the mouse"},
    {"TRichEdit", "OnExit", "Tab", "a multi-line rich edit takes Tab as a character"},
    {"TdxInplaceHyperLinkEdit", "OnDblClick", "a double click",
     "a double click on an editable stand-alone link starts the link (OnStartClick)"},
    {"TdxInplaceSpinEdit", "OnChange", "Up", "stand-alone, the text editors leave Up and Down to the form"},
    {"TdxInplaceTimeEdit", "OnChange", "Up", "stand-alone, the text editors leave Up and Down to the form"},
    {"TdxInplaceDateEdit", "OnCloseUp", "Enter in the open list", "its calendar closes without OnCloseUp"},
    {"TdxInplaceDateEdit", "OnCloseUp", "Escape in the open list", "its calendar closes without OnCloseUp"},
    {"TdxInplaceCalcEdit", "OnCloseUp", "Enter in the open list", "its calculator closes without OnCloseUp"},
    {"TdxInplaceCalcEdit", "OnCloseUp", "Escape in the open list", "its calculator closes without OnCloseUp"},
    {"TdxInplaceBlobEdit", "OnCloseUp", "Enter in the open list", "its memo closes without OnCloseUp"},
    {"TdxInplaceBlobEdit", "OnCloseUp", "Escape in the open list", "its memo closes without OnCloseUp"},
    {"TdxInplaceCheckEdit", "OnDblClick", "a double click", "the check editor toggles by its own press and release"},
    {"TCustomdxCalculator", "OnClick", "a click", "no click events from the mouse: its buttons click (OnButtonClick)"},
    {"TCustomdxCalculator", "OnDblClick", "a double click", "no click events from the mouse"},
    {"TCustomdxTreeList", "OnChangeNode", "the wheel", "the wheel scrolls the rows and leaves the focused node"},
    {"TCustomdxTreeListControl", "OnChangeNode", "the wheel", "the wheel scrolls the rows and leaves the focused node"},
    {"TPanel", "OnEnter", "Tab", kContainerNoFocus},
    {"TPanel", "OnEnter", "a click on it", kContainerNoFocus},
    {"TGroupBox", "OnEnter", "Tab", kContainerNoFocus},
    {"TGroupBox", "OnEnter", "a click on it", kContainerNoFocus},
    {"TKsCustomGroupBox", "OnEnter", "Tab", kContainerNoFocus},
    {"TKsCustomGroupBox", "OnEnter", "a click on it", kContainerNoFocus},
    {"TKsSpeedContainer", "OnEnter", "Tab", kContainerNoFocus},
    {"TKsSpeedContainer", "OnEnter", "a click on it", kContainerNoFocus},
    {"TKsCustomControlBar", "OnEnter", "Tab", kContainerNoFocus},
    {"TKsCustomControlBar", "OnEnter", "a click on it", kContainerNoFocus},
    {"TKsCustomMenuBar", "OnEnter", "Tab", kContainerNoFocus},
    {"TKsCustomMenuBar", "OnEnter", "a click on it", kContainerNoFocus},
    {"TStringGrid", "OnColumnMoved", "a drag of a fixed cell along the top",
     "the grid moves a column only as code asks (MoveColumn): it has no drag of a fixed cell"},
    {"TStringGrid", "OnRowMoved", "a drag of a fixed cell down the side",
     "the grid moves a row only as code asks (MoveRow): it has no drag of a fixed cell"},
    {"TForm", "OnEnter", "Tab", kFormNotEntered},
    {"TForm", "OnEnter", "a click on it", kFormNotEntered},
    {"TForm", "OnExit", "Tab", kFormNotEntered},
    {"TForm", "OnExit", "a click on another control", kFormNotEntered},
    {"TTeThemeRadioGroup", "OnEnter", "a click on it", "a click on the group's frame leaves the focus where it is"},
    {"TTeThemeRadioGroup", "OnExit", "Tab", "focused, the group gives the focus to its button, from which Tab moves"},
    {"TdxInplaceButtonEdit", "OnDropDown", "F4", kNoList},
    {"TdxInplaceButtonEdit", "OnDropDown", "Alt+Down", kNoList},
    {"TdxInplaceButtonEdit", "OnContainerDropDown", "F4", kNoList},
    {"TdxInplaceButtonEdit", "OnCloseUp", "Enter in the open list", kNoList},
    {"TdxInplaceButtonEdit", "OnCloseUp", "Escape in the open list", kNoList},
    {"TdxInplaceImageEdit", "OnSelectionChange", "Shift+Left after typing",
     "the image editor shows its item's description: a letter chooses an item, no text is selected"},
    {"TdxInplaceBlobEdit", "OnSelectionChange", "Shift+Left after typing",
     "the blob editor's own text is not typed into: its memo, in its popup, is"},
    {"TdxGridDatePopup", "OnEnter", "Tab", kPopupNoFocus},
    {"TdxGridDatePopup", "OnEnter", "a click on it", kPopupNoFocus},
    {"TdxGridDatePopup", "OnExit", "Tab", kPopupNoFocus},
    {"TdxGridDatePopup", "OnExit", "a click on another control", kPopupNoFocus},
    {"TdxGridDatePopup", "OnKeyDown", "a letter key", kPopupNoFocus},
    {"TdxGridDatePopup", "OnKeyPress", "a letter key", kPopupNoFocus},
    {"TdxGridDatePopup", "OnKeyUp", "a letter key", kPopupNoFocus},
    {"TdxGridDatePopup", "OnDblClick", "a double click", "the calendar takes the clicks on its days: no double click"},
    {"TCustomdxTreeList", "OnCompare", "a click on a header",
     "the base tree list sorts by no input: the column-bound control's header click sorts"},
    {"TCustomdxTreeList", "OnCanEditColumn", "F2", kNoEditor},
    {"TCustomdxTreeList", "OnGetEditColor", "F2", kNoEditor},
    {"TCustomdxTreeList", "OnEditorKey", "a letter key in the editor", kNoEditor},
    {"TCustomdxTreeList", "OnEditChange", "a typed character", kColumnsEdit},
    {"TCustomdxTreeList", "OnEditValidate", "Enter after typing", kColumnsEdit},
    {"TCustomdxTreeList", "OnEditValidate", "Down after typing", kColumnsEdit},
    {"TCustomdxTreeList", "OnEditValidate", "a click on another control after typing", kColumnsEdit},
    {"TCustomdxTreeListControl", "OnSelectionChanged", "Ctrl+click", kNoSelectionStore},
    {"TCustomdxTreeListControl", "OnSelectionChanged", "a click on a row", kNoSelectionStore},
    {"TCustomdxTreeListControl", "OnSelectionChanged", "Shift+Down", kNoSelectionStore},
    {"TCustomdxTreeListControl", "OnSelectionChanged", "Down", kNoSelectionStore},
    {"TCustomdxTreeList", "OnExit", "Tab", "with aoTabThrough, a default option, Tab moves among the cells"},
    {"TCustomdxTreeListControl", "OnExit", "Tab", "with aoTabThrough, a default option, Tab moves among the cells"},
    {"TCustomdxTreeListControl", "OnShowHeader", "a header dragged to another place",
     "a hidden header is shown by a drag from the customizing window, which the library does not make"},
    {"TCustomdxTreeListControl", "OnShowBand", "a band dragged to another place",
     "a hidden band is shown by a drag from the customizing window, which the library does not make"},
    {"TCustomdxTreeListControl", "OnEndDragHeader", "Escape during a header drag",
     "a cancelled drag ends without its end-drag event"},
    {"TCustomdxTreeListControl", "OnEndDragBand", "Escape during a band drag",
     "a cancelled drag ends without its end-drag event"},
    {"TCustomdxTreeList", "OnCanSelectNode", "Ctrl+click",
     "nothing in the library asks it: CanSelectNodeEx is for descendants that keep the selection"},
    {"TCustomdxTreeList", "OnCanSelectNode", "Shift+Down",
     "nothing in the library asks it: CanSelectNodeEx is for descendants that keep the selection"},
    {"TCustomdxTreeListControl", "OnCanSelectNode", "Ctrl+click",
     "nothing in the library asks it: CanSelectNodeEx is for descendants that keep the selection"},
    {"TCustomdxTreeListControl", "OnCanSelectNode", "Shift+Down",
     "nothing in the library asks it: CanSelectNodeEx is for descendants that keep the selection"},
};

// The events no input fires, and why: named for the class that declares them, they hold
// for its descendants.
struct TUnfired {
  std::string Control;
  std::string Event;
  const char* Why;
};

constexpr const char* kPainting = "asked while the control paints, not by an input";
constexpr const char* kMeasuring =
    "asked whenever the control lays out, hit-tests or paints a node (every move, click and paint over the tree "
    "column): a question for an answer, which the table's contract of handlers freeing their sender leaves out";
constexpr const char* kBarLayout =
    "asked at every layout of the bar, for each band (its size, its bands, its form): a question for an answer, "
    "which the table's contract of handlers freeing their sender leaves out";

constexpr const char* kStoredByContainer =
    "asked only as a container stores the value (in place, its column's event): alone, no input stores it";
constexpr const char* kPenBrush = "set by code or as a control paints (a control's brush follows its colour)";
constexpr const char* kDrawn = "drawn on as its control paints, or by code (a new picture's, before a handler is bound)";

const TUnfired kUnfired[] = {
    {"TCustomForm", "OnPaint", kPainting},
    {"TKsCustomForm", "OnPaint", kPainting},
    {"TCustomListBox", "OnDrawItem", kPainting},
    {"TCustomListBox", "OnMeasureItem", "asked as an owner-drawn list's items are added or its window made, by code"},
    {"TStringGrid", "OnDrawCell", kPainting},
    {"TKsCustomTabControl", "OnDrawTab", kPainting},
    {"TKsCustomControlBar", "OnPaint", kPainting},
    {"TKsCustomControlBar", "OnBandPaint", kPainting},
    {"TKsCustomControlBar", "OnBandInfo", kBarLayout},
    {"TKsCustomControlBar", "OnBandMove", kBarLayout},
    {"TCustomdxTreeListControl", "OnCustomDrawBand", kPainting},
    {"TCustomdxTreeListControl", "OnCustomDrawColumnHeader", kPainting},
    {"TCustomdxTreeListControl", "OnCustomDrawCell", kPainting},
    {"TCustomdxTreeListControl", "OnCustomDrawCellEx", kPainting},
    {"TCustomdxTreeListControl", "OnCustomDrawFooter", kPainting},
    {"TCustomdxTreeListControl", "OnCustomDrawFooterNode", kPainting},
    {"TCustomdxTreeListControl", "OnCustomDrawPreview", kPainting},
    {"TCustomdxTreeListControl", "OnCustomDrawPreviewEx", kPainting},
    {"TCustomdxTreeListControl", "OnGetLevelColor", kPainting},
    {"TCustomdxTreeListControl", "OnGetColumnSorted", kPainting},
    {"TCustomdxTreeListControl", "OnGetImageIndex", kMeasuring},
    {"TCustomdxTreeListControl", "OnGetSelectedIndex", kMeasuring},
    {"TCustomdxTreeListControl", "OnGetStateIndex", kMeasuring},
    {"TCustomdxTreeList", "OnDeletion", "fired as nodes go, by code or with the control; no input deletes a node"},
    {"TKsCustomItem", "OnChange", "an item changes as code sets its caption, check mark, image or visibility"},
    {"TdxInplaceBlobEdit", "OnAssignPicture", kStoredByContainer},
    {"TdxInplaceGraphicEdit", "OnAssignPicture", kStoredByContainer},
    {"TdxInplaceGraphicEdit", "OnGetGraphicClass",
     "asked as a value is loaded, by code or by a container; a paste or a load takes the class of what it reads"},
    {"TTeThemeGroupButton", "OnClick", "the group takes its buttons' click for its own (the group's OnClick rows)"},
    {"TdxTreeListColumn", "OnNameChanged", "fired as code renames the column"},
    {"TdxTreeListColumn", "OnCustomDrawCell", kPainting},
    {"TdxTreeListColumn", "OnCustomDrawColumnHeader", kPainting},
    {"TdxTreeListWrapperColumn", "OnGetReferenceColumn",
     "asked for each of its cells the control paints, measures, hit-tests or edits: a question for an answer, "
     "which the table's contract of handlers freeing their sender leaves out"},
    {"TdxTreeListButtonColumn", "OnEditButtonClick",
     "a button column's editor has no list to open: its buttons click (OnButtonClick)"},
    {"TBasicAction", "OnChange",
     "fired as code changes the action (its caption, check mark, enabled state..., its OnExecute): no input changes "
     "an action, its clients run it"},
    {"TPen", "OnChange", kPenBrush},
    {"TBrush", "OnChange", kPenBrush},
    {"TCanvas", "OnChange", kDrawn},
    {"TCanvas", "OnChanging", kDrawn},
    {"TGraphic", "OnChange", "a cut, paste or load gives a picture a new graphic; other changes are made by code"},
    {"TSizeConstraints", "OnChange", "changed as code sets a constraint"},
    {"TCustomImageList", "OnChange", "changed by code (a drag's image list is filled before a handler can be bound)"},
    {"TChangeLink", "OnChange", "tells of its image list's change, made by code"},
    {"TdxStyleController", "OnStyleChanged", "fired as code changes a style the controller holds"},
};

// Rows run again with a handler that raises once it has freed its sender: the error is
// told, never with the freed sender.
struct TRowName {
  const char* Control;
  const char* Event;
  const char* Input;
};

const TRowName kRaising[] = {
    {"TTimer", "OnTimer", "its tick"},
    {"TEdit", "OnChange", "a letter key"},
    {"TEdit", "OnExit", "Tab"},
    {"TButton", "OnClick", "a click"},
    {"TStringGrid", "OnSelectCell", "Down"},
    {"TForm", "OnCloseQuery", "the close box"},
    {"TForm", "OnClose", "a click on a button with a modal result"},
    {"TKsCustomCheckBox", "OnClick", "Space"},
    {"TdxInplacePickEdit", "OnChange", "the wheel"},
    {"TCustomdxTreeList", "OnChangeNode", "Down"},
};

// The silences (and raising rows) that name no row (a row renamed or removed): they must
// not go unnoticed.
std::vector<std::string> gUnmatchedSilences;

// The single-line text editors stand-alone: their rich-edit window keeps Tab, and Enter
// validates only the date, time and masked editors.
std::vector<TSilence> EditorSilences() {
  std::vector<TSilence> silences;
  for (const std::string editor : {"TdxInplaceTextEdit", "TdxInplaceMaskEdit", "TdxInplaceCurrencyEdit",
                                   "TdxInplaceHyperLinkEdit", "TdxInplaceButtonEdit", "TdxInplacePickEdit",
                                   "TdxInplaceMRUEdit", "TdxInplaceSpinEdit", "TdxInplaceTimeEdit", "TdxInplaceDateEdit",
                                   "TdxInplaceCalcEdit"}) {
    silences.push_back({editor, "OnExit", "Tab", "stand-alone, the editor's rich-edit window keeps Tab"});
    silences.push_back({editor, "OnValidate", "Tab after typing", "stand-alone, the editor's rich-edit window keeps Tab"});
  }
  for (const std::string editor : {"TdxInplaceTextEdit", "TdxInplaceMemoEdit", "TdxInplaceCurrencyEdit",
                                   "TdxInplaceHyperLinkEdit", "TdxInplaceButtonEdit", "TdxInplacePickEdit",
                                   "TdxInplaceMRUEdit", "TdxInplaceSpinEdit", "TdxInplaceCalcEdit"})
    silences.push_back({editor, "OnValidate", "Enter after typing", "stand-alone, Enter does not validate this editor"});
  return silences;
}

std::vector<TSenderRow> Rows() {
  std::vector<TSenderRow> rows;
  AddClassLibRows(rows);
  AddSkinRows(rows);
  AddEditorLibraryRows(rows);
  AddTreeListRows(rows);
  AddComponentRows(rows);
  AddColumnRows(rows);
  AddValueRows(rows);
  // A radio group's button has its OnClick taken by the group, not published for users.
  std::erase_if(rows, [](const TSenderRow& row) { return row.Control == "TTeThemeGroupButton" && row.Event == "OnClick"; });
  auto find = [&rows](const std::string& control, const std::string& event, const std::string& input) {
    auto row = std::find_if(rows.begin(), rows.end(), [&](const TSenderRow& r) {
      return r.Control == control && r.Event == event && r.Input == input;
    });
    if (row == rows.end())
      gUnmatchedSilences.push_back(control + " " + event + " by " + input);
    return row;
  };
  std::vector<TSilence> silences(std::begin(kSilences), std::end(kSilences));
  for (const std::vector<TSilence>& more : {EditorSilences(), ComponentSilences()})
    silences.insert(silences.end(), more.begin(), more.end());
  for (const TSilence& silence : silences)
    if (auto row = find(silence.Control, silence.Event, silence.Input); row != rows.end())
      row->Silent = silence.Why;
  for (const TRowName& name : kRaising) {
    auto row = find(name.Control, name.Event, name.Input);
    if (row == rows.end())
      continue;
    TSenderRow raising = *row;
    raising.Input += ", the handler raising after it frees the sender";
    raising.Raises = true;
    raising.Run = [run = row->Run](TSenderBench& b) {
      b.Raise = true;
      run(b);
    };
    rows.push_back(raising);
  }
  return rows;
}

std::string RowName(const testing::TestParamInfo<TSenderRow>& info) {
  std::string name;
  bool upper = true;
  for (char c : info.param.Control + " " + info.param.Event + " by " + info.param.Input) {
    if (!std::isalnum(uint8_t(c))) {
      upper = true;
      continue;
    }
    name += upper ? char(std::toupper(uint8_t(c))) : c;
    upper = false;
  }
  return name;
}

class FreedSenderTable : public FormTest, public testing::WithParamInterface<TSenderRow> {};

TEST_P(FreedSenderTable, TheInputEndsWithItsSenderFreedAndUntouched) {
  const TSenderRow& row = GetParam();
  ShowForm();
  TSenderBench bench(Form);
  PumpPending();
  {
    const TGuardedHeap guarded;
    row.Run(bench);
    ReleaseCapture();
    PumpPending();
    if (row.Silent) {
      EXPECT_EQ(bench.Fired, 0) << "the event fires after all: " << row.Silent;
    } else {
      EXPECT_GE(bench.Fired, 1) << "the input did not fire the event";
      EXPECT_TRUE(bench.Freed);
    }
    delete Form;
    Form = nullptr;
    PumpPending();
  }
  if (!row.Raises) {
    EXPECT_TRUE(Exceptions.Messages.empty()) << (Exceptions.Messages.empty() ? "" : Exceptions.Messages[0]);
    return;
  }
  EXPECT_EQ(Exceptions.Messages, std::vector<std::string>{kRaised});
  for (TObject* sender : Exceptions.Senders)
    EXPECT_NE(sender, bench.FreedObject) << "the error was told with the freed sender";
}

const std::vector<TSenderRow>& AllRows() {
  static const std::vector<TSenderRow> rows = Rows();
  return rows;
}

INSTANTIATE_TEST_SUITE_P(Rows, FreedSenderTable, testing::ValuesIn(AllRows()), RowName);

TEST(FreedSenderTableSilences, EachNamesARowOfTheTable) {
  EXPECT_EQ(gUnmatchedSilences, std::vector<std::string>{});
}

// The classes that publish events yet have no rows, and why. A base no one makes as it
// is names the concrete classes that carry its events into the table (the test checks
// that they are there and derive from it); a class whose every event is named above
// (no input fires any) needs no entry.
struct TOutside {
  std::string Class;
  const char* Why;
  std::vector<std::string> Concrete = {};
};

constexpr const char* kBase = "a base no one makes as it is: its concrete classes carry its events into the table";
constexpr const char* kActionLink =
    "a client's link to its action: the action's change and run reach the client through it, and the client "
    "binds its events (the action's rows)";
constexpr const char* kMessageBox =
    "a message box the library builds, shows modal and frees: a form of buttons that end it by their modal "
    "results, with no input path of its own beside TForm's and TButton's (their rows)";
constexpr const char* kInplaceEditor =
    "the tree list's in-place editor, made, bound and freed by the tree list: its input is the tree list's and "
    "its columns' (their rows)";
constexpr const char* kDropDownList =
    "an editor's drop-down list, made, bound and freed by its editor: its input is the editor's (the editor's "
    "rows, a click on a line among them)";
constexpr const char* kHint = "a hint window, made, shown and hidden by its owner as the pointer rests: no user binds "
                              "its events, and it is gone at the next input";

const TOutside kOutside[] = {
    {"TControl", kBase, {"TLabel", "TEdit"}},
    {"TWinControl", kBase, {"TEdit", "TRadioButton"}},
    {"TGraphicControl", kBase, {"TLabel", "TImage", "TBevel", "TSpeedButton"}},
    {"TCustomControl", kBase, {"TPanel", "TStringGrid", "TCustomXPEdit"}},
    {"TScrollingWinControl", kBase, {"TForm"}},
    {"TCustomForm", kBase, {"TForm"}},
    {"TCustomFrame", kBase, {"TFrame"}},
    {"TButtonControl", kBase, {"TButton", "TCheckBox"}},
    {"TCustomEdit", kBase, {"TEdit", "TRichEdit"}},
    {"TCustomRichEdit", kBase, {"TRichEdit"}},
    {"TCustomComboBox", kBase, {"TComboBox"}},
    {"TCustomListBox", kBase, {"TListBox"}},
    {"TCustomPanel", kBase, {"TPanel"}},
    {"TCustomGroupBox", kBase, {"TGroupBox"}},
    {"TCustomLabel", kBase, {"TLabel"}},
    {"TBasicAction", kBase, {"TAction"}},
    {"TContainedAction", kBase, {"TAction"}},
    {"TCustomAction", kBase, {"TAction"}},
    {"TKsBufferedControl", kBase, {"TKsCustomButton", "TKsCustomScrollBar"}},
    {"TGraphicsObject", kBase, {"TFont"}},
    {"TKsCustomControl", kBase, {"TKsCustomButton", "TKsCustomGroupBox", "TKsCustomTabControl"}},
    {"TKsGraphicControl", kBase, {"TKsCustomScrollBar", "TKsSpeedDivider"}},
    {"TKsCustomMarkControl", kBase, {"TKsCustomCheckBox", "TKsCustomRadioButton"}},
    {"TdxInplaceEdit", kBase, {"TdxInplaceTextEdit", "TdxInplaceCheckEdit", "TdxInplaceGraphicEdit"}},
    {"TdxInplaceDropDownEdit", kBase, {"TdxInplacePickEdit", "TdxInplaceDateEdit", "TdxInplaceBlobEdit"}},
    {"TdxInplacePopupControl", kBase, {"TCustomdxCalculator", "TdxGridDatePopup"}},
    {"TCustomdxCalendar", kBase, {"TdxGridDatePopup"}},
    {"TCustomdxContainer", kBase, {"TCustomdxTreeList"}},
    {"TdxTreeListDropDownColumn", kBase, {"TdxTreeListPickColumn", "TdxTreeListButtonColumn"}},
    {"TBasicActionLink", kActionLink},
    {"TActionLink", kActionLink},
    {"TControlActionLink", kActionLink},
    {"TKsCustomItemActionLink", kActionLink},
    {"TApplication", "the application object lives as long as the module that made it: no handler may free it"},
    {"TMessageForm", kMessageBox},
    {"TEDAClientMessageForm", kMessageBox},
    {"THintWindow", kHint},
    {"TdxContainerHintWindow", kHint},
    {"TCustomDockForm",
     "the floating form a dock drag dropped in the open makes for its control, and frees as the control leaves: no "
     "user binds its events (the docked control's rows cover the dock)"},
    {"TKsClickHandler",
     "the skin's hidden window that runs a menu item's click after the menu's loop: no input reaches it (the "
     "items' rows run through it)"},
    {"TKsPopupWindow",
     "a skinned menu's popup window, made and freed by its menu's loop: its input is its items' (their rows)"},
    {"TTeThemePopupWindow",
     "a themed menu's popup window, made and freed by its menu's loop: its input is its items' (their rows)"},
    {"TAMonthListBox",
     "the calendar's month list, made, shown and freed by the calendar while its caption is held: its input is "
     "the calendar's"},
    {"TCustomdxPopupListBox", kDropDownList},
    {"TCustomdxPopupPickListBox", kDropDownList},
    {"TdxPopupPickListBox", kDropDownList},
    {"TdxPopupImageListBox", kDropDownList},
    {"TdxPopupCalculator",
     "the calculator editor's popup, made, bound and freed by its editor: its input is the editor's (its rows); "
     "the calculator's own events are the stand-alone calculator's rows"},
    {"TCustomdxBlobPopup",
     "the blob editor's popup, made, bound (its change, accept and resize) and freed by its editor: its input is "
     "the editor's (its rows: the drop-down, the memo's change, the popup's size)"},
    {"TdxPopupToolBar",
     "the graphic editor's tool bar, made, bound (its button click) and freed by its editor: its input is the "
     "editor's (its rows: the custom button's click)"},
    {"TdxInplaceTreeListTextEdit", kInplaceEditor},
    {"TdxInplaceTreeListMaskEdit", kInplaceEditor},
    {"TKsTabStringList", "a tab control's captions, changed as code adds, removes or renames its tabs and pages"},
    {"TRecentExpressionList", "a server module's list, changed by the host's calls: no control's input reaches it"},
};

// Fault: the table missed the column-bound control's header and band events, kept by
// hand beside the classes: a published event with no row went unnoticed.
TEST(FreedSenderTableEvents, EveryEventAClassOfTheTablePublishesHasARowOrIsNamedWithWhyNoInputFiresIt) {
  const TPublishedEvents published(KIVO_SOURCE_DIR);
  ASSERT_TRUE(published.Ok()) << "no header of the libraries under " << KIVO_SOURCE_DIR;
  // The reading finds each way an event is declared: a member of an event type, of a
  // TEvent<...> written out, kept behind a setter, and inherited through a template base.
  auto publishes = [&published](const std::string& cls, const std::string& event) {
    const std::vector<std::string> all = published.Events(cls);
    return std::find(all.begin(), all.end(), event) != all.end();
  };
  EXPECT_TRUE(publishes("TCustomdxTreeListControl", "OnHeaderMoved"));
  EXPECT_TRUE(publishes("TCustomdxTreeListControl", "OnCanEditColumn"));
  EXPECT_TRUE(publishes("TTimer", "OnTimer"));
  EXPECT_TRUE(publishes("TTeThemeGroupButton", "OnMouseEnter"));
  EXPECT_TRUE(publishes("TTeThemeGroupButton", "OnKeyDown"));
  std::map<std::string, std::set<std::string>> rowEvents;
  for (const TSenderRow& row : AllRows())
    rowEvents[row.Control].insert(row.Event);
  std::vector<std::string> missing, strays;
  for (const auto& [control, events] : rowEvents) {
    if (!published.Declares(control)) {
      strays.push_back(control + " is declared in no header of the libraries");
      continue;
    }
    const std::vector<std::string> ancestry = published.Ancestry(control);
    const std::vector<std::string> all = published.Events(control);
    for (const std::string& event : events)
      if (std::find(all.begin(), all.end(), event) == all.end())
        strays.push_back(control + " does not publish " + event);
    for (const std::string& event : all) {
      const bool named = std::any_of(std::begin(kUnfired), std::end(kUnfired), [&](const TUnfired& unfired) {
        return unfired.Event == event && std::find(ancestry.begin(), ancestry.end(), unfired.Control) != ancestry.end();
      });
      if (!events.count(event) && !named)
        missing.push_back(control + " " + event);
    }
  }
  for (const TUnfired& unfired : kUnfired) {
    const std::vector<std::string> all = published.Events(unfired.Control);
    if (std::find(all.begin(), all.end(), unfired.Event) == all.end())
      strays.push_back(std::string("named unfired, but not published: ") + unfired.Control + " " + unfired.Event);
  }
  auto lines = [](const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items)
      text += "\n  " + item;
    return text;
  };
  EXPECT_TRUE(missing.empty()) << missing.size() << " published events with neither a row nor a reason:" << lines(missing);
  EXPECT_TRUE(strays.empty()) << lines(strays);
}

// Fault: the table's classes were kept by hand: classes beside the controls (the tree
// list's columns, the menus, actions, hooks and pages) published events and had no rows.
TEST(FreedSenderTableEvents, EveryClassThatPublishesEventsIsInTheTableOrNamedWithWhyNot) {
  const TPublishedEvents published(KIVO_SOURCE_DIR);
  ASSERT_TRUE(published.Ok()) << "no header of the libraries under " << KIVO_SOURCE_DIR;
  std::set<std::string> tabled;
  for (const TSenderRow& row : AllRows())
    tabled.insert(row.Control);
  auto outside = [](const std::string& cls) {
    return std::find_if(std::begin(kOutside), std::end(kOutside), [&](const TOutside& o) { return o.Class == cls; });
  };
  auto unfired = [&published](const std::string& cls, const std::string& event) {
    const std::vector<std::string> ancestry = published.Ancestry(cls);
    return std::any_of(std::begin(kUnfired), std::end(kUnfired), [&](const TUnfired& u) {
      return u.Event == event && std::find(ancestry.begin(), ancestry.end(), u.Control) != ancestry.end();
    });
  };
  std::vector<std::string> missing, strays;
  for (const std::string& cls : published.Classes()) {
    const std::vector<std::string> events = published.Events(cls);
    if (events.empty() || tabled.count(cls) || outside(cls) != std::end(kOutside))
      continue;
    if (std::all_of(events.begin(), events.end(), [&](const std::string& e) { return unfired(cls, e); }))
      continue;
    missing.push_back(cls);
  }
  for (const TOutside& o : kOutside) {
    if (published.Events(o.Class).empty())
      strays.push_back(o.Class + " is named outside the table but publishes no events");
    if (tabled.count(o.Class))
      strays.push_back(o.Class + " is named outside the table but has rows");
    for (const std::string& concrete : o.Concrete) {
      const std::vector<std::string> ancestry = published.Ancestry(concrete);
      if (!tabled.count(concrete) || std::find(ancestry.begin(), ancestry.end(), o.Class) == ancestry.end())
        strays.push_back(o.Class + ": " + concrete + " is no class of the table derived from it");
    }
  }
  auto lines = [](const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items)
      text += "\n  " + item;
    return text;
  };
  EXPECT_TRUE(missing.empty()) << missing.size() << " classes publish events with neither rows nor a reason:"
                               << lines(missing);
  EXPECT_TRUE(strays.empty()) << lines(strays);
}

}  // namespace
