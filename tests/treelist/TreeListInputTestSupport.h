// A shown tree list driven by posted key and mouse messages, with the tree list's timer
// routines replaced by a recorder: a test sees which timers run on which window and
// delivers their ticks as WM_TIMER messages, without waiting for them.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Forms.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/treelist/TreeListTestSupport.h"

// The running timers of every tree list: (window, id) -> interval.
class TTimerRecorder {
 public:
  TTimerRecorder() {
    gCurrent = this;
    FSaved = TdxTreeListTimers::SetTimerProcs({&Set, &Kill});
  }
  ~TTimerRecorder() {
    TdxTreeListTimers::SetTimerProcs(FSaved);
    gCurrent = nullptr;
  }
  TTimerRecorder(const TTimerRecorder&) = delete;
  TTimerRecorder& operator=(const TTimerRecorder&) = delete;

  // The id a thread timer (one without a window) gets while the system's timers do not
  // run: its ticks are WM_TIMER thread messages with this id.
  static constexpr UINT_PTR kThreadTimerId = 0x7E57;
  // The interval of the timer, 0 when it does not run.
  UINT Interval(HWND wnd, UINT_PTR id) const {
    auto at = Running.find({wnd, id});
    return at == Running.end() ? 0 : at->second;
  }
  // The timers of a window.
  int CountOn(HWND wnd) const {
    int count = 0;
    for (const auto& [key, interval] : Running)
      count += key.first == wnd ? 1 : 0;
    return count;
  }
  std::map<std::pair<HWND, UINT_PTR>, UINT> Running;
  int Sets = 0;
  // The system's timers run as well (their ticks arrive by themselves).
  bool PassThrough = false;

 private:
  static UINT_PTR WINAPI Set(HWND wnd, UINT_PTR id, UINT interval, TIMERPROC proc) {
    if (gCurrent->PassThrough) {
      const UINT_PTR real = ::SetTimer(wnd, id, interval, proc);
      if (!real)
        return 0;
      if (!wnd)
        id = real;
    } else if (!wnd && id == 0) {
      id = kThreadTimerId;
    }
    gCurrent->Running[{wnd, id}] = interval;
    ++gCurrent->Sets;
    return id;
  }
  static BOOL WINAPI Kill(HWND wnd, UINT_PTR id) {
    if (gCurrent->PassThrough)
      ::KillTimer(wnd, id);
    return gCurrent->Running.erase({wnd, id}) > 0;
  }
  static inline TTimerRecorder* gCurrent = nullptr;
  TdxTreeListTimers::TTimerProcs FSaved;
};

// Posts a mouse message at a screen point to the window holding the mouse (a drag's
// capture window).
inline void PostToCapture(UINT msg, const TPoint& screen, WPARAM keys) {
  HWND wnd = GetCapture();
  ASSERT_NE(wnd, nullptr) << "no window holds the mouse";
  POINT p = screen;
  ScreenToClient(wnd, &p);
  PostMessageA(wnd, msg, keys, MAKELPARAM(WORD(short(p.x)), WORD(short(p.y))));
  Application->ProcessMessages();
}

// The test tree list with the column widths the mouse sets, header clicks and hints.
class TInputTreeList : public TTestTreeList {
  KIVO_CLASS(TInputTreeList, TTestTreeList)
 public:
  explicit TInputTreeList(TComponent* AOwner) : TTestTreeList(AOwner) {
    OnSelectionChanged = TNotifyEvent::Bind<&TInputTreeList::SelectionChanged>(this);
  }
  std::vector<int32_t> Clicks;
  int SelectionChanges = 0;
  int DblClicks = 0;
  void DblClick() override {
    ++DblClicks;
    TTestTreeList::DblClick();
  }
  void SetColumnWidth(int32_t column, int32_t width) override { Columns.at(column).Width = width; }
  void SetBandWidth(int32_t band, int32_t width) override { Bands.at(band).Width = width; }
  void SetHeaderRowCount(int32_t value) override {
    HeaderRows = value;
    UpdateGuarded();
  }
  void ColumnClick(int32_t column) override { Clicks.push_back(column); }
  void DoGetHeaderHint(int32_t column, std::string& text) override { text = "about " + Columns.at(column).Caption; }
  void SelectionChanged(TObject*) { ++SelectionChanges; }
  bool CanColumnMoving(int32_t) override { return true; }
};

