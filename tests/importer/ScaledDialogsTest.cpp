// The importer's dialogs, themed as the plug-in shows them, on screens of more pixels per
// inch than they were designed at: laid out larger by the screen's density, so that the
// texts, which grow with it, keep their room. Measured at 120 and 144 on the build's
// screen of 96 (the class library is told the density), or at the screen's own density
// in a prefix of another (scripts/dpirun). The error box follows the system's own
// metrics (its message font and icon size), so it is measured at the screen's density.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "classlib/StringList.h"
#include "classlib/ExtCtrls.h"
#include "host/DialogTheme.h"
#include "host/EDAClientMessageForm.h"
#include "host/Utilities.h"
#include "importer/TranslationStatus.h"
#include "importer/UserOptions.h"
#include "skin/KsCheckBoxes.h"
#include "skin/TeThemeEngine.h"
#include "standin/host/StandinHost.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

std::vector<int> Densities() {
  const int own = ScreenPixelsPerInch();
  return own != 96 ? std::vector<int>{own} : std::vector<int>{120, 144};
}

int Scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

// The size DrawText gives `text` in `font` on the screen's DC, as labels measure.
SIZE TextSize(TFont* font, const std::string& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font->GetHandle());
  RECT r{0, 0, 0, 0};
  DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return SIZE{r.right, r.bottom};
}

int TextWidth(TFont* font, const std::string& text) { return TextSize(font, text).cx; }

// Where the system drew a check box's caption: the first column with ink after the
// mark and the gap beside it, as the box shows on the screen.
int CaptionStart(TWinControl* box) {
  TDibSurface surface(box->GetWidth(), box->GetHeight());
  HDC dc = GetDC(box->GetHandle());
  BitBlt(surface.DC(), 0, 0, surface.Width(), surface.Height(), dc, 0, 0, SRCCOPY);
  ReleaseDC(box->GetHandle(), dc);
  GdiFlush();
  const COLORREF face = surface.Color(surface.Width() - 1, 0);
  auto ink = [&](int x) {
    for (int y = 0; y < surface.Height(); ++y)
      if (surface.Color(x, y) != face)
        return true;
    return false;
  };
  int x = 0;
  while (x < surface.Width() && ink(x))
    ++x;
  while (x < surface.Width() && !ink(x))
    ++x;
  return x;
}

// The size of a check box's mark as the box shows on the screen: the run of columns with
// ink at the mark's side of the box, and the rows with ink in that run. The face is the
// top corner on the other side, which the mark and the caption, centred, leave clear.
SIZE MarkSize(TWinControl* box, bool markRight) {
  TDibSurface surface(box->GetWidth(), box->GetHeight());
  HDC dc = GetDC(box->GetHandle());
  BitBlt(surface.DC(), 0, 0, surface.Width(), surface.Height(), dc, 0, 0, SRCCOPY);
  ReleaseDC(box->GetHandle(), dc);
  GdiFlush();
  const COLORREF face = surface.Color(markRight ? 0 : surface.Width() - 1, 0);
  auto inkAt = [&](int x, int y) { return surface.Color(x, y) != face; };
  auto inkInColumn = [&](int x) {
    for (int y = 0; y < surface.Height(); ++y)
      if (inkAt(x, y))
        return true;
    return false;
  };
  const int step = markRight ? -1 : 1;
  int x = markRight ? surface.Width() - 1 : 0;
  while (x >= 0 && x < surface.Width() && !inkInColumn(x))
    x += step;
  int width = 0, top = surface.Height(), bottom = 0;
  for (; x >= 0 && x < surface.Width() && inkInColumn(x); x += step, ++width)
    for (int y = 0; y < surface.Height(); ++y)
      if (inkAt(x, y)) {
        top = std::min(top, y);
        bottom = std::max(bottom, y + 1);
      }
  return SIZE{width, std::max(0, bottom - top)};
}

// The size of the image an icon handle holds.
SIZE IconImageSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info))
    return SIZE{};
  BITMAP bitmap{};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  const SIZE size{bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2};
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return size;
}

