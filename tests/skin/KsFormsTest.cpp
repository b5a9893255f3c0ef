// The skinned form frame on a real form: measuring, hit testing, caption buttons,
// painting through the paint buffer, activation and unhooking.
#include <gtest/gtest.h>

#include "classlib/Canvas.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "skin/KsForms.h"
#include "skin/KsGlobalBuffer.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/skin/SkinTestSupport.h"

namespace {

constexpr int kCorner = 12;

// A skinner with rounded corners whose commands are only counted.
class TTestSkin : public TKsCustomForm {
  KIVO_CLASS(TTestSkin, TKsCustomForm)
 public:
  explicit TTestSkin(TComponent* AOwner) : TKsCustomForm(AOwner) {}
  HRGN GetFormRegion() override {
    return CreateRoundRectRgn(0, 0, GetFrameWidth() + 1, GetFrameHeight() + 1, kCorner, kCorner);
  }
  void CloseForm() override { ++Closes; }
  void Minimize() override { ++Minimizes; }
  void Maximize() override { ++Maximizes; }
  void Rollup() override { ++Rollups; }
  int Closes = 0, Minimizes = 0, Maximizes = 0, Rollups = 0;
};

TKsColor SysOpaque(int index) { return ColorToKsColor(TColor(GetSysColor(index)), 255); }
TKsColor Rgb(TKsColor c) { return c & 0xFFFFFF; }

class KsFormsTest : public FormTest {
 protected:
  void Skin(bool show = true, bool blend = false, bool shadow = false) {
    Form->SetCaption("");
    Skinner = new TTestSkin(Form);
    Skinner->SetMagnetic(false);
    Skinner->SetBlend(blend);
    Skinner->SetDropShadow(shadow);
    Skinner->SetActive(true);
    Skinner->Loaded();
    if (show)
      ShowForm();
  }
  RECT WindowRect() {
    RECT r;
    GetWindowRect(Form->GetHandle(), &r);
    return r;
  }
  // Screen coordinates of a frame point.
  LPARAM ScreenAt(int x, int y) {
    RECT r = WindowRect();
    return MAKELPARAM(r.left + x, r.top + y);
  }
  TPoint Centre(const TRect& r) { return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  LRESULT Send(UINT msg, WPARAM w, LPARAM l) { return SendMessageA(Form->GetHandle(), msg, w, l); }
  TKsColor BufferPixel(int x, int y) {
    GdiFlush();
    return Rgb(KsGlobalBuffer()->GetPixel(x, y));
  }
  TTestSkin* Skinner = nullptr;
};

TEST_F(KsFormsTest, FrameIsMeasuredByTheBordersAndTheCaption) {
  Skin();
  const RECT window = WindowRect();
  EXPECT_EQ(Skinner->GetFrameWidth(), window.right - window.left);
  EXPECT_EQ(Skinner->GetFrameHeight(), window.bottom - window.top);
  const int border = Skinner->FrameBorderWidth();
  const int caption = Skinner->CaptionHeight();
  const TRect client = Skinner->GetFrameClientRect();
  EXPECT_EQ(client, (TRect{border, border + caption, Skinner->GetFrameWidth() - border, Skinner->GetFrameHeight() - border}));
  // The window's client area is exactly that rectangle.
  POINT origin{0, 0};
  ClientToScreen(Form->GetHandle(), &origin);
  EXPECT_EQ(origin.x - window.left, client.left);
  EXPECT_EQ(origin.y - window.top, client.top);
  EXPECT_EQ(Form->GetClientWidth(), client.right - client.left);
  EXPECT_EQ(Form->GetClientHeight(), client.bottom - client.top);
  EXPECT_EQ(Skinner->GetCaptionRect(), (TRect{client.left, client.top - caption, client.right, client.top - 1}));

  Skinner->SetBorderStyle(kbsNone);
  EXPECT_EQ(Skinner->GetFrameClientRect(), (TRect{0, 0, Skinner->GetFrameWidth(), Skinner->GetFrameHeight()}));
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(KsFormsTest, UpdatingTheFrameKeepsTheClientSize) {
  Skin();
  const int width = Form->GetClientWidth(), height = Form->GetClientHeight();
  Skinner->SetBorderStyle(kbsToolWindow);
  EXPECT_EQ(Form->GetClientWidth(), width);
  EXPECT_EQ(Form->GetClientHeight(), height);
  EXPECT_EQ(Skinner->GetFrameHeight() - Skinner->GetFrameClientRect().bottom, Skinner->FrameBorderWidth());
}

TEST_F(KsFormsTest, CaptionButtonsAreLaidFromTheRight) {
  Skin();
  const TRect band = Skinner->GetCaptionRect();
  const TRect close = Skinner->GetCaptionButtonRect(kbiClose);
  const int w = close.right - close.left;
  EXPECT_EQ(close.right, band.right - 2);
  EXPECT_EQ(close.top, band.top + 2);
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiMaximize).right, close.left - 2);
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiMinimize).right, close.left - 2 - w);
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiRollup).right, close.left - 2 - 2 * w - 2);
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiTray).right, close.left - 2 - 3 * w - 2);
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiHelp), TRect{});  // not shown
  const TRect icon = Skinner->GetCaptionButtonRect(kbiSystemMenu);
  EXPECT_EQ(icon, (TRect{band.left, band.top, band.left + band.bottom - band.top, band.bottom}));

  // A hidden button takes no room.
  Skinner->SetBorderIcons(TKsBorderIcons{kbiClose, kbiMinimize});
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiMinimize).right, close.left - 2);
  EXPECT_EQ(Skinner->GetCaptionButtonRect(kbiMaximize), TRect{});
}

