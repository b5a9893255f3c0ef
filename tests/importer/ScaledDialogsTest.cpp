// The importer's dialogs, themed as the plug-in shows them, on screens of more pixels per
// inch than they were designed at: laid out larger by the screen's density, so that the
// texts, which grow with it, keep their room. Measured at 120 and 144 on the build's
// screen of 96 (the class library is told the density), or at the screen's own density
// in a prefix of another (scripts/dpirun).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/StringList.h"
#include "host/DialogTheme.h"
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
    const int mark = box->GetThemeEngine()->GetTheme()->GetSize(16);
    EXPECT_LE(TextWidth(box->GetFont(), "View Report") + box->GetSpacing() + mark, box->GetWidth()) << dpi;
  }
}