// Where a word-wrapping label's text leaves ink when drawn unclipped in its rectangle
// (left, top at 0), by the label's own call: DrawText in its font.
TRect TextInk(TCustomLabel* label) {
  constexpr int pad = 16;
  TDibSurface surface(label->GetWidth() + 2 * pad, label->GetHeight() + 2 * pad);
  surface.Fill(RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(surface.DC(), label->GetFont()->GetHandle());
  SetBkMode(surface.DC(), TRANSPARENT);
  RECT r{pad, pad, pad + label->GetWidth(), pad + label->GetHeight()};
  const std::string text = label->GetCaption();
  DrawTextA(surface.DC(), text.c_str(), int(text.size()), &r, DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP);
  SelectObject(surface.DC(), old);
  GdiFlush();
  int left = surface.Width(), top = surface.Height(), right = -pad, bottom = -pad;
  for (int y = 0; y < surface.Height(); ++y)
    for (int x = 0; x < surface.Width(); ++x)
      if (surface.Color(x, y) != RGB(255, 255, 255)) {
        left = std::min(left, x - pad);
        top = std::min(top, y - pad);
        right = std::max(right, x - pad + 1);
        bottom = std::max(bottom, y - pad + 1);
      }
  return TRect{left, top, right, bottom};
}

class ScaledDialogsTest : public testing::Test {
 protected:
  void SetUp() override {
    SetCursorPos(0, 0);
    SetActiveWindow(standin::MainWindowHandle());
    RedirectUserDataFolder(EmptiedTempFolder("kivo-scaled-dialogs"));
    StartDialogTheme("KivoHost.exe");
  }
  void TearDown() override {
    SetScreenPixelsPerInch(0);
    FinalizeDialogTheme();
    RedirectUserDataFolder("");
    PumpPending();
    EXPECT_TRUE(Exceptions.Messages.empty()) << Exceptions.Messages.front();
  }
  TExceptionRecorder Exceptions;
};

}  // namespace

// Fault: at 144 pixels per inch the options dialog kept its 96-pixel size while its texts
// grew: check-box captions cut ("View Warr"), "Status:" over its value, the help text
// short of lines; cause: the dialog's build was never scaled to the screen's density.
TEST_F(ScaledDialogsTest, TheOptionsDialogGivesItsGrownTextsTheirRoom) {
  for (int dpi : Densities()) {
    SetScreenPixelsPerInch(dpi);
    std::unique_ptr<TTranslateDialog> dialog(new TTranslateDialog(nullptr));
    TStringList layers;
    layers.Add("COMP");
    layers.Add("SOLDER");
    dialog->LoadLayers(&layers);
    dialog->Show();
    PumpPending();
    EXPECT_EQ(dialog->GetClientWidth(), Scaled(590, dpi));
    EXPECT_EQ(dialog->GetClientHeight(), Scaled(451, dpi));
    for (TCheckBox* box : {dialog->CheckBoxViewErrors, dialog->CheckBoxViewWarnings, dialog->CheckBoxViewEvents})
      EXPECT_LE(CaptionStart(box) + TextWidth(box->GetFont(), WithoutAccel(box->GetCaption())), box->GetWidth())
          << box->GetCaption() << " at " << dpi;
    auto* status = ObjectAs<TControl>(dialog->FindComponent("LabelStatusCaption"));
    EXPECT_LE(status->GetLeft() + status->GetWidth(), dialog->LabelStatus->GetLeft()) << dpi;
    // The help text's last line lies within its box.
    HWND help = dialog->RichEdit1->GetHandle();
    POINTL last{};
    SendMessageA(help, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&last), GetWindowTextLengthA(help) - 1);
    EXPECT_LE(last.y + TextSize(dialog->RichEdit1->GetFont(), "0").cy, dialog->RichEdit1->GetClientHeight()) << dpi;
    // The layer list opens over the cell, its left edge where the design puts it.
    TStringGrid* grid = dialog->StringGridAssociations;
    EXPECT_EQ(grid->GetColWidths(0), Scaled(103, dpi));
    const TRect cell = grid->CellRect(2, 1);
    dialog->StringGridAssociationsMouseDown(grid, mbLeft, {}, cell.left + 3, cell.top + 3);
    RECT combo{};
    GetWindowRect(dialog->ComboBoxVarnokLayers->GetHandle(), &combo);
    const TPoint origin = grid->ClientToScreen(TPoint{0, 0});
    EXPECT_EQ(combo.left, origin.x + grid->GetColWidths(0) + grid->GetColWidths(1)) << dpi;
    EXPECT_EQ(combo.top, origin.y + cell.top) << dpi;
  }
}

