// The bench and the row makers of the table of freed senders (FreedSenderTableTest.cpp),
// shared with the rows kept in files of their own: the form a row works on, the handler
// that frees its sender, the inputs posted through the application's loop, and the rows
// every control class has (focus, keys, mouse, drags, docks, the pointer's hover).
#pragma once

#include <algorithm>
#include <cctype>
#include <functional>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "classlib/AliveGuard.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "editors/DxInplaceDropDownEdit.h"
#include "editors/DxInplaceEdit.h"
#include "skin/KsForms.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/treelist/TreeListControlTestSupport.h"
#include "treelist/DxTreeListControl.h"
#include "treelist/DxTreeListLayout.h"

namespace senders {

// What a raising handler raises once it has freed its sender.
constexpr const char* kRaised = "the handler failed after freeing its sender";

inline TPoint Middle(const TRect& r) { return Point((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

// What a row works with: a shown, active form with a plain edit for focus moves to
// start from or go to, the freeing handler and the inputs.
class TSenderBench {
 public:
  explicit TSenderBench(TForm* form) : Form(form) {
    Neighbour = new TTestEdit(form);
    Neighbour->SetParent(form);
    Neighbour->SetBounds(4, 4, 60, 21);
  }

  // `control` made on the form at `bounds`, after the neighbour in the tab order.
  template <class T>
  T* Place(T* control, const TRect& bounds) {
    control->SetParent(Form);
    control->SetBoundsRect(bounds);
    if constexpr (std::is_base_of_v<TWinControl, T>)
      control->HandleNeeded();
    PumpPending();
    return control;
  }
  template <class T>
  T* Make(const TRect& bounds = TRect{80, 4, 230, 104}) {
    return Place(new T(Form), bounds);
  }

  // Binds `event` to the handler that frees `target` (the event's sender unless given)
  // the first time it fires and counts every firing.
  template <class Sender, class... Rest>
  void FreeOn(TEvent<Sender, Rest...>& event, TObject* target) {
    Target = target;
    event = TEvent<Sender, Rest...>::FromFunction(&Freeing<Sender, Rest...>, this);
  }

  // ---- Inputs, posted and then handled by the application's loop.
  // A key pressed and released at the focus window; the loop makes its character. With
  // Alt held it is a system key, as the keyboard sends it.
  void Key(WORD vk, std::initializer_list<int> held = {}) {
    const TKeysHeld keys(held);
    const bool alt = std::find(held.begin(), held.end(), VK_MENU) != held.end();
    HWND focus = GetFocus();
    PostMessageA(focus, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, alt ? LPARAM(0x20000001) : 1);
    PostMessageA(focus, alt ? WM_SYSKEYUP : WM_KEYUP, vk, alt ? LPARAM(0xE0000001) : LPARAM(0xC0000001));
    Application->ProcessMessages();
  }
  // The key that types `c`, with Shift held where the character needs it.
  void Type(char c) {
    const SHORT scan = VkKeyScanA(c);
    if (scan & 0x100)
      Key(WORD(LOBYTE(scan)), {VK_SHIFT});
    else
      Key(WORD(LOBYTE(scan)));
  }
  void Tab() { Key(VK_TAB); }
  // Alt+letter: the system key goes down with Alt held; the loop makes WM_SYSCHAR.
  void AltKey(char letter) { Key(WORD(std::toupper(uint8_t(letter))), {VK_MENU}); }
  // The window a mouse message at the client point (x, y) of `control` goes to, and
  // the point in that window's client coordinates.
  static std::pair<HWND, LPARAM> MouseTarget(TControl* control, int x, int y) {
    if (auto* windowed = ObjectAs<TWinControl>(control))
      return {windowed->GetHandle(), MAKELPARAM(WORD(short(x)), WORD(short(y)))};
    return MouseTarget(control->GetParent(), control->GetLeft() + x, control->GetTop() + y);
  }
  void Mouse(TControl* control, UINT msg, int x, int y, WPARAM keys = 0) {
    const auto [wnd, point] = MouseTarget(control, x, y);
    PostMessageA(wnd, msg, keys, point);
    Application->ProcessMessages();
  }
  // A click on the non-client part of `control` at the screen point `at` (an editor's
  // button): the pointer goes there, the press comes as the system sends it, the release
  // to the window that took the mouse.
  void NcClick(TWinControl* control, const TPoint& at, bool twice = false) {
    HWND wnd = control->GetHandle();
    SettlePointerAt(at.x, at.y);
    PumpPending();
    const LPARAM screen = MAKELPARAM(WORD(short(at.x)), WORD(short(at.y)));
    POINT client{at.x, at.y};
    ScreenToClient(wnd, &client);
    const LPARAM inside = MAKELPARAM(WORD(short(client.x)), WORD(short(client.y)));
    auto release = [&] {
      if (HWND capture = GetCapture())
        PostMessageA(capture, WM_LBUTTONUP, 0, inside);
      else
        PostMessageA(wnd, WM_NCLBUTTONUP, HTBORDER, screen);
      Application->ProcessMessages();
    };
    PostMessageA(wnd, WM_NCLBUTTONDOWN, HTBORDER, screen);
    Application->ProcessMessages();
    release();
    if (!twice || !IsWindow(wnd))
      return;
    PostMessageA(wnd, WM_NCLBUTTONDBLCLK, HTBORDER, screen);
    Application->ProcessMessages();
    release();
  }
  void NcDoubleClick(TWinControl* control, const TPoint& at) { NcClick(control, at, true); }
  void Move(TControl* control, int x, int y, WPARAM keys = 0) { Mouse(control, WM_MOUSEMOVE, x, y, keys); }
  void Click(TControl* control, int x, int y, WPARAM keys = 0) {
    const auto [wnd, point] = MouseTarget(control, x, y);
    PostMessageA(wnd, WM_MOUSEMOVE, keys, point);
    PostMessageA(wnd, WM_LBUTTONDOWN, keys | MK_LBUTTON, point);
    PostMessageA(wnd, WM_LBUTTONUP, keys, point);
    Application->ProcessMessages();
  }
  void Click(TControl* control) { Click(control, control->GetWidth() / 2, control->GetHeight() / 2); }
  void DoubleClick(TControl* control, int x, int y) {
    const auto [wnd, point] = MouseTarget(control, x, y);
    PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(wnd, WM_LBUTTONUP, 0, point);
    PostMessageA(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    PostMessageA(wnd, WM_LBUTTONUP, 0, point);
    Application->ProcessMessages();
  }
  void DoubleClick(TControl* control) { DoubleClick(control, control->GetWidth() / 2, control->GetHeight() / 2); }
  // A drag by the left button over the client points of `control`: a press at the first,
  // a move to each further one, then the release at the last (or, with `escape`,
  // Escape instead of the release). Each step is handled before the next; a handler
  // may free the control on the way, so every target is found first.
  void Drag(TControl* control, std::initializer_list<TPoint> points, bool escape = false) {
    std::vector<std::pair<HWND, LPARAM>> targets;
    for (const TPoint& p : points)
      targets.push_back(MouseTarget(control, p.x, p.y));
    for (size_t i = 0; i < targets.size(); ++i) {
      PostMessageA(targets[i].first, i == 0 ? WM_LBUTTONDOWN : WM_MOUSEMOVE, MK_LBUTTON, targets[i].second);
      Application->ProcessMessages();
    }
    if (escape)
      Key(VK_ESCAPE);
    else
      PostMessageA(targets.back().first, WM_LBUTTONUP, 0, targets.back().second);
    Application->ProcessMessages();
  }
  // A drag of `source` by the left button from its client point `from`: the press on
  // it, then each screen point a move to the window holding the mouse (the drag's own
  // once the drag runs), and the release at the last one. A handler may end the drag
  // or free the control on the way: the steps go to whichever window holds the mouse.
  void DragFrom(TControl* source, const TPoint& from, std::initializer_list<TPoint> screenPoints) {
    Mouse(source, WM_LBUTTONDOWN, from.x, from.y, MK_LBUTTON);
    auto post = [](UINT msg, const TPoint& screen, WPARAM keys) {
      HWND wnd = GetCapture();
      if (!wnd)
        return false;
      POINT p{screen.x, screen.y};
      ScreenToClient(wnd, &p);
      PostMessageA(wnd, msg, keys, MAKELPARAM(WORD(short(p.x)), WORD(short(p.y))));
      Application->ProcessMessages();
      return true;
    };
    for (const TPoint& p : screenPoints)
      if (!post(WM_MOUSEMOVE, p, MK_LBUTTON))
        return;
    post(WM_LBUTTONUP, *(screenPoints.end() - 1), 0);
  }
  // The screen point of the middle of `control`.
  static TPoint ScreenMiddle(TControl* control) {
    return control->ClientToScreen(Point(control->GetWidth() / 2, control->GetHeight() / 2));
  }

  // Wheel notches away from the user (negative: toward), at the focus window, with the
  // pointer over `control`.
  void Wheel(TControl* control, int notches) {
    const TPoint over = control->ClientToScreen(Point(control->GetWidth() / 2, control->GetHeight() / 2));
    PostMessageA(GetFocus(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(notches * WHEEL_DELTA))),
                 MAKELPARAM(WORD(short(over.x)), WORD(short(over.y))));
    Application->ProcessMessages();
  }

  // Moves the real pointer over the client point (x, y) of `control` (its middle when not
  // given), as a hand on the mouse does, and lets the loop handle the moves it makes;
  // with `arrived`, until that holds: on a busy machine the pointer's move reaches the
  // application late, so the move is made again while it has not arrived (for a few
  // seconds at most). The control may be gone once the pointer is there (its
  // OnMouseEnter).
  void PointTo(TControl* control, int x, int y, const std::function<bool()>& arrived = {}) {
    const TPoint at = control->ClientToScreen(Point(x, y));
    const auto [wnd, point] = MouseTarget(control, x, y);
    SettlePointerAt(at.x, at.y);
    const DWORD start = GetTickCount();
    do {
      PostMessageA(wnd, WM_MOUSEMOVE, 0, point);
      Application->ProcessMessages();
      if (!arrived || PumpUntil(arrived, 100))
        return;
      SettlePointerAt(at.x, at.y);
    } while (GetTickCount() - start < 5000);
  }
  void PointTo(TControl* control, const std::function<bool()>& arrived = {}) {
    PointTo(control, control->GetWidth() / 2, control->GetHeight() / 2, arrived);
  }

  TForm* Form;
  TTestEdit* Neighbour;
  TObject* Target = nullptr;
  int Fired = 0;
  bool Freed = false;
  // The firings the handler lets pass before it frees the target.
  int Spared = 0;
  // The handler raises after it has freed the target.
  bool Raise = false;
  const TObject* FreedObject = nullptr;

 private:
  template <class Sender, class... Rest>
  static void Freeing(void* data, Sender, Rest...) {
    auto* bench = static_cast<TSenderBench*>(data);
    if (++bench->Fired <= bench->Spared)
      return;
    TObject* target = std::exchange(bench->Target, nullptr);
    if (!target)
      return;
    delete target;
    bench->Freed = true;
    bench->FreedObject = target;
    if (bench->Raise)
      throw Exception(kRaised);
  }
};

// One row: the control class, the event, the input, what the row does, why the input
// does not fire the event on this platform (null when it does), and whether the handler
// raises after it has freed its sender.
struct TSenderRow {
  std::string Control;
  std::string Event;
  std::string Input;
  std::function<void(TSenderBench&)> Run;
  const char* Silent = nullptr;
  bool Raises = false;
};

inline std::ostream& operator<<(std::ostream& os, const TSenderRow& row) {
  return os << row.Control << " " << row.Event << " by " << row.Input;
}

// ---- Rows every windowed control class has: the focus moves, the keys, the mouse.

// How the generic rows reach a class's control: a key it takes when focused and the
// point where a click lands on it (its middle unless given).
struct TReach {
  WORD Key = 'A';
  std::function<TPoint(TControl*)> ClickAt;
  // Where another control's drag comes over it, when not where a click lands (a point
  // of its own, not of a child).
  std::function<TPoint(TControl*)> DropAt;
  TPoint At(TControl* control) const {
    return ClickAt ? ClickAt(control) : Point(control->GetWidth() / 2, control->GetHeight() / 2);
  }
  TPoint Drop(TControl* control) const { return DropAt ? DropAt(control) : At(control); }
};

// Gives `form` an OK and a Cancel button, as dialogs have; answers the OK button.
inline TButton* AddOkCancel(TForm* form) {
  auto* ok = new TButton(form);
  ok->SetParent(form);
  ok->SetCaption("OK");
  ok->SetModalResult(mrOk);
  ok->SetBounds(10, 10, 75, 25);
  auto* cancel = new TButton(form);
  cancel->SetParent(form);
  cancel->SetCaption("Cancel");
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  cancel->SetBounds(100, 10, 75, 25);
  return ok;
}

// Chooses the custom line (the last) of an in-place editor's pop-up menu: a right click
// on the editor opens it, Up and Enter choose.
inline void ChooseTheCustomLineOfItsMenu(TSenderBench& b, TControl* e) {
  const auto [wnd, point] = TSenderBench::MouseTarget(e, e->GetWidth() / 2, e->GetHeight() / 2);
  PostMessageA(wnd, WM_RBUTTONDOWN, MK_RBUTTON, point);
  PostMessageA(wnd, WM_RBUTTONUP, 0, point);
  for (WPARAM key : {WPARAM(VK_UP), WPARAM(VK_RETURN)})
    PostMessageA(b.Form->GetHandle(), WM_KEYDOWN, key, 1);
  Application->ProcessMessages();
}

// Drags the bench's neighbour by the pointer over `c`, to where `reach` drops on it (a
// little aside first, so that the drag begins).
inline void DragNeighbourOver(TSenderBench& b, TControl* c, const TReach& reach) {
  const TPoint from = TSenderBench::ScreenMiddle(b.Neighbour);
  b.DragFrom(b.Neighbour, Point(b.Neighbour->GetWidth() / 2, b.Neighbour->GetHeight() / 2),
             {Point(from.x + 12, from.y), c->ClientToScreen(reach.Drop(c))});
}

// Frees `form`, shown beside the bench, by its OnActivate as a click on `inside` (one of
// its controls) activates it, or by its OnDeactivate as a click on the neighbour leaves
// `inside` focused; the form is freed afterwards where its handler did not.
inline void FreeFormByActivation(TSenderBench& b, TForm* form, TWinControl* inside, bool activate) {
  const TAliveGuard alive(form);
  if (activate) {
    b.Neighbour->SetFocus();
    b.FreeOn(form->OnActivate, form);
    b.Click(inside);
  } else {
    inside->SetFocus();
    b.FreeOn(form->OnDeactivate, form);
    b.Click(b.Neighbour);
  }
  if (alive.Alive())
    delete form;
}

// Runs `work` with a bench of its own on a second form, shown and active beside the
// bench's, for the rows whose handler frees the form that holds the sender; the form is
// freed afterwards where the handler did not.
inline void OnFormOfItsOwn(const std::function<void(TSenderBench& own)>& work) {
  auto* form = new TForm(nullptr);
  form->SetBounds(560, 120, 480, 220);
  form->Show();
  SetForegroundWindow(form->GetHandle());
  PumpPending();
  const TAliveGuard alive(form);
  TSenderBench own(form);
  work(own);
  if (alive.Alive())
    delete form;
}

// What the handler of a change frees: the object that holds the changed value (a
// column, an editor), the control that holds that, or the form.
enum class THolder { kHolder, kControl, kForm };

// Gives `form`, placed beside the bench's, a skin (TKsCustomForm), blended over what lies
// beneath it where `blend` says so.
inline TKsCustomForm* GiveSkin(TForm* form, bool blend = false) {
  form->SetBounds(620, 420, 200, 120);
  auto* skin = new TKsCustomForm(form);
  skin->SetMagnetic(false);
  skin->SetMinimizeApplication(false);
  if (blend)
    skin->SetBlend(true);
  skin->SetActive(true);
  skin->Loaded();
  return skin;
}

// The focus events of `make`'s control: entered by Tab from the neighbour and by a
// click, left by Tab and by a click on the neighbour.
template <class Make>
void AddFocusRows(std::vector<TSenderRow>& rows, const std::string& control, Make make, TReach reach = {}) {
  rows.push_back({control, "OnEnter", "Tab", [make](TSenderBench& b) {
                    TWinControl* c = make(b);
                    b.Neighbour->SetFocus();
                    b.FreeOn(c->OnEnter, c);
                    b.Tab();
                  }});
  rows.push_back({control, "OnEnter", "a click on it", [make, reach](TSenderBench& b) {
                    TWinControl* c = make(b);
                    b.Neighbour->SetFocus();
                    b.FreeOn(c->OnEnter, c);
                    const TPoint at = reach.At(c);
                    b.Click(c, at.x, at.y);
                  }});
  rows.push_back({control, "OnExit", "Tab", [make](TSenderBench& b) {
                    TWinControl* c = make(b);
                    c->SetFocus();
                    b.FreeOn(c->OnExit, c);
                    b.Tab();
                  }});
  rows.push_back({control, "OnExit", "a click on another control", [make](TSenderBench& b) {
                    TWinControl* c = make(b);
                    c->SetFocus();
                    b.FreeOn(c->OnExit, c);
                    b.Click(b.Neighbour);
                  }});
}

// The key events of a focused control, by a key it takes.
template <class Make>
void AddKeyRows(std::vector<TSenderRow>& rows, const std::string& control, Make make, TReach reach = {}) {
  const std::string input = reach.Key >= '0' && reach.Key <= '9' ? "a digit key" : "a letter key";
  auto row = [&](const char* event, auto bind) {
    rows.push_back({control, event, input, [make, key = reach.Key, bind](TSenderBench& b) {
                      TWinControl* c = make(b);
                      c->SetFocus();
                      bind(b, c);
                      b.Key(key);
                    }});
  };
  row("OnKeyDown", [](TSenderBench& b, TWinControl* c) { b.FreeOn(c->OnKeyDown, c); });
  row("OnKeyPress", [](TSenderBench& b, TWinControl* c) { b.FreeOn(c->OnKeyPress, c); });
  row("OnKeyUp", [](TSenderBench& b, TWinControl* c) { b.FreeOn(c->OnKeyUp, c); });
}

template <class Make>
void AddDragRows(std::vector<TSenderRow>& rows, const std::string& control, Make make, TReach reach);

// The mouse events of any control, by a click, a double click and a move over it (and
// its drag events).
template <class Make>
void AddMouseRows(std::vector<TSenderRow>& rows, const std::string& control, Make make, TReach reach = {}) {
  auto row = [&](const char* event, const char* input, auto bind, auto fire) {
    rows.push_back({control, event, input, [make, reach, bind, fire](TSenderBench& b) {
                      TControl* c = make(b);
                      bind(b, c);
                      fire(b, c, reach.At(c));
                    }});
  };
  auto click = [](TSenderBench& b, TControl* c, TPoint at) { b.Click(c, at.x, at.y); };
  row("OnMouseDown", "a click", [](TSenderBench& b, TControl* c) { b.FreeOn(c->OnMouseDown, c); }, click);
  row("OnMouseUp", "a click", [](TSenderBench& b, TControl* c) { b.FreeOn(c->OnMouseUp, c); }, click);
  row("OnClick", "a click", [](TSenderBench& b, TControl* c) { b.FreeOn(c->OnClick, c); }, click);
  row("OnDblClick", "a double click", [](TSenderBench& b, TControl* c) { b.FreeOn(c->OnDblClick, c); },
      [](TSenderBench& b, TControl* c, TPoint at) { b.DoubleClick(c, at.x, at.y); });
  row("OnMouseMove", "a move over it", [](TSenderBench& b, TControl* c) { b.FreeOn(c->OnMouseMove, c); },
      [](TSenderBench& b, TControl* c, TPoint at) { b.Move(c, at.x, at.y); });
  AddDragRows(rows, control, make, reach);
}

// A drag-over handler that only accepts: a control with one takes the drop.
inline void AcceptDrop(void*, TObject*, TObject*, int, int, TDragState, bool&) {}

// The drag-and-drop and docking events of any control, and its size: dragged itself in
// the automatic drag mode (as a drag and as a dock drag) and dropped on the neighbour,
// the target of the neighbour's drag, and grown with its window maximised.
// Fault (OnResize): the size went on with a control its OnResize had freed: the window's
// size after a nested size (a combo box keeping its height), the layout's bracket, the
// parent's next aligned child, the skinned control's buffer, the control bar's flag.
template <class Make>
void AddDragRows(std::vector<TSenderRow>& rows, const std::string& control, Make make, TReach reach) {
  auto dragged = [make, reach](TDragKind kind, auto bind) {
    return [make, reach, kind, bind](TSenderBench& b) {
      TControl* c = make(b);
      c->SetDragKind(kind);
      c->SetDragMode(dmAutomatic);
      bind(b, c);
      const TPoint at = reach.At(c);
      const TPoint screen = c->ClientToScreen(at);
      b.DragFrom(c, at, {Point(screen.x + 12, screen.y + 12), TSenderBench::ScreenMiddle(b.Neighbour)});
    };
  };
  rows.push_back({control, "OnStartDrag", "a drag of it", dragged(dkDrag, [](TSenderBench& b, TControl* c) {
                    b.FreeOn(c->OnStartDrag, c);
                  })});
  rows.push_back({control, "OnEndDrag", "a drag of it dropped on another control",
                  dragged(dkDrag, [](TSenderBench& b, TControl* c) { b.FreeOn(c->OnEndDrag, c); })});
  rows.push_back({control, "OnStartDock", "a dock drag of it", dragged(dkDock, [](TSenderBench& b, TControl* c) {
                    b.FreeOn(c->OnStartDock, c);
                  })});
  rows.push_back({control, "OnEndDock", "a dock drag of it dropped on another control",
                  dragged(dkDock, [](TSenderBench& b, TControl* c) { b.FreeOn(c->OnEndDock, c); })});
  auto over = [make, reach](auto bind) {
    return [make, reach, bind](TSenderBench& b) {
      TControl* c = make(b);
      b.Neighbour->SetDragMode(dmAutomatic);
      bind(b, c);
      DragNeighbourOver(b, c, reach);
    };
  };
  rows.push_back({control, "OnDragOver", "another control dragged over it",
                  over([](TSenderBench& b, TControl* c) { b.FreeOn(c->OnDragOver, c); })});
  rows.push_back({control, "OnDragDrop", "another control dropped on it", over([](TSenderBench& b, TControl* c) {
                    c->OnDragOver = TDragOverEvent::FromFunction(&AcceptDrop);
                    b.FreeOn(c->OnDragDrop, c);
                  })});
  rows.push_back({control, "OnResize", "its window maximised", [make](TSenderBench& b) {
                    TControl* c = make(b);
                    TControl* top = c;
                    for (; top->GetParent(); top = top->GetParent())
                      top->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
                    b.FreeOn(c->OnResize, c);
                    PostMessageA(static_cast<TWinControl*>(top)->GetHandle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
                    Application->ProcessMessages();
                  }});
}

// The dock site's events of a windowed control: the neighbour dock-dragged over it and
// dropped on it.
// Fault (OnGetSiteInfo): the drag asked a site its handler had freed whether it takes the
// dock (the bar's own answer, the search's next parent, the pointer's position in it).
template <class Make>
void AddDockSiteRows(std::vector<TSenderRow>& rows, const std::string& control, Make make, TReach reach = {}) {
  auto docked = [make, reach](auto bind) {
    return [make, reach, bind](TSenderBench& b) {
      TWinControl* c = make(b);
      c->SetDockSite(true);
      b.Neighbour->SetDragKind(dkDock);
      b.Neighbour->SetDragMode(dmAutomatic);
      bind(b, c);
      DragNeighbourOver(b, c, reach);
    };
  };
  rows.push_back({control, "OnGetSiteInfo", "another control dock-dragged over it",
                  docked([](TSenderBench& b, TWinControl* c) { b.FreeOn(c->OnGetSiteInfo, c); })});
  rows.push_back({control, "OnDockOver", "another control dock-dragged over it",
                  docked([](TSenderBench& b, TWinControl* c) { b.FreeOn(c->OnDockOver, c); })});
  rows.push_back({control, "OnDockDrop", "another control docked on it",
                  docked([](TSenderBench& b, TWinControl* c) { b.FreeOn(c->OnDockDrop, c); })});
}

// The rows of a control with a caption: OnClick by Space on it and by its Alt+letter
// from the neighbour, OnEnter by the Alt+letter where `focuses` (the accelerator moves
// the focus to it), and OnClick by Enter where `isDefault` (a default button takes
// Enter from the neighbour).
struct TCaptionReach {
  char Letter;
  bool Space = true;
  bool Focuses = true;
  bool IsDefault = false;
};

template <class Make>
void AddCaptionRows(std::vector<TSenderRow>& rows, const std::string& control, Make make, TCaptionReach reach,
                    std::function<void(TWinControl*)> setDefault = {}) {
  auto row = [&](const char* event, const char* input, bool onIt, auto bind, auto fire) {
    rows.push_back({control, event, input, [make, onIt, bind, fire](TSenderBench& b) {
                      auto* c = make(b);
                      onIt ? c->SetFocus() : b.Neighbour->SetFocus();
                      bind(b, c);
                      fire(b, c);
                    }});
  };
  auto onClick = [](TSenderBench& b, TWinControl* c) { b.FreeOn(c->OnClick, c); };
  auto alt = [letter = reach.Letter](TSenderBench& b, TWinControl*) { b.AltKey(letter); };
  if (reach.Space)
    row("OnClick", "Space", true, onClick, [](TSenderBench& b, TWinControl*) { b.Key(VK_SPACE); });
  row("OnClick", "Alt+letter", false, onClick, alt);
  if (reach.Focuses)
    row("OnEnter", "Alt+letter", false, [](TSenderBench& b, TWinControl* c) { b.FreeOn(c->OnEnter, c); }, alt);
  if (reach.IsDefault)
    row("OnClick", "Enter on the default button", false,
        [setDefault](TSenderBench& b, TWinControl* c) {
          setDefault(c);
          b.FreeOn(c->OnClick, c);
        },
        [](TSenderBench& b, TWinControl*) { b.Key(VK_RETURN); });
}

// A control of class T at `bounds` with `caption`; a radio button is made a tab stop as
// a group's first button is.
template <class T>
std::function<T*(TSenderBench&)> Captioned(const TRect& bounds, const char* caption) {
  return [bounds, caption](TSenderBench& b) {
    T* control = b.Make<T>(bounds);
    control->SetCaption(caption);
    if (std::string(caption) == "&Radio")
      control->SetTabStop(true);
    return control;
  };
}

template <class Make>
void AddWindowedRows(std::vector<TSenderRow>& rows, const std::string& control, Make make, TReach reach = {}) {
  AddFocusRows(rows, control, make, reach);
  AddKeyRows(rows, control, make, reach);
  AddMouseRows(rows, control, make, reach);
  AddDockSiteRows(rows, control, make, reach);
}

// A button or mark: the windowed rows and the caption's.
template <class Make>
void AddButtonRows(std::vector<TSenderRow>& rows, const std::string& control, Make make, TCaptionReach reach,
                   std::function<void(TWinControl*)> setDefault = {}) {
  AddWindowedRows(rows, control, make);
  AddCaptionRows(rows, control, make, reach, setDefault);
}

// Counts the firings of an event bound to it.
template <class Sender, class... Rest>
void Counting(void* data, Sender, Rest...) {
  ++*static_cast<int*>(data);
}

// A skinned control's own mouse events: the pointer moving onto it and off it again,
// at its middle unless `at` says where. Each waits for what it waits for (the event,
// the pointer having entered), not for a time.
template <class Make>
void AddHoverRows(std::vector<TSenderRow>& rows, const std::string& control, Make make,
                  std::function<TPoint(TControl*)> at = {}) {
  auto point = [at](TControl* c) { return at ? at(c) : Point(c->GetWidth() / 2, c->GetHeight() / 2); };
  rows.push_back({control, "OnMouseEnter", "the pointer moving onto it", [make, point](TSenderBench& b) {
                    auto* c = make(b);
                    b.FreeOn(c->OnMouseEnter, c);
                    const TPoint p = point(c);
                    b.PointTo(c, p.x, p.y, [&b] { return b.Fired > 0; });
                  }});
  rows.push_back({control, "OnMouseLeave", "the pointer moving off it", [make, point](TSenderBench& b) {
                    auto* c = make(b);
                    int entered = 0;
                    using TEnter = std::remove_reference_t<decltype(c->OnMouseEnter)>;
                    c->OnMouseEnter = TEnter::FromFunction(&Counting, &entered);
                    const TPoint p = point(c);
                    b.PointTo(c, p.x, p.y, [&entered] { return entered > 0; });
                    c->OnMouseEnter = TEnter();
                    b.FreeOn(c->OnMouseLeave, c);
                    b.PointTo(b.Neighbour, [&b] { return b.Fired > 0; });
                  }});
}

// ---- The editor library's controls, stand-alone on the form: ordinary focusable
// controls (in place, a container takes their navigation keys and focus moves).

template <class T>
class TStandAlone : public T {
  KIVO_CLASS(TStandAlone, T)
 public:
  explicit TStandAlone(TComponent* AOwner) : T(AOwner, &TStandAlone::MetaClass()) {}
  static bool IsInplace(const TdxInplaceEditClass&) { return false; }
};

template <class E>
std::function<TStandAlone<E>*(TSenderBench&)> Editor(std::function<void(TStandAlone<E>*)> prepare = {}) {
  return [prepare](TSenderBench& b) {
    auto* editor = b.Make<TStandAlone<E>>(TRect{80, 4, 230, 28});
    if (prepare)
      prepare(editor);
    return editor;
  };
}

// The screen point of the middle of button `index` of a drop-down editor, in the order
// of its buttons (the drop-down button first; an MRU editor's ellipsis, second, sits at
// the edge).
inline TPoint EditButtonPoint(TdxInplaceDropDownEdit* editor, int index = 0) {
  std::unique_ptr<TdxDropDownEditViewData> v(static_cast<TdxDropDownEditViewData*>(editor->CreateViewData(false)));
  TdxEditDrawRecord record;
  editor->EditClass()->CalcViewData(v.get(), false, record);
  TRect rects[dxMaxEditButtons];
  TdxInplaceDropDownEdit::GetButtonRects(record, v.get(), rects);
  RECT window{};
  GetWindowRect(editor->GetHandle(), &window);
  const TRect& r = rects[index];
  return Point(window.left + (r.left + r.right) / 2, window.top + (r.top + r.bottom) / 2);
}

// The screen point of the editor's right-hand button (the spin editor's upper or lower
// half of it).
inline TPoint ButtonPoint(TWinControl* editor, int dy = 0) {
  RECT window{};
  GetWindowRect(editor->GetHandle(), &window);
  return Point(window.right - 6, (window.top + window.bottom) / 2 + dy);
}

// ---- The column-bound control's headers: the columns A, B and C in the first of the
// bands X, Y and Z, all shown; a header dragged out of the header panel is hidden.

inline TCustomdxTreeListControl* MakeHeaders(TSenderBench& b) {
  auto* g = new TCustomdxTreeListControl(b.Form);
  for (const char* caption : {"A", "B", "C"}) {
    TdxTreeListColumn* column = g->CreateColumn(&TdxTreeListColumn::MetaClass(), b.Form);
    column->SetCaption(caption);
    column->SetWidth(60);
  }
  b.Place(g, TRect{80, 4, 480, 204});
  ShowBandsXYZ(g, /*firstWidth=*/180, /*otherWidth=*/80);
  g->SetOptions(g->GetOptions().Include(aoHideByDrag));
  for (const char* name : {"a", "b", "c"})
    static_cast<TdxTreeListTextNode*>(g->Add())->GetStrings()->Add(name);
  g->UpdateGuarded();
  g->SetFocusedNode(g->GetItem(0), 0, /*makeVisible=*/true);
  PumpPending();
  return g;
}

inline TRect ColumnHeaderRect(TCustomdxTreeList* t, int column) {
  TdxTreeListLayout layout;
  t->CalcLayout(layout);
  const TdxTreeListColumnEntry* entry = layout.FindColumn(column);
  return entry ? entry->Rect : TRect{};
}

inline TRect BandHeaderRect(TCustomdxTreeList* t, int band) {
  TdxTreeListLayout layout;
  t->CalcLayout(layout);
  const TdxTreeListBandEntry* entry = layout.FindBand(band);
  return entry ? entry->Rect : TRect{};
}

// The drags of a header: `rect` answers the dragged header's rectangle and `target` the
// rectangle whose middle the drag ends on; the press is in the header's middle, the
// first move (past the move threshold) starts the drag.
struct THeaderDrag {
  std::function<TRect(TCustomdxTreeList*)> Header;
  std::function<TRect(TCustomdxTreeList*)> Target;
  bool Escape = false;
  void operator()(TSenderBench& b, TCustomdxTreeList* t) const {
    const TPoint from = Middle(Header(t));
    const TPoint to = Middle(Target(t));
    b.Drag(t, {from, Point(from.x + 10, from.y), Point(to.x, to.y)}, Escape);
  }
};

// The inputs that fire no such event on this platform, and why.
struct TSilence {
  std::string Control;
  std::string Event;
  std::string Input;
  const char* Why;
};

// The rows of the classes beside the controls of the four libraries: menus, actions,
// hooks, pages, the themed controls, the dialogs' forms (FreedSenderComponentRows.cpp).
void AddComponentRows(std::vector<TSenderRow>& rows);
std::vector<TSilence> ComponentSilences();
// The rows of the tree list's columns (FreedSenderColumnRows.cpp).
void AddColumnRows(std::vector<TSenderRow>& rows);
// The rows of the objects that hold a value and tell its change, where input changes
// the value (FreedSenderValueRows.cpp).
void AddValueRows(std::vector<TSenderRow>& rows);

}  // namespace senders
