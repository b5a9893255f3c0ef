#include <memory>

#include <gtest/gtest.h>

#include "classlib/ImageList.h"
#include "classlib/Timer.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

// A strip of two 16 x 16 images on fuchsia: a blue square and a black square.
std::unique_ptr<TBitmap> TwoImageStrip() {
  auto strip = std::make_unique<TBitmap>();
  strip->SetSize(32, 16);
  TCanvas* c = strip->GetCanvas();
  c->GetBrush()->SetColor(clFuchsia);
  c->FillRect(Rect(0, 0, 32, 16));
  c->GetBrush()->SetColor(clBlue);
  c->FillRect(Rect(4, 4, 12, 12));
  c->GetBrush()->SetColor(clBlack);
  c->FillRect(Rect(20, 4, 28, 12));
  return strip;
}

TEST(ImageList, AddsMaskedStripsWithoutTouchingTheSourceAndDrawsThem) {
  const int lists = LiveHandleCount(THandleKind::ImageList);
  {
    TImageList images(nullptr);
    auto strip = TwoImageStrip();
    EXPECT_EQ(images.AddMasked(strip.get(), clFuchsia), 0);
    EXPECT_EQ(images.GetCount(), 2);
    EXPECT_EQ(LiveHandleCount(THandleKind::ImageList), lists + 1);
    // comctl32 blackens the masked pixels of the bitmap it gets; ours keeps its colours.
    EXPECT_EQ(strip->GetCanvas()->GetPixel(0, 0), clFuchsia);

    TDibSurface surface(20, 20);
    surface.Fill(RGB(0, 128, 0));
    TCanvas canvas;
    canvas.SetHandle(surface.DC());
    images.Draw(&canvas, 2, 2, 0);
    EXPECT_EQ(surface.Color(2, 2), RGB(0, 128, 0));  // masked
    EXPECT_EQ(surface.Color(6, 6), RGB(0, 0, 255));
    EXPECT_EQ(surface.Color(14, 14), RGB(0, 128, 0));

    // Greyed: the dark square in the highlight colour shifted by one, then the shadow colour.
    surface.Fill(RGB(0, 128, 0));
    images.Draw(&canvas, 0, 0, 1, false);
    EXPECT_EQ(surface.Color(4, 4), ColorToRGB(clBtnShadow));
    EXPECT_EQ(surface.Color(11, 11), ColorToRGB(clBtnShadow));
    EXPECT_EQ(surface.Color(12, 12), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(surface.Color(2, 2), RGB(0, 128, 0));
    canvas.SetHandle(nullptr);
  }
  EXPECT_EQ(LiveHandleCount(THandleKind::ImageList), lists);
}

TEST(ImageList, ChangeLinksHearChangesAndOutliveOrPrecedeTheirList) {
  struct TCounter {
    int Changes = 0;
    TObject* Sender = nullptr;
    void Changed(TObject* sender) {
      ++Changes;
      Sender = sender;
    }
  } counter;
  auto link = std::make_unique<TChangeLink>();
  link->OnChange = TNotifyEvent::Bind<&TCounter::Changed>(&counter);
  auto images = std::make_unique<TImageList>(nullptr);
  images->RegisterChanges(link.get());
  auto strip = TwoImageStrip();
  images->AddMasked(strip.get(), clDefault);  // the strip's bottom-left pixel: fuchsia
  EXPECT_EQ(counter.Changes, 1);
  EXPECT_EQ(counter.Sender, images.get());
  images->Delete(0);
  EXPECT_EQ(counter.Changes, 2);
  EXPECT_THROW(images->Delete(5), EInvalidOperation);
  images.reset();  // the list goes first: the link forgets it
  EXPECT_EQ(link->GetSender(), nullptr);

  auto second = std::make_unique<TImageList>(nullptr);
  {
    TChangeLink shortLived;
    second->RegisterChanges(&shortLived);
  }  // the link goes first: it left the list
  second->Clear();
}

TEST(Timer, FiresWhileEnabledAndHandsExceptionsToTheApplication) {
  TExceptionRecorder exceptions;
  struct TTicks {
    int Count = 0;
    bool Raise = false;
    void Tick(TObject*) {
      ++Count;
      if (Raise)
        throw Exception("tick failed");
    }
  } ticks;
  TTimer timer(nullptr);
  EXPECT_FALSE(timer.Running());  // no handler yet
  timer.SetInterval(15);
  timer.SetOnTimer(TNotifyEvent::Bind<&TTicks::Tick>(&ticks));
  EXPECT_TRUE(timer.Running());
  EXPECT_TRUE(PumpUntil([&] { return ticks.Count >= 3; }, 3000));
  ticks.Raise = true;
  ASSERT_TRUE(PumpUntil([&] { return exceptions.Messages.size() >= 2; }, 3000));  // read below
  EXPECT_EQ(exceptions.Messages[0], "tick failed");
  EXPECT_EQ(exceptions.Senders[0], &timer);
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
  PumpPending();
  const int count = ticks.Count;
  PumpUntil([] { return false; }, 100);
  EXPECT_EQ(ticks.Count, count);
}

}  // namespace
