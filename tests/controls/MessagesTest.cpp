#include "classlib/Messages.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/Boundary.h"
#include "classlib/Object.h"
#include "classlib/UtilWindow.h"
#include "classlib/WndProcThunk.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr UINT kFirst = WM_APP + 1;
constexpr UINT kSecond = WM_APP + 2;
constexpr UINT kThird = WM_APP + 3;

std::vector<std::string> gTrace;

class TBase : public TObject {
  KIVO_CLASS(TBase, TObject)
 public:
  void Dispatch(TMessage& message) override {
    switch (message.Msg) {
      case kFirst:
        gTrace.push_back("base first");
        message.Result = 1;
        return;
      case kSecond:
        gTrace.push_back("base second");
        inherited::Dispatch(message);
        return;
    }
    inherited::Dispatch(message);
  }
  void DefaultHandler(TMessage& message) override {
    gTrace.push_back("default " + std::to_string(message.Msg - WM_APP));
    message.Result = 99;
  }
};

class TDerived : public TBase {
  KIVO_CLASS(TDerived, TBase)
 public:
  void Dispatch(TMessage& message) override {
    switch (message.Msg) {
      case kFirst:
        gTrace.push_back("derived first");
        inherited::Dispatch(message);  // the handler's "inherited"
        message.Result += 10;
        return;
      case kThird:
        gTrace.push_back("derived third");
        inherited::Dispatch(message);  // no ancestor handles it: default handler
        return;
    }
    inherited::Dispatch(message);
  }
};

TMessage Send(TObject& object, UINT msg) {
  TMessage m;
  m.Msg = msg;
  object.Dispatch(m);
  return m;
}

TEST(Dispatch, HandlersChainThroughAncestorsToTheDefaultHandler) {
  TDerived object;
  gTrace.clear();
  EXPECT_EQ(Send(object, kFirst).Result, 11);
  EXPECT_EQ(gTrace, (std::vector<std::string>{"derived first", "base first"}));
  gTrace.clear();
  EXPECT_EQ(Send(object, kSecond).Result, 99);  // not handled by the descendant
  EXPECT_EQ(gTrace, (std::vector<std::string>{"base second", "default 2"}));
  gTrace.clear();
  EXPECT_EQ(Send(object, kThird).Result, 99);
  EXPECT_EQ(gTrace, (std::vector<std::string>{"derived third", "default 3"}));
  gTrace.clear();
  EXPECT_EQ(Send(object, WM_APP + 50).Result, 99);
  EXPECT_EQ(gTrace, (std::vector<std::string>{"default 50"}));
  TObject plain;
  EXPECT_EQ(Send(plain, kFirst).Result, 0);  // plain objects ignore messages
}

TEST(Messages, NumbersAndViews) {
  EXPECT_EQ(CM_SHOWINGCHANGED, 0xB019u);
  EXPECT_EQ(CM_MOUSEENTER, 0xB013u);
  EXPECT_EQ(CM_MOUSELEAVE, 0xB014u);
  EXPECT_EQ(CM_DESIGNHITTEST, 0xB01Cu);
  EXPECT_EQ(CM_DRAG, 0xB02Fu);
  EXPECT_EQ(CM_CANCELMODE, 0xB004u);
  EXPECT_EQ(CM_DIALOGKEY, 0xB005u);
  EXPECT_EQ(CM_DIALOGCHAR, 0xB006u);
  EXPECT_EQ(CM_PARENTFONTCHANGED, 0xB008u);
  EXPECT_EQ(CM_PARENTCOLORCHANGED, 0xB009u);
  EXPECT_EQ(CM_ENABLEDCHANGED, 0xB00Cu);
  EXPECT_EQ(CM_COLORCHANGED, 0xB00Du);
  EXPECT_EQ(CM_FONTCHANGED, 0xB00Eu);
  EXPECT_EQ(CM_CTL3DCHANGED, 0xB010u);
  EXPECT_EQ(CM_TEXTCHANGED, 0xB012u);
  EXPECT_EQ(CM_ENTER, 0xB01Au);
  EXPECT_EQ(CM_SYSCOLORCHANGE, 0xB024u);
  EXPECT_EQ(CM_CONTROLLISTCHANGE, 0xB02Cu);
  EXPECT_EQ(CN_KEYDOWN, 0xBD00u);
  EXPECT_EQ(CN_COMMAND, 0xBC00u + WM_COMMAND);

  TMessage m;
  m.Msg = WM_LBUTTONDOWN;
  m.WParam = MK_LBUTTON;
  m.LParam = MAKELPARAM(uint16_t(-5), 17);
  auto& mouse = MessageAs<TWMMouse>(m);
  EXPECT_EQ(mouse.XPos, -5);
  EXPECT_EQ(mouse.YPos, 17);
  mouse.Result = 3;
  EXPECT_EQ(m.Result, 3);  // a view writes the record itself
  m.WParam = VK_RETURN;
  MessageAs<TWMKey>(m).CharCode = 0;
  EXPECT_EQ(m.WParam, 0u);
}