TEST_F(KsFormsTest, ToolWindowShowsOnlyTheCloseButton) {
  Skin();
  Skinner->SetBorderStyle(kbsToolWindow);
  EXPECT_NE(Skinner->GetCaptionButtonRect(kbiClose), TRect{});
  for (TKsBorderIcon icon : {kbiMinimize, kbiMaximize, kbiHelp, kbiRollup, kbiTray})
    EXPECT_EQ(Skinner->GetCaptionButtonRect(icon), TRect{}) << icon;
  const TRect band = Skinner->GetCaptionRect();
  for (int y = 0; y < Skinner->GetFrameClientRect().top; y += 2)
    for (int x = 0; x < Skinner->GetFrameWidth(); x += 3) {
      const uint8_t code = Skinner->HitTest(x, y);
      ASSERT_TRUE(code < khtHelp || code == khtSystemMenu) << x << "," << y << " gave " << int(code);
    }
  EXPECT_EQ(Skinner->HitTest(Centre(Skinner->GetCaptionButtonRect(kbiClose)).x, Centre(band).y), khtClose);
}

TEST_F(KsFormsTest, HitTestFindsBordersGripsCaptionAndButtons) {
  Skin();
  const int w = Skinner->GetFrameWidth(), h = Skinner->GetFrameHeight();
  const TRect client = Skinner->GetFrameClientRect();
  EXPECT_EQ(Skinner->HitTest(19, 0), khtTopLeft);
  EXPECT_EQ(Skinner->HitTest(20, 0), khtTop);
  EXPECT_EQ(Skinner->HitTest(w - 20, 0), khtTop);
  EXPECT_EQ(Skinner->HitTest(w - 19, 0), khtTopRight);
  EXPECT_EQ(Skinner->HitTest(0, h / 2), khtLeft);
  EXPECT_EQ(Skinner->HitTest(0, h - 19), khtBottomLeft);
  EXPECT_EQ(Skinner->HitTest(w / 2, h - 1), khtBottom);
  EXPECT_EQ(Skinner->HitTest(w - 1, h - 1), khtBottomRight);
  EXPECT_EQ(Skinner->HitTest(w / 2, Centre(Skinner->GetCaptionRect()).y), khtCaption);
  EXPECT_EQ(Skinner->HitTest(w / 2, h / 2), khtNone);
  // The first border row and column after the client rectangle are border.
  EXPECT_EQ(Skinner->HitTest(w / 2, client.bottom), khtBottom);  // was client: bottom compared strictly
  EXPECT_EQ(Skinner->HitTest(client.right, h / 2), khtRight);    // was client: right compared strictly
  EXPECT_EQ(Skinner->HitTest(client.right - 1, h / 2), khtNone);
  for (TKsBorderIcon icon : {kbiClose, kbiMinimize, kbiMaximize, kbiRollup, kbiTray, kbiSystemMenu}) {
    const TPoint c = Centre(Skinner->GetCaptionButtonRect(icon));
    EXPECT_EQ(Skinner->HitTest(c.x, c.y), KsBorderIconHitCode(icon)) << icon;
  }
}