// A form with a tree list of three columns in one band and, by default, the nodes
// a, b (with the children b1, b2), c, d.
class TreeListInputTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Form->SetBounds(520, 300, 420, 320);
    Tree = MakeTree(Form, 0);
  }
  TInputTreeList* MakeTree(TForm* form, int left) {
    auto* tree = new TInputTreeList(form);
    tree->SetParent(form);
    tree->SetBounds(left, 0, 380, 260);
    tree->Bands = {TTestBand{"Band", 300}};
    tree->Columns = {TTestColumn{"Name", 0, 0, 120}, TTestColumn{"Size", 0, 0, 80}, TTestColumn{"Kind", 0, 0, 80}};
    return tree;
  }
  TdxTreeListTextNode* Node(TInputTreeList* tree, TdxTreeListNode* parent, const std::string& name,
                            const std::string& size = "", const std::string& kind = "") {
    TdxTreeListTextNode* node = tree->AddNode(parent, name);
    node->GetStrings()->Add(size);
    node->GetStrings()->Add(kind);
    return node;
  }
  void Fill() {
    A = Node(Tree, nullptr, "a", "1", "x");
    B = Node(Tree, nullptr, "b", "2", "y");
    B1 = Node(Tree, B, "b1");
    B2 = Node(Tree, B, "b2");
    C = Node(Tree, nullptr, "c", "3", "z");
    D = Node(Tree, nullptr, "d", "4", "w");
  }
  void Show() {
    ShowForm();
    Tree->SetFocus();
    Tree->UpdateGuarded();
    PumpPending();
  }
  void SetOption(TdxTreeListOption option, bool on) {
    TdxTreeListOptions options = Tree->GetOptions();
    Tree->SetOptions(on ? options.Include(option) : options.Exclude(option));
  }
  void SetOptionEx(TdxTreeListOptionEx option, bool on) {
    TdxTreeListOptionsEx options = Tree->GetOptionsEx();
    Tree->SetOptionsEx(on ? options.Include(option) : options.Exclude(option));
  }
  // A key press as the keyboard posts it (with its character, when it types one).
  static void Key(TCustomdxTreeList* tree, WORD vk, char ch = 0) {
    PostMessageA(tree->GetHandle(), WM_KEYDOWN, vk, 1);
    if (ch)
      PostMessageA(tree->GetHandle(), WM_CHAR, WPARAM(uint8_t(ch)), 1);
    PostMessageA(tree->GetHandle(), WM_KEYUP, vk, LPARAM(0xC0000001));
    Application->ProcessMessages();
  }
  void Key(WORD vk, char ch = 0) { Key(Tree, vk, ch); }
  // Types each character with the key that types it.
  void Type(const std::string& text) {
    for (char c : text)
      Key(WORD(LOBYTE(VkKeyScanA(c))), c);
  }
  // A mouse message posted to the tree list at a client point.
  static void Mouse(TCustomdxTreeList* tree, UINT msg, int x, int y, WPARAM keys) {
    PostMessageA(tree->GetHandle(), msg, keys, MAKELPARAM(WORD(short(x)), WORD(short(y))));
    Application->ProcessMessages();
  }
  void Press(int x, int y, WPARAM keys = 0) { Mouse(Tree, WM_LBUTTONDOWN, x, y, MK_LBUTTON | keys); }
  void MoveTo(int x, int y, WPARAM keys = MK_LBUTTON) { Mouse(Tree, WM_MOUSEMOVE, x, y, keys); }
  void Release(int x, int y, WPARAM keys = 0) { Mouse(Tree, WM_LBUTTONUP, x, y, keys); }
  void Click(int x, int y, WPARAM keys = 0) {
    Press(x, y, keys);
    Release(x, y, keys);
  }
  // The middle of a node's row in the first column, and of a column's header.
  TPoint RowPoint(TdxTreeListNode* node) {
    TRect rect;
    Tree->GetNavigator().GetNodeRowRect(node, rect);
    return Point(rect.left + 100, (rect.top + rect.bottom) / 2);
  }
  TdxTreeListColumnEntry HeaderOf(TCustomdxTreeList* tree, int column) {
    TdxTreeListLayout layout;
    tree->CalcLayout(layout);
    const TdxTreeListColumnEntry* entry = layout.FindColumn(column);
    EXPECT_NE(entry, nullptr);
    return entry ? *entry : TdxTreeListColumnEntry{};
  }
  std::vector<std::string> SelectedTexts() {
    std::vector<std::string> texts;
    for (TdxTreeListNode* node : Tree->Selection)
      texts.push_back(TTestTreeList::TextOf(node));
    std::sort(texts.begin(), texts.end());
    return texts;
  }

  TTimerRecorder Timers;
  TInputTreeList* Tree = nullptr;
  TdxTreeListNode* A = nullptr;
  TdxTreeListNode* B = nullptr;
  TdxTreeListNode* B1 = nullptr;
  TdxTreeListNode* B2 = nullptr;
  TdxTreeListNode* C = nullptr;
  TdxTreeListNode* D = nullptr;
};
