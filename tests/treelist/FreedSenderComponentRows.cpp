// The table of freed senders (FreedSenderTableTest.cpp): the rows of the classes beside
// the controls the other rows make: the pages and frames controls sit on, the themed
// controls and items of the skin, the class library's menus and actions, the skin's
// window hooks, the UI automation and the dialogs' forms.
#include <string>
#include <vector>

#include "classlib/Actions.h"
#include "classlib/Automation.h"
#include "classlib/Buttons.h"
#include "classlib/ComCtrls.h"
#include "classlib/Frames.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "host/FormWithHelp.h"
#include "host/ServerDialog.h"
#include "skin/KsButtons.h"
#include "skin/KsCheckBoxes.h"
#include "skin/KsGroupBox.h"
#include "skin/KsHooks.h"
#include "skin/KsItems.h"
#include "skin/KsMenus.h"
#include "skin/KsTabs.h"
#include "skin/KsThemeItems.h"
#include "tests/skin/MenuTestSupport.h"
#include "tests/treelist/FreedSenderTable.h"

namespace senders {

namespace {

constexpr const char* kContainerNoFocus = "a container is no tab stop, and a click on it leaves the focus";

// ---- Pages and frames: containers a click, a drag or a dock reaches.

TKsCustomTabControl* MakeSkinPages(TSenderBench& b) {
  auto* tabs = b.Make<TKsCustomTabControl>(TRect{80, 4, 280, 104});
  tabs->SetUsePages(true);
  tabs->GetTabs()->SetText("One\nTwo\nThree");
  tabs->SetActivePageIndex(0);
  PumpPending();
  return tabs;
}

TPageControl* MakePages(TSenderBench& b) {
  auto* pages = b.Make<TPageControl>(TRect{80, 4, 280, 104});
  for (const char* caption : {"One", "Two"}) {
    auto* sheet = new TTabSheet(b.Form);
    sheet->SetCaption(caption);
    sheet->SetPageControl(pages);
  }
  PumpPending();
  return pages;
}

void AddPageRows(std::vector<TSenderRow>& rows) {
  AddWindowedRows(rows, "TKsCustomTabSheet", [](TSenderBench& b) { return MakeSkinPages(b)->GetActivePage(); });
  // The page shown hides and the next shows as another tab is chosen.
  // Fault: the tab control brought to the front a page its OnShow had freed.
  for (bool show : {false, true}) {
    auto bind = [show](TSenderBench& b, TKsCustomTabControl* t) {
      TKsCustomTabSheet* sheet = t->GetPage(show ? 1 : 0);
      show ? b.FreeOn(sheet->OnShow, sheet) : b.FreeOn(sheet->OnHide, sheet);
    };
    rows.push_back({"TKsCustomTabSheet", show ? "OnShow" : "OnHide", "a click on another tab", [bind](TSenderBench& b) {
                      TKsCustomTabControl* t = MakeSkinPages(b);
                      const TRect tab = t->TabRect(1);
                      bind(b, t);
                      b.Click(t, (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
                    }});
    rows.push_back({"TKsCustomTabSheet", show ? "OnShow" : "OnHide", "Right on its tab control", [bind](TSenderBench& b) {
                      TKsCustomTabControl* t = MakeSkinPages(b);
                      t->SetFocus();
                      bind(b, t);
                      b.Key(VK_RIGHT);
                    }});
  }
  AddWindowedRows(rows, "TTabSheet", [](TSenderBench& b) { return MakePages(b)->GetActivePage(); });
  AddWindowedRows(rows, "TFrame", [](TSenderBench& b) { return b.Make<TFrame>(); });
}

// ---- The themed controls and items of the skin (without a theme engine they draw as
// their bases; their input is their own).

void AddThemedRows(std::vector<TSenderRow>& rows) {
  const TRect buttonBounds{80, 4, 155, 29}, markBounds{80, 4, 180, 24};
  const auto button = Captioned<TTeThemeButton>(buttonBounds, "&Go");
  const auto check = Captioned<TTeThemeCheckBox>(markBounds, "&Check");
  const auto radio = Captioned<TTeThemeRadioButton>(markBounds, "&Radio");
  const auto group = [](TSenderBench& b) { return b.Make<TTeThemeGroupBox>(); };
  AddButtonRows(rows, "TTeThemeButton", button, TCaptionReach{'g', true, false, true},
                [](TWinControl* c) { static_cast<TTeThemeButton*>(c)->SetDefault(true); });
  AddButtonRows(rows, "TTeThemeCheckBox", check, TCaptionReach{'c'});
  AddButtonRows(rows, "TTeThemeRadioButton", radio, TCaptionReach{'r', false});
  AddWindowedRows(rows, "TTeThemeGroupBox", group);
  AddHoverRows(rows, "TTeThemeButton", button);
  AddHoverRows(rows, "TTeThemeCheckBox", check);
  AddHoverRows(rows, "TTeThemeRadioButton", radio);
  AddHoverRows(rows, "TTeThemeGroupBox", group);

  // A themed item in a skinned pop-up menu (its popup window is the themed one), chosen
  // by Enter or by a click on its line, the handler freeing the item or the whole menu.
  for (bool whole : {false, true}) {
    for (bool byClick : {false, true}) {
      std::string input = byClick ? "a click on its line" : "Enter";
      input += whole ? ", the handler freeing the whole menu" : "";
      rows.push_back({"TTeThemeItem", "OnClick", input, [whole, byClick](TSenderBench& b) {
                        auto* menu = new TKsCustomPopupMenu(b.Form);
                        auto* item = new TTeThemeItem(menu);
                        item->SetCaption("Open");
                        menu->GetItems()->Add(item);
                        b.FreeOn(item->OnClick, whole ? static_cast<TObject*>(menu) : item);
                        TMenuScript script({[byClick, item] { ClickOrEnter(item, byClick); }});
                        script.Start();
                        menu->Popup(650, 450);
                        PumpPending();
                      }});
    }
  }
}

// ---- The class library's pop-up menu: the system's menu loop tracks it, and the item
// chosen clicks once the menu has closed.

// A pop-up menu of the lines Open, Save and, with a sub-menu, More (Print) on the form.
struct TLibraryMenu {
  TPopupMenu* Menu;
  TMenuItem* Open;
  TMenuItem* Print;
};

TLibraryMenu MakeLibraryMenu(TSenderBench& b) {
  auto* menu = new TPopupMenu(b.Form);
  auto item = [menu](TMenuItem* parent, const char* caption) {
    auto* item = new TMenuItem(menu);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
  };
  TMenuItem* open = item(menu->GetItems(), "&Open");
  item(menu->GetItems(), "&Save");
  TMenuItem* print = item(item(menu->GetItems(), "&More"), "&Print");
  return {menu, open, print};
}

// The screen rectangle of line `index` of the open system menu, empty while none is open.
TRect OpenMenuLine(int index) {
  HWND wnd = FindWindowA("#32768", nullptr);
  if (!wnd || !IsWindowVisible(wnd))
    return TRect{};
  auto menu = reinterpret_cast<HMENU>(SendMessageA(wnd, MN_GETHMENU, 0, 0));
  RECT line{};
  if (!menu || !GetMenuItemRect(nullptr, menu, UINT(index), &line))
    return TRect{};
  return TRect{line.left, line.top, line.right, line.bottom};
}

// A press and release of the left button by the real mouse at a screen point.
void RealClick(const TPoint& at) {
  SettlePointerAt(at.x, at.y);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
}

void AddLibraryMenuRows(std::vector<TSenderRow>& rows) {
  rows.push_back({"TPopupMenu", "OnPopup", "its pop-up", [](TSenderBench& b) {
                    TLibraryMenu m = MakeLibraryMenu(b);
                    b.FreeOn(m.Menu->OnPopup, m.Menu);
                    m.Menu->Popup(650, 450);
                  }});
  // The keys wait in the queue for the menu's loop, which takes them as the keyboard's.
  auto keys = [](std::initializer_list<WPARAM> list) {
    return [list = std::vector<WPARAM>(list)](TSenderBench& b) {
      for (WPARAM key : list)
        PostMessageA(b.Form->GetHandle(), key < 0x100 && std::isalpha(int(key)) ? WM_CHAR : WM_KEYDOWN,
                     key < 0x100 && std::isalpha(int(key)) ? std::tolower(int(key)) : key, 1);
    };
  };
  struct TWay {
    std::string Input;
    bool Sub;
    std::function<void(TSenderBench&)> Choose;
  };
  const TWay ways[] = {
      {"its accelerator in the open menu", false, keys({'O'})},
      {"Down and Enter in the open menu", false, keys({VK_DOWN, VK_RETURN})},
      {"Enter on a line of a sub-menu", true, keys({VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN})},
      {"a click on its line", false, [](TSenderBench&) {}},
  };
  for (const TWay& way : ways) {
    for (bool whole : {false, true}) {
      const std::string input = way.Input + (whole ? ", the handler freeing the whole menu" : "");
      rows.push_back({"TMenuItem", "OnClick", input, [way, whole](TSenderBench& b) {
                        TLibraryMenu m = MakeLibraryMenu(b);
                        TMenuItem* item = way.Sub ? m.Print : m.Open;
                        b.FreeOn(item->OnClick, whole ? static_cast<TObject*>(m.Menu) : item);
                        // A click: the real mouse on the line once the menu shows it (the
                        // script's window is made before the keys wait in the queue).
                        const bool byClick = way.Input == "a click on its line";
                        TMenuScript script({[byClick] {
                          if (!byClick)
                            return;
                          TRect line;
                          PumpUntil([&line] { return !IsRectEmpty(&(line = OpenMenuLine(0))); });
                          RealClick(Middle(line));
                        }});
                        way.Choose(b);
                        script.Start();
                        m.Menu->Popup(650, 450);
                      }});
    }
  }
}

// ---- Actions: run by the controls and items linked to them, brought up to date before
// they run and while the application is idle.

TAction* MakeAction(TSenderBench& b) {
  auto* action = new TAction(b.Form);
  action->SetCaption("&Go");
  return action;
}

TButton* LinkedButton(TSenderBench& b, TAction* action) {
  auto* button = b.Make<TButton>(TRect{80, 4, 155, 29});
  button->SetAction(action);
  PumpPending();
  return button;
}

// Fault: an action's run went on to ask the action it ran after its OnUpdate had freed it.
void AddActionRows(std::vector<TSenderRow>& rows) {
  for (const bool update : {false, true}) {
    const char* event = update ? "OnUpdate" : "OnExecute";
    auto bind = [update](TSenderBench& b, TAction* a) {
      if (update)
        b.FreeOn(a->OnUpdate, a);
      else
        b.FreeOn(a->OnExecute, a);
    };
    rows.push_back({"TAction", event, "a click on a button linked to it", [bind](TSenderBench& b) {
                      TAction* action = MakeAction(b);
                      TButton* button = LinkedButton(b, action);
                      bind(b, action);
                      b.Click(button);
                    }});
    rows.push_back({"TAction", event, "Space on a button linked to it", [bind](TSenderBench& b) {
                      TAction* action = MakeAction(b);
                      TButton* button = LinkedButton(b, action);
                      button->SetFocus();
                      bind(b, action);
                      b.Key(VK_SPACE);
                    }});
    rows.push_back({"TAction", event, "Enter on a skinned menu's item linked to it", [bind](TSenderBench& b) {
                      TAction* action = MakeAction(b);
                      auto* menu = new TKsCustomPopupMenu(b.Form);
                      auto* item = new TKsCustomItem(menu);
                      item->SetAction(action);
                      menu->GetItems()->Add(item);
                      bind(b, action);
                      TMenuScript script({[] { PostKey(VK_RETURN); }});
                      script.Start();
                      menu->Popup(650, 450);
                      PumpPending();
                    }});
  }
  // The application's idle step after an input brings the actions of the shown forms
  // up to date: a timer's tick keeps the loop from waiting for input that never comes.
  rows.push_back({"TAction", "OnUpdate", "the application's idle step after a click", [](TSenderBench& b) {
                    TAction* action = MakeAction(b);
                    LinkedButton(b, action);
                    b.FreeOn(action->OnUpdate, action);
                    b.Click(b.Neighbour);
                    const UINT_PTR timer = SetTimer(b.Form->GetHandle(), 77, 10, nullptr);
                    const DWORD start = GetTickCount();
                    while (b.Fired == 0 && GetTickCount() - start < 5000)
                      Application->HandleMessage();
                    KillTimer(b.Form->GetHandle(), timer);
                  }});
}

// ---- The skin's window hooks: each message of the hooked window passes them, before and
// after the window's own procedure.

void AddHookRows(std::vector<TSenderRow>& rows) {
  for (bool after : {false, true}) {
    auto bind = [after](TSenderBench& b, TKsHook* hook) {
      if (after)
        b.FreeOn(hook->OnAfterMessage, hook);
      else
        b.FreeOn(hook->OnBeforeMessage, hook);
    };
    auto hooked = [bind](auto fire) {
      return [bind, fire](TSenderBench& b) {
        auto* hook = new TKsHook(b.Form);
        hook->SetControl(b.Neighbour);
        PumpPending();
        bind(b, hook);
        fire(b);
      };
    };
    const char* event = after ? "OnAfterMessage" : "OnBeforeMessage";
    rows.push_back({"TKsHook", event, "a click on the hooked control",
                    hooked([](TSenderBench& b) { b.Click(b.Neighbour); })});
    rows.push_back({"TKsHook", event, "a letter key on the hooked control", hooked([](TSenderBench& b) {
                      b.Neighbour->SetFocus();
                      b.Key('A');
                    })});
  }
}

// ---- The UI automation: its timer looks for the window of each step and gives up at the
// step's deadline.

// Fault: the automation's step cleared its flag on the automation its OnFailure had freed.
void AddAutomationRows(std::vector<TSenderRow>& rows) {
  rows.push_back({"TUIAutomation", "OnFailure", "its timer at the deadline of a window that never comes",
                  [](TSenderBench& b) {
                    auto* automation = new TUIAutomation(/*deadlineMs=*/0);
                    b.FreeOn(automation->OnFailure, automation);
                    automation->ClickButton("No such window", "OK");
                    if (!PumpUntil([&b] { return b.Fired > 0; }))
                      delete automation;
                  }});
  rows.push_back({"TUIAutomation", "OnFailure", "its timer on a window without the button", [](TSenderBench& b) {
                    b.Form->SetCaption("Freed senders");
                    auto* automation = new TUIAutomation(/*deadlineMs=*/5000);
                    b.FreeOn(automation->OnFailure, automation);
                    automation->ClickButton("Freed senders", "No such button");
                    if (!PumpUntil([&b] { return b.Fired > 0; }))
                      delete automation;
                  }});
}

// ---- The dialogs' forms: a form with context help, and the base of the plug-in's
// dialogs, placed in the middle of the active window's monitor as they show.

constexpr const char* kFormNotEntered = "a form is not entered or left: its controls are (OnActivate tells of it)";

// A dialog of class F; with `buttons`, an OK button and a Cancel button that end it modal.
template <class F>
F* MakeDialog(TComponent* owner, bool buttons = true) {
  auto* form = new F(owner);
  form->SetBounds(620, 220, 200, 120);
  if constexpr (std::is_base_of_v<TServerDialog, F>)
    form->SetPosition(poScreenCenter);  // as the importer's dialogs are
  if (!buttons)
    return form;
  AddOkCancel(form);
  return form;
}

template <class F>
void AddDialogRows(std::vector<TSenderRow>& rows, const std::string& control) {
  // Without controls of its own, the form itself takes the focus and the keys.
  auto shown = [](TSenderBench& b) {
    F* form = MakeDialog<F>(b.Form, /*buttons=*/false);
    form->Show();
    PumpPending();
    return form;
  };
  AddWindowedRows(rows, control, shown);
  rows.push_back({control, "OnShortCut", "a letter key", [shown](TSenderBench& b) {
                    F* form = shown(b);
                    form->SetFocus();
                    b.FreeOn(form->OnShortCut, form);
                    b.Key('A');
                  }});
  // Fault: the plug-in's dialog gave its position back to itself after its OnShow had
  // freed it.
  for (bool modal : {false, true}) {
    rows.push_back({control, "OnShow", modal ? "its ShowModal" : "its Show", [modal](TSenderBench& b) {
                      F* form = MakeDialog<F>(b.Form);
                      b.FreeOn(form->OnShow, form);
                      if (modal)
                        form->ShowModal();
                      else
                        form->Show();
                    }});
  }
  rows.push_back({control, "OnHide", "the close box", [shown](TSenderBench& b) {
                    F* form = shown(b);
                    b.FreeOn(form->OnHide, form);
                    PostMessageA(form->GetHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
                    Application->ProcessMessages();
                  }});
  for (bool query : {true, false}) {
    auto bind = [query](TSenderBench& b, F* form) {
      if (query)
        b.FreeOn(form->OnCloseQuery, form);
      else
        b.FreeOn(form->OnClose, form);
    };
    const char* event = query ? "OnCloseQuery" : "OnClose";
    rows.push_back({control, event, "the close box, shown modal", [bind](TSenderBench& b) {
                      F* form = MakeDialog<F>(nullptr);
                      bind(b, form);
                      form->HandleNeeded();
                      PostMessageA(form->GetHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
                      form->ShowModal();
                    }});
    rows.push_back({control, event, "Escape, shown modal", [bind](TSenderBench& b) {
                      F* form = MakeDialog<F>(nullptr);
                      bind(b, form);
                      form->HandleNeeded();
                      PostMessageA(form->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
                      form->ShowModal();
                    }});
  }
  for (bool activate : {true, false}) {
    rows.push_back({control, activate ? "OnActivate" : "OnDeactivate",
                    activate ? "a click on one of its controls" : "a click on another form's control",
                    [activate](TSenderBench& b) {
                      F* form = MakeDialog<F>(nullptr);
                      form->Show();
                      PumpPending();
                      auto* button = static_cast<TButton*>(form->GetControl(0));
                      FreeFormByActivation(b, form, button, activate);
                    }});
  }
}

}  // namespace

void AddComponentRows(std::vector<TSenderRow>& rows) {
  AddPageRows(rows);
  AddThemedRows(rows);
  AddLibraryMenuRows(rows);
  AddActionRows(rows);
  AddHookRows(rows);
  AddAutomationRows(rows);
  AddDialogRows<TFormWithHelp>(rows, "TFormWithHelp");
  AddDialogRows<TServerDialog>(rows, "TServerDialog");
}

std::vector<TSilence> ComponentSilences() {
  std::vector<TSilence> silences;
  for (const char* container : {"TKsCustomTabSheet", "TTabSheet", "TFrame", "TTeThemeGroupBox"}) {
    silences.push_back({container, "OnEnter", "Tab", kContainerNoFocus});
    silences.push_back({container, "OnEnter", "a click on it", kContainerNoFocus});
  }
  for (const char* form : {"TFormWithHelp", "TServerDialog"}) {
    silences.push_back({form, "OnEnter", "Tab", kFormNotEntered});
    silences.push_back({form, "OnEnter", "a click on it", kFormNotEntered});
    silences.push_back({form, "OnExit", "Tab", kFormNotEntered});
    silences.push_back({form, "OnExit", "a click on another control", kFormNotEntered});
  }
  silences.push_back({"TTeThemeButton", "OnDblClick", "a double click",
                      "the skinned button clicks from its own press and release: no click events from the mouse"});
  silences.push_back({"TTeThemeCheckBox", "OnDblClick", "a double click",
                      "the skinned mark toggles by its own press and release"});
  silences.push_back({"TTeThemeRadioButton", "OnDblClick", "a double click",
                      "the skinned mark checks by its own press and release"});
  silences.push_back({"TTeThemeGroupBox", "OnClick", "a click", "no click events from the mouse"});
  silences.push_back({"TTeThemeGroupBox", "OnDblClick", "a double click", "no click events from the mouse"});
  return silences;
}

}  // namespace senders