TEST_F(KsFormsTest, WindowAnswersHitTestsByArea) {
  Skin();
  const int w = Skinner->GetFrameWidth(), h = Skinner->GetFrameHeight();
  const int captionY = Centre(Skinner->GetCaptionRect()).y;
  EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenAt(w / 2, captionY)), HTCAPTION);
  EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenAt(0, h / 2)), HTLEFT);
  EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenAt(w - 1, h - 1)), HTBOTTOMRIGHT);
  EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenAt(w / 2, h / 2)), HTCLIENT);
  const TPoint close = Centre(Skinner->GetCaptionButtonRect(kbiClose));
  EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenAt(close.x, close.y)), HTCLOSE);
  const TPoint max = Centre(Skinner->GetCaptionButtonRect(kbiMaximize));
  EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenAt(max.x, max.y)), HTMAXBUTTON);
  const TPoint roll = Centre(Skinner->GetCaptionButtonRect(kbiRollup));
  EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenAt(roll.x, roll.y)), HTMINBUTTON);
  Skinner->SetCanMove(false);
  Skinner->SetCanResize(false);
  EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenAt(w / 2, captionY)), HTCLIENT);
  EXPECT_EQ(Send(WM_NCHITTEST, 0, ScreenAt(0, h / 2)), HTCLIENT);
}

TEST_F(KsFormsTest, WindowRegionCutsTheCorners) {
  Skin();
  TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(Form->GetHandle(), region.Get()), ERROR);
  const int w = Skinner->GetFrameWidth(), h = Skinner->GetFrameHeight();
  EXPECT_FALSE(PtInRegion(region.Get(), 0, 0));
  EXPECT_FALSE(PtInRegion(region.Get(), w - 1, h - 1));
  EXPECT_TRUE(PtInRegion(region.Get(), kCorner, 0));
  EXPECT_TRUE(PtInRegion(region.Get(), w / 2, h / 2));
  // A drop shadow adds the region's copy moved by the shadow width.
  Skinner->SetDropShadow(true);
  Form->SetBounds(Form->GetLeft(), Form->GetTop(), Form->GetWidth() + 10, Form->GetHeight());
  ASSERT_NE(GetWindowRgn(Form->GetHandle(), region.Get()), ERROR);
  EXPECT_EQ(Skinner->GetFrameWidth() + Skinner->GetShadowWidth(), Skinner->GetWindowWidth());
  EXPECT_TRUE(PtInRegion(region.Get(), Skinner->GetWindowWidth() - 1 - kCorner, Skinner->GetWindowHeight() - 1));
}