// An object whose window procedure is a method.
class TWindowOwner {
 public:
  void WndProc(TMessage& message) {
    Seen.push_back(message.Msg);
    if (message.Msg == kFirst) {
      message.Result = LRESULT(message.WParam) * 2 + this->Bias;
      return;
    }
    if (message.Msg == kSecond)
      throw Exception("raised in the window method");
    message.Result = DefWindowProcA(Wnd, message.Msg, message.WParam, message.LParam);
  }
  HWND Wnd = nullptr;
  int Bias = 0;
  std::vector<UINT> Seen;
};

std::vector<std::string> gBoundary;
void RecordBoundary(const char* where, const std::exception* error) {
  gBoundary.push_back(std::string(where) + ": " + (error ? error->what() : "?"));
}

TEST(ObjectInstances, AreDistinctPerObjectAndCallTheirOwnObject) {
  TWindowOwner a, b;
  a.Bias = 1;
  b.Bias = 1000;
  const int before = ObjectInstanceCount();
  WNDPROC procA = MakeObjectInstance(TWndMethod::Bind<&TWindowOwner::WndProc>(&a));
  WNDPROC procB = MakeObjectInstance(TWndMethod::Bind<&TWindowOwner::WndProc>(&b));
  EXPECT_NE(procA, procB);
  EXPECT_EQ(ObjectInstanceCount(), before + 2);
  EXPECT_EQ(CallWindowProcA(procA, nullptr, kFirst, 20, 0), 41);
  EXPECT_EQ(CallWindowProcA(procB, nullptr, kFirst, 20, 0), 1040);
  EXPECT_EQ(ObjectInstanceMethod(procA).Data(), &a);
  EXPECT_FALSE(ObjectInstanceMethod(reinterpret_cast<WNDPROC>(&DefWindowProcA)).Assigned());
  FreeObjectInstance(procA);
  EXPECT_FALSE(ObjectInstanceMethod(procA).Assigned());
  // A freed slot is reused, and still distinct from the live one.
  WNDPROC procC = MakeObjectInstance(TWndMethod::Bind<&TWindowOwner::WndProc>(&a));
  EXPECT_NE(procC, procB);
  EXPECT_EQ(CallWindowProcA(procC, nullptr, kFirst, 1, 0), 3);
  FreeObjectInstance(procB);
  FreeObjectInstance(procC);
  EXPECT_EQ(ObjectInstanceCount(), before);
}

TEST(ObjectInstances, ManyInstancesSpanPages) {
  TWindowOwner owner;
  std::vector<WNDPROC> procs;
  for (int i = 0; i < 300; ++i)
    procs.push_back(MakeObjectInstance(TWndMethod::Bind<&TWindowOwner::WndProc>(&owner)));
  for (WNDPROC p : procs)
    EXPECT_EQ(CallWindowProcA(p, nullptr, kFirst, 2, 0), 4);
  for (WNDPROC p : procs)
    FreeObjectInstance(p);
}

TEST(UtilityWindows, RouteMessagesToTheMethodAndStopExceptions) {
  TWindowOwner owner;
  owner.Wnd = AllocateHWnd(TWndMethod::Bind<&TWindowOwner::WndProc>(&owner));
  ASSERT_TRUE(IsWindow(owner.Wnd));
  EXPECT_FALSE(IsWindowVisible(owner.Wnd));
  auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(owner.Wnd, GWLP_WNDPROC));
  EXPECT_EQ(ObjectInstanceMethod(proc).Data(), &owner);
  EXPECT_EQ(SendMessageA(owner.Wnd, kFirst, 5, 0), 10);

  gBoundary.clear();
  TBoundaryHandler previous = SetBoundaryHandler(RecordBoundary);
  PostMessageA(owner.Wnd, kSecond, 0, 0);
  PostMessageA(owner.Wnd, kFirst, 7, 0);
  EXPECT_TRUE(PumpUntil([&] { return owner.Seen.size() >= 2 && owner.Seen.back() == kFirst; }));
  SetBoundaryHandler(previous);
  ASSERT_EQ(gBoundary.size(), 1u);
  EXPECT_EQ(gBoundary[0], "window procedure: raised in the window method");

  const int instances = ObjectInstanceCount();
  HWND wnd = owner.Wnd;
  DeallocateHWnd(wnd);
  EXPECT_FALSE(IsWindow(wnd));
  EXPECT_EQ(ObjectInstanceCount(), instances - 1);
}

}  // namespace