// Fault: at 144 pixels per inch the status dialog cut its text ("Complete, 3 Warnin")
// and drew its report box over its caption; cause: its build and its font of -11 pixels
// were never scaled to the screen's density.
TEST_F(ScaledDialogsTest, TheStatusDialogGivesItsGrownTextsTheirRoom) {
  for (int dpi : Densities()) {
    SetScreenPixelsPerInch(dpi);
    TTranslationStatus dialog(nullptr);
    dialog.ShowOutcome(true, 3);
    EXPECT_EQ(dialog.GetClientWidth(), Scaled(239, dpi));
    EXPECT_EQ(dialog.GetClientHeight(), Scaled(100, dpi));
    EXPECT_EQ(dialog.GetFont()->GetHeight(), Scaled(-11, dpi));
    TLabel* label = dialog.GetLabelStatus();
    EXPECT_LE(label->GetLeft() + label->GetWidth(), dialog.GetClientWidth()) << dpi;
    TTeThemeCheckBox* box = dialog.GetCheckBoxViewReport();
    EXPECT_EQ(box->GetHeight(), Scaled(19, dpi));
    const int mark = RectWidth(box->GetMarkRect());
    EXPECT_GE(mark, Scaled(box->GetThemeEngine()->GetTheme()->GetSize(16), dpi)) << dpi;
    EXPECT_LE(TextWidth(box->GetFont(), "View Report") + box->GetSpacing() + mark, box->GetWidth()) << dpi;
  }
}

// Fault: at 144 pixels per inch the status dialog's check box kept its mark of 13 pixels
// while the options dialog's grew to the screen's; cause: the themed box drew the theme's
// artwork at its own size. Both measured on the screen, at the screen's own density.
TEST_F(ScaledDialogsTest, TheStatusDialogsCheckMarkGrowsAsTheOptionsDialogsDo) {
  std::unique_ptr<TTranslateDialog> options(new TTranslateDialog(nullptr));
  options->Show();
  PumpPending();
  const SIZE expected = MarkSize(options->CheckBoxViewErrors, /*markRight=*/false);
  EXPECT_GE(expected.cx, Scaled(12, ScreenPixelsPerInch()));
  options.reset();
  TTranslationStatus status(nullptr);
  status.ShowOutcome(true, 3);
  status.Show();
  PumpPending();
  const SIZE mark = MarkSize(status.GetCheckBoxViewReport(), /*markRight=*/true);
  EXPECT_EQ(mark.cx, expected.cx) << ScreenPixelsPerInch();
  EXPECT_EQ(mark.cy, expected.cy) << ScreenPixelsPerInch();
}

// Fault: at 120 pixels per inch the error box cut the last letters of its lines
// ("Shutdown server and try agair", "...\AppData\Roamin") and at 120 and 144 showed only
// the top-left corner of its icon; cause: it was laid out for an icon of 32 pixels (the
// system's are 40 and 48 there) and for the advances DrawText measures, which the drawn
// glyphs of the message font overrun at 120.
TEST_F(ScaledDialogsTest, TheErrorBoxShowsItsWholeIconAndEveryLineWhole) {
  const std::string messages[] = {
      "Could not create new file\rShutdown server and try again",
      "Could not read the default layer map from the settings file "
      "\"C:\\users\\root\\AppData\\Roaming\\Vantor\\LoadKIVO.ini\" because it holds no [Layer] section (it "
      "may be damaged, or saved as Unicode text). The built-in layer map is used instead."};
  const SIZE system{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
  for (const std::string& text : messages) {
    std::unique_ptr<TEDAClientMessageForm> form(BuildHostMessageForm(text, mtError, {mbOK}));
    auto* image = ObjectAs<TImage>(form->FindComponent("Image"));
    ASSERT_NE(image, nullptr);
    const SIZE icon = IconImageSize(image->GetPicture()->GetIcon()->GetHandle());
    EXPECT_EQ(icon.cx, system.cx);
    EXPECT_EQ(icon.cy, system.cy);
    EXPECT_EQ(image->GetWidth(), icon.cx) << text;
    EXPECT_EQ(image->GetHeight(), icon.cy) << text;
    auto* label = ObjectAs<TLabel>(form->FindComponent("Message"));
    ASSERT_NE(label, nullptr);
    EXPECT_GT(label->GetLeft(), image->GetLeft() + image->GetWidth()) << text;
    EXPECT_LE(label->GetLeft() + label->GetWidth(), form->GetClientWidth()) << text;
    const TRect ink = TextInk(label);
    EXPECT_GE(ink.left, 0) << text;
    EXPECT_GE(ink.top, 0) << text;
    EXPECT_LE(ink.right, label->GetWidth()) << text;
    EXPECT_LE(ink.bottom, label->GetHeight()) << text;
    // Drawn at the label's width the text breaks into the lines its height was given for.
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, label->GetFont()->GetHandle());
    RECT lines{0, 0, label->GetWidth(), 0};
    DrawTextA(dc, text.c_str(), int(text.size()), &lines, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(lines.bottom, label->GetHeight()) << text;
  }
}