TEST_F(KsFormsTest, FrameIsPaintedByTheClassicRule) {
  Skinner = nullptr;
  Skin();
  Skinner->SetBorderIcons(TKsBorderIcons{kbiClose});
  SetForegroundWindow(Form->GetHandle());
  Send(WM_NCACTIVATE, 1, 0);
  ASSERT_TRUE(Skinner->GetActiveLook());
  const TRect client = Skinner->GetFrameClientRect();
  const TRect band = Skinner->GetCaptionRect();
  const TKsColor face = Rgb(SysOpaque(COLOR_BTNFACE));
  EXPECT_EQ(BufferPixel(band.left, band.top), Rgb(SysOpaque(COLOR_ACTIVECAPTION)));
  EXPECT_EQ(BufferPixel(band.left + 5, client.top - 1), face);  // the row below the caption
  EXPECT_EQ(BufferPixel(2, client.top + 5), face);               // left band inside the edge
  EXPECT_EQ(BufferPixel(client.right, client.top + 5), face);
  EXPECT_EQ(BufferPixel(client.left + 5, client.bottom), face);
  // The edge is DrawEdge's raised frame: measured with the same call.
  TKsBitmap edge;
  edge.SetSize(Skinner->GetFrameWidth(), Skinner->GetFrameHeight());
  RECT frame{0, 0, Skinner->GetFrameWidth(), Skinner->GetFrameHeight()};
  DrawEdge(edge.GetDC(), &frame, EDGE_RAISED, BF_RECT);
  EXPECT_EQ(BufferPixel(0, 50), Rgb(edge.GetPixel(0, 50)));
  EXPECT_EQ(BufferPixel(1, 50), Rgb(edge.GetPixel(1, 50)));
  EXPECT_EQ(BufferPixel(Skinner->GetFrameWidth() - 1, 50), Rgb(edge.GetPixel(Skinner->GetFrameWidth() - 1, 50)));
  // The close button as DrawFrameControl draws it.
  const TRect close = Skinner->GetCaptionButtonRect(kbiClose);
  TKsBitmap button;
  button.SetSize(close.right, close.bottom);
  RECT r = close;
  DrawFrameControl(button.GetDC(), &r, DFC_CAPTION, DFCS_CAPTIONCLOSE);
  GdiFlush();
  for (int y = close.top; y < close.bottom; ++y)
    for (int x = close.left; x < close.right; ++x)
      ASSERT_EQ(BufferPixel(x, y), Rgb(button.GetPixel(x, y))) << x << "," << y;
  // The bands reach the window.
  Skinner->PaintNonClient();
  TClientDC screen(nullptr);
  const RECT window = WindowRect();
  EXPECT_EQ(GetPixel(screen, window.left + band.left, window.top + band.top),
            ColorToKsColorOpaque(SysOpaque(COLOR_ACTIVECAPTION)));
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(KsFormsTest, DeactivationAndActivationRepaintTheCaption) {
  Skin();
  Skinner->SetBorderIcons(TKsBorderIcons{kbiClose});
  const TRect band = Skinner->GetCaptionRect();
  EXPECT_EQ(Send(WM_NCACTIVATE, 0, 0), 1);
  EXPECT_FALSE(Skinner->GetActiveLook());
  EXPECT_EQ(BufferPixel(band.left, band.top), Rgb(SysOpaque(COLOR_INACTIVECAPTION)));
  EXPECT_EQ(Send(WM_NCACTIVATE, 1, 0), 0);
  EXPECT_TRUE(Skinner->GetActiveLook());
  EXPECT_EQ(BufferPixel(band.left, band.top), Rgb(SysOpaque(COLOR_ACTIVECAPTION)));
}

TEST_F(KsFormsTest, CaptionButtonShowsPressedOnlyUnderThePointerAndRunsOnRelease) {
  Skin();
  const TRect close = Skinner->GetCaptionButtonRect(kbiClose);
  const TPoint c = Centre(close);
  TKsBitmap pushed;
  pushed.SetSize(close.right, close.bottom);
  RECT r = close;
  DrawFrameControl(pushed.GetDC(), &r, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_PUSHED);
  GdiFlush();
  auto looksPushed = [&] {
    for (int y = close.top; y < close.bottom; ++y)
      for (int x = close.left; x < close.right; ++x)
        if (BufferPixel(x, y) != Rgb(pushed.GetPixel(x, y)))
          return false;
    return true;
  };
  Send(WM_NCLBUTTONDOWN, HTCLOSE, ScreenAt(c.x, c.y));
  EXPECT_EQ(Skinner->GetDownCode(), khtClose);
  EXPECT_EQ(Skinner->GetHotCode(), khtClose);
  EXPECT_TRUE(looksPushed());
  // Moving off the button (the window holds the capture) shows it raised.
  const TRect client = Skinner->GetFrameClientRect();
  Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ(Skinner->GetHotCode(), 0);
  EXPECT_FALSE(looksPushed());
  // Back on it: pressed again (was raised for good after the first move).
  Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x - client.left, c.y - client.top));
  EXPECT_EQ(Skinner->GetHotCode(), khtClose);
  EXPECT_TRUE(looksPushed());
  // Released over another button: nothing runs.
  const TPoint min = Centre(Skinner->GetCaptionButtonRect(kbiMinimize));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(min.x - client.left, min.y - client.top));
  EXPECT_EQ(Skinner->Closes + Skinner->Minimizes, 0);
  EXPECT_EQ(Skinner->GetDownCode(), 0);
  EXPECT_FALSE(looksPushed());
  // Pressed and released on the same button: its command.
  for (auto [icon, count] : {std::pair{kbiClose, &Skinner->Closes}, std::pair{kbiMinimize, &Skinner->Minimizes},
                             std::pair{kbiMaximize, &Skinner->Maximizes}, std::pair{kbiRollup, &Skinner->Rollups}}) {
    const TPoint p = Centre(Skinner->GetCaptionButtonRect(icon));
    Send(WM_NCLBUTTONDOWN, HTCAPTION, ScreenAt(p.x, p.y));
    Send(WM_NCLBUTTONUP, HTCAPTION, ScreenAt(p.x, p.y));
    EXPECT_EQ(*count, 1) << icon;
  }
  // A double click on the caption maximizes.
  const TPoint caption{Skinner->GetFrameWidth() / 2, Centre(Skinner->GetCaptionRect()).y};
  EXPECT_EQ(Send(WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenAt(caption.x, caption.y)), 1);
  EXPECT_EQ(Skinner->Maximizes, 2);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(KsFormsTest, HoveringTheSystemMenuIconSetsTheHint) {
  Skin();
  const TPoint icon = Centre(Skinner->GetCaptionButtonRect(kbiSystemMenu));
  Send(WM_NCMOUSEMOVE, HTMINBUTTON, ScreenAt(icon.x, icon.y));
  EXPECT_EQ(Form->GetHint(), "Sytem Menu");
}

TEST_F(KsFormsTest, DraggingTheCaptionMovesAndTheEdgeResizes) {
  Skin();
  const RECT before = WindowRect();
  const TRect client = Skinner->GetFrameClientRect();
  const TPoint caption{Skinner->GetFrameWidth() / 2, Centre(Skinner->GetCaptionRect()).y};
  Send(WM_NCLBUTTONDOWN, HTCAPTION, ScreenAt(caption.x, caption.y));
  EXPECT_TRUE(Skinner->GetDragging());
  Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(caption.x - client.left + 30, caption.y - client.top + 20));
  RECT after = WindowRect();
  EXPECT_EQ(after.left, before.left + 30);
  EXPECT_EQ(after.top, before.top + 20);
  Send(WM_LBUTTONUP, 0, MAKELPARAM(0, 0));
  EXPECT_FALSE(Skinner->GetDragging());

  const int w = Skinner->GetFrameWidth(), h = Skinner->GetFrameHeight();
  Send(WM_NCLBUTTONDOWN, HTRIGHT, ScreenAt(w - 1, h / 2));
  Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(w - 1 - client.left + 25, h / 2 - client.top));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(0, 0));
  EXPECT_EQ(Skinner->GetFrameWidth(), w + 25);
  EXPECT_EQ(WindowRect().left, after.left);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(KsFormsTest, CaptionDragSnapsOnlyBelowTheMagneticDistance) {
  Skin();
  Skinner->SetMagnetic(true);
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const TRect client = Skinner->GetFrameClientRect();
  const TPoint caption{Skinner->GetFrameWidth() / 2, Centre(Skinner->GetCaptionRect()).y};
  auto dragTo = [&](int left) {
    Form->SetBounds(300, 300, Form->GetWidth(), Form->GetHeight());
    Send(WM_NCLBUTTONDOWN, HTCAPTION, ScreenAt(caption.x, caption.y));
    Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(caption.x - client.left + left - 300, caption.y - client.top));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(0, 0));
    return WindowRect().left;
  };
  EXPECT_EQ(dragTo(work.left + 19), work.left);
  EXPECT_EQ(dragTo(work.left + 20), work.left + 20);
}

TEST_F(KsFormsTest, OutlineDragMovesTheWindowOnlyOnRelease) {
  Skin();
  Skinner->SetSimpleDrag(true);
  const RECT before = WindowRect();
  const TRect client = Skinner->GetFrameClientRect();
  const TPoint caption{Skinner->GetFrameWidth() / 2, Centre(Skinner->GetCaptionRect()).y};
  Send(WM_NCLBUTTONDOWN, HTCAPTION, ScreenAt(caption.x, caption.y));
  EXPECT_FALSE(Skinner->GetPaintEnabled());
  Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(caption.x - client.left + 40, caption.y - client.top + 10));
  EXPECT_EQ(WindowRect().left, before.left);
  Send(WM_LBUTTONUP, 0, MAKELPARAM(caption.x - client.left + 40, caption.y - client.top + 10));
  EXPECT_EQ(WindowRect().left, before.left + 40);
  EXPECT_EQ(WindowRect().top, before.top + 10);
  EXPECT_TRUE(Skinner->GetPaintEnabled());
  EXPECT_TRUE(Skinner->GetSimpleDrag());
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(KsFormsTest, ClientBackgroundIsPaintedThroughTheBufferWithOnPaint) {
  Skin();
  Form->SetColor(TColor(RGB(10, 200, 30)));
  struct TPainter {
    int Calls = 0;
    void Paint(TCanvas*) { ++Calls; }
  } painter;
  Skinner->OnPaint = TPaintEvent::Bind<&TPainter::Paint>(&painter);
  TKsBitmap target;
  target.SetSize(Form->GetClientWidth(), Form->GetClientHeight());
  target.Fill(kBack);
  EXPECT_EQ(Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.GetDC()), 0), 1);
  EXPECT_EQ(painter.Calls, 1);
  ExpectPixels(target, [](int, int) { return Argb(255, 10, 200, 30); });
  Skinner->OnPaint = TPaintEvent();
  EXPECT_EQ(Send(KM_ISBLENDED, 0, 0), 0);
}

TEST_F(KsFormsTest, DropShadowDarkensTheCapturedBackground) {
  Skin(true, false, true);
  ASSERT_EQ(Skinner->GetWindowWidth(), Skinner->GetFrameWidth() + Skinner->GetShadowWidth());
  const TKsBitmap& back = *Skinner->GetBackground();
  ASSERT_EQ(back.GetWidth(), Skinner->GetWindowWidth());
  Skinner->PaintNonClient();
  const int ww = Skinner->GetWindowWidth(), wh = Skinner->GetWindowHeight();
  const TKsColor shadow = KsColorARGB(0x90, 63, 63, 63);
  // The corner beside the shadow shows the background plainly; the shadow darkens it.
  EXPECT_EQ(BufferPixel(ww - 1, 0), Rgb(back.GetPixel(ww - 1, 0)));
  EXPECT_EQ(BufferPixel(ww - 1, wh - 1), Rgb(KsAlphaBlendPixel(shadow, back.GetPixel(ww - 1, wh - 1))));
  EXPECT_EQ(BufferPixel(ww / 2, wh - 1), Rgb(KsAlphaBlendPixel(shadow, back.GetPixel(ww / 2, wh - 1))));
  EXPECT_EQ(BufferPixel(1, wh - 1), Rgb(back.GetPixel(1, wh - 1)));
}

TEST_F(KsFormsTest, TranslucentFrameIsComposedWithTheBackgroundInItsOwnBuffer) {
  Skin(true, true);
  EXPECT_EQ(Send(KM_ISBLENDED, 0, 0), 1);
  TKsBitmap* buffer = Skinner->GetBuffer();
  ASSERT_NE(buffer, KsGlobalBuffer());
  EXPECT_EQ(buffer->GetWidth(), Skinner->GetWindowWidth());
  const TKsBitmap& back = *Skinner->GetBackground();
  ASSERT_FALSE(back.Empty());
  Skinner->PaintNonClient();
  GdiFlush();
  const int y = Skinner->GetFrameClientRect().top + 5;
  const TKsColor face = (SysOpaque(COLOR_BTNFACE) & 0xFFFFFF) | TKsColor(Skinner->GetBlendValue()) << 24;
  EXPECT_EQ(Rgb(buffer->GetPixel(2, y)), Rgb(KsAlphaBlendPixel(face, back.GetPixel(2, y))));
}

TEST_F(KsFormsTest, ShowAnimationRunsAndLeavesTheFormPainting) {
  // Fault: a show in place (no move, no size) skipped the show animation altogether.
  Skin(false);
  Skinner->SetShowAnimation(kaFade);
  Skinner->SetShowAnimationTime(30);
  ShowForm();
  EXPECT_TRUE(IsWindowVisible(Form->GetHandle()));
  EXPECT_TRUE(Skinner->GetPaintEnabled());
  EXPECT_FALSE(Skinner->GetBackground()->Empty());
  EXPECT_EQ(Skinner->GetBackground()->GetWidth(), Skinner->GetWindowWidth());
  EXPECT_TRUE(Exceptions.Messages.empty());
}

TEST_F(KsFormsTest, MeasuringWithoutValidRectsStillLeavesTheFrameOut) {
  // Fault: the plain form of WM_NCCALCSIZE gave the whole window as client area.
  Skin();
  RECT r = WindowRect();
  const RECT window = r;
  Send(WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
  const TRect client = Skinner->GetFrameClientRect();
  EXPECT_EQ(r.left, window.left + client.left);
  EXPECT_EQ(r.top, window.top + client.top);
  EXPECT_EQ(r.right, window.left + client.right);
  EXPECT_EQ(r.bottom, window.top + client.bottom);
}

TEST_F(KsFormsTest, MovingKeepsTheFrameSize) {
  // Fault: a move without size shrank the frame to the smallest size (cx, cy are 0).
  Skin();
  const int w = Skinner->GetFrameWidth(), h = Skinner->GetFrameHeight();
  SetWindowPos(Form->GetHandle(), nullptr, 250, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(Skinner->GetFrameWidth(), w);
  EXPECT_EQ(Skinner->GetFrameHeight(), h);
  EXPECT_EQ(WindowRect().left, 250);
}

TEST_F(KsFormsTest, ActivationChainsTheApplicationHandlersAndFreeingPutsThemBack) {
  struct TCounter {
    int Minimized = 0;
    void Count(TObject*) { ++Minimized; }
  } counter;
  const TNotifyEvent previousRestore = Application->OnRestore;
  Application->OnMinimize = TNotifyEvent::Bind<&TCounter::Count>(&counter);
  Skin();
  Send(WM_NCACTIVATE, 1, 0);
  ASSERT_TRUE(Skinner->GetAppHooked());
  Application->OnMinimize(Application);
  EXPECT_EQ(Skinner->Minimizes, 1);
  EXPECT_EQ(counter.Minimized, 1);  // the previous handler still runs
  EXPECT_EQ(Skinner->GetTrayIcon().cbSize, 88u);
  EXPECT_EQ(Skinner->GetTrayIcon().uCallbackMessage, KM_TRAYCALLBACK);
  EXPECT_EQ(Skinner->GetTrayIcon().hWnd, Skinner->GetTrayWindow());
  const HWND tray = Skinner->GetTrayWindow();
  EXPECT_TRUE(IsWindow(tray));
  delete Skinner;
  Skinner = nullptr;
  EXPECT_FALSE(IsWindow(tray));
  Application->OnMinimize(Application);
  EXPECT_EQ(counter.Minimized, 2);
  EXPECT_EQ(bool(Application->OnRestore), bool(previousRestore));
  Application->OnMinimize = TNotifyEvent();
}

TEST_F(KsFormsTest, FreeingTheSkinnerLeavesTheFormWorking) {
  WNDPROC native = nullptr;
  Form->HandleNeeded();
  native = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Form->GetHandle(), GWLP_WNDPROC));
  Skin();
  EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Form->GetHandle(), GWLP_WNDPROC)), native);
  delete Skinner;
  Skinner = nullptr;
  PumpPending();
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Form->GetHandle(), GWLP_WNDPROC)), native);
  Form->SetBounds(320, 330, 260, 190);
  SendMessageA(Form->GetHandle(), WM_NCACTIVATE, 0, 0);
  PumpPending();
  RECT r = WindowRect();
  EXPECT_EQ(r.right - r.left, 260);
  EXPECT_EQ(Form->GetWidth(), 260);
  EXPECT_TRUE(Exceptions.Messages.empty());
}

}  // namespace
