// Draws a contact sheet of the native XP theme's parts, each through the theme and so
// through the system's visual-style library, into a 24-bit BMP file for people to look
// at: form frames and caption buttons, push buttons, check and radio marks, track and
// progress bars, scroll-bar parts, tabs, edit frames and combo buttons, tool-bar parts,
// the group box, the menus and the explorer bar, one labelled cell per part and state.
// It runs only where a visual style is on (scripts/themedrun); elsewhere it says so and
// exits with 2.
//
//   XPSheet.exe <output.bmp>
//
// scripts/xpsheet.sh runs it and turns the picture into docs/xp-contact-sheet.png.
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "XPSheetUnits.h"

#include "classlib/Boundary.h"
#include "classlib/Startup.h"
#include "skin/KsBitmap.h"
#include "skin/TeTheme.h"
#include "skin/TeThemeXP.h"
#include "skin/TeThemeXPImpl.h"

namespace {

constexpr int kSheetWidth = 1000;
constexpr int kMargin = 10;
constexpr int kLabelHeight = 14;
constexpr TKsColor kPaper = KsColorARGB(255, 255, 255, 255);
constexpr TKsColor kInk = KsColorARGB(255, 0, 0, 0);

// Cells laid out left to right in rows under titles, on one tall bitmap.
class TSheet {
 public:
  TSheet() {
    FBitmap.SetSize(kSheetWidth, 4000);
    FBitmap.Fill(kPaper);
    FBitmap.GetFont()->SetName("Tahoma");
    FBitmap.GetFont()->SetSize(8);
  }

  void Title(const std::string& title) {
    NewRow();
    FBitmap.GetFont()->SetStyle(TFontStyles{fsBold});
    FBitmap.GetFont()->SetColor(clBlack);
    FBitmap.DrawText(title, {kMargin, FY, kSheetWidth - kMargin, FY + 16}, DT_LEFT | DT_SINGLELINE);
    FBitmap.GetFont()->SetStyle(TFontStyles{});
    FY += 18;
  }

  // One part: `draw` paints a `width` x `height` cell filled with the face colour.
  void Cell(const std::string& label, int width, int height,
            const std::function<void(TKsBitmap&)>& draw) {
    const int cellWidth = std::max(width, FBitmap.TextWidth(label, 0) + 4);
    if (FX + cellWidth > kSheetWidth - kMargin)
      NewRow();
    TKsBitmap cell;
    cell.SetSize(width, height);
    cell.Fill(ColorToKsColor(clBtnFace, 255));
    draw(cell);
    GdiFlush();
    cell.DrawTo(FBitmap, FX, FY);
    FBitmap.GetFont()->SetColor(clBlack);
    FBitmap.DrawText(label, {FX, FY + height + 1, FX + cellWidth, FY + height + 1 + kLabelHeight},
                     DT_LEFT | DT_SINGLELINE);
    FX += cellWidth + 8;
    FRowHeight = std::max(FRowHeight, height + kLabelHeight + 4);
  }

  void Note(const std::string& text) {
    FBitmap.GetFont()->SetColor(clGray);
    FBitmap.DrawText(text, {FX, FY, kSheetWidth - kMargin, FY + kLabelHeight}, DT_LEFT | DT_SINGLELINE);
    FRowHeight = std::max(FRowHeight, kLabelHeight + 4);
  }

  // The used part of the sheet as a bottom-up 24-bit BMP file.
  std::string Bmp() {
    NewRow();
    GdiFlush();
    const int width = kSheetWidth, height = FY + kMargin;
    const int stride = (width * 3 + 3) & ~3;
    std::string file(54 + size_t(stride) * height, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
      for (int i = 0; i < 4; ++i)
        file[at + i] = char(v >> (8 * i) & 0xFF);
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, uint32_t(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < height; ++y) {
      char* row = file.data() + 54 + size_t(height - 1 - y) * stride;
      for (int x = 0; x < width; ++x) {
        const TKsColor c = FBitmap.GetPixel(x, y);
        row[3 * x] = char(KsBlue(c));
        row[3 * x + 1] = char(KsGreen(c));
        row[3 * x + 2] = char(KsRed(c));
      }
    }
    return file;
  }

 private:
  void NewRow() {
    if (FRowHeight > 0)
      FY += FRowHeight + 4;
    FX = kMargin;
    FRowHeight = 0;
    if (FY == 0)
      FY = kMargin;
  }

  TKsBitmap FBitmap;
  int FX = kMargin, FY = 0, FRowHeight = 0;
};

TTeItemData Item(const std::string& caption) {
  TTeItemData item;
  item.Caption = caption;
  return item;
}

void DrawSheet(TTeThemeXP& theme, TSheet& sheet) {
  const char* kStates[] = {"normal", "hot", "pressed", "disabled", "focused", "default"};
  const char* kButtons[] = {"close", "help", "minimize", "maximize", "restore"};

  sheet.Title("Form frames (DrawFormFrame) and caption buttons (DrawCaptionButton)");
  for (bool active : {true, false})
    sheet.Cell(active ? "active frame" : "inactive frame", 220, 110, [&](TKsBitmap& b) {
      theme.DrawFormFrame(b, 220, 110, {4, theme.GetSize(2), 216, 106}, active, kbsStandard);
    });
  for (int kind = 0; kind < 5; ++kind)
    for (int state = 0; state < 4; ++state)
      sheet.Cell(std::string(kButtons[kind]) + " " + kStates[state == 3 ? 3 : state], 28, 21,
                 [&](TKsBitmap& b) {
                   theme.DrawCaptionButton(b, {2, 2, 26, 19}, kind, state == 1, state == 2,
                                           state != 3, kbsStandard);
                 });
  sheet.Cell("tool close", 28, 21, [&](TKsBitmap& b) {
    theme.DrawCaptionButton(b, {5, 3, 18, 16}, 0, false, false, true, kbsToolWindow);
  });

  sheet.Title("Push buttons (DrawButton), states 0-5");
  for (int state = 0; state <= 5; ++state)
    sheet.Cell(kStates[state], 75, 23, [&](TKsBitmap& b) { theme.DrawButton(b, 75, 23, state); });

  sheet.Title("Check boxes (DrawCheckBox) and radio buttons (DrawRadioButton)");
  const char* kChecks[] = {"unchecked", "checked", "mixed"};
  for (int check = 0; check < 3; ++check)
    for (int state = 0; state < 4; ++state)
      sheet.Cell(std::string(kChecks[check]) + " " + kStates[state], 20, 20, [&](TKsBitmap& b) {
        theme.DrawCheckBox(b, {2, 2, 15, 15}, state, check);
      });
  for (bool checked : {false, true})
    for (int state = 0; state < 4; ++state)
      sheet.Cell(std::string(checked ? "radio on " : "radio off ") + kStates[state], 20, 20,
                 [&](TKsBitmap& b) { theme.DrawRadioButton(b, {2, 2, 15, 15}, state, checked); });

  sheet.Title("Track bars (DrawTrackBarTrack, DrawTrackBarThumb) and progress (DrawProgressFrame, DrawProgressBar)");
  sheet.Cell("track", 150, 24, [&](TKsBitmap& b) { theme.DrawTrackBarTrack(b, {4, 10, 146, 14}, {}); });
  sheet.Cell("track vert", 24, 80, [&](TKsBitmap& b) { theme.DrawTrackBarTrack(b, {10, 4, 14, 76}, {}); });
  const char* kShapes[] = {"both", "bottom", "top"};
  for (int shape = 0; shape < 3; ++shape)
    for (int state = 0; state < 4; ++state)
      sheet.Cell(std::string(kShapes[shape]) + " " + kStates[state], 24, 26, [&](TKsBitmap& b) {
        theme.DrawTrackBarThumb(b, {6, 2, 17, 24}, false, shape, state);
      });
  const char* kVShapes[] = {"vert", "right", "left"};
  for (int shape = 0; shape < 3; ++shape)
    sheet.Cell(kVShapes[shape], 26, 20, [&](TKsBitmap& b) {
      theme.DrawTrackBarThumb(b, {2, 4, 24, 15}, true, shape, 0);
    });
  sheet.Cell("progress", 160, 22, [&](TKsBitmap& b) {
    theme.DrawProgressFrame(b, {2, 2, 158, 20});
    theme.DrawProgressBar(b, {2, 2, 158, 20}, {5, 5, 100, 17}, false, false);
  });
  sheet.Cell("progress vert", 22, 90, [&](TKsBitmap& b) {
    theme.DrawProgressFrame(b, {2, 2, 20, 88});
    theme.DrawProgressBar(b, {2, 2, 20, 88}, {5, 40, 17, 85}, true, false);
  });

  sheet.Title("Scroll bars (DrawScrollBarArrowButton, DrawScrollBarThumb, DrawScrollBarTrack, DrawScrollBarSizeBox)");
  const char* kArrows[] = {"up", "down", "left", "right"};
  for (int arrow = 0; arrow < 4; ++arrow)
    for (int state = 0; state < 4; ++state)
      sheet.Cell(std::string(kArrows[arrow]) + " " + kStates[state], 17, 17, [&](TKsBitmap& b) {
        theme.DrawScrollBarArrowButton(b, {0, 0, 17, 17}, arrow < 2, arrow % 2 == 0, state);
      });
  for (int state = 0; state < 4; ++state)
    sheet.Cell(std::string("thumb ") + kStates[state], 17, 60, [&](TKsBitmap& b) {
      theme.DrawScrollBarTrack(b, {0, 0, 17, 60}, true);
      theme.DrawScrollBarThumb(b, {0, 10, 17, 50}, true, state);
    });
  sheet.Cell("horz thumb", 80, 17, [&](TKsBitmap& b) {
    theme.DrawScrollBarTrack(b, {0, 0, 80, 17}, false);
    theme.DrawScrollBarThumb(b, {15, 0, 60, 17}, false, 0);
  });
  sheet.Cell("size box", 17, 17, [&](TKsBitmap& b) { theme.DrawScrollBarSizeBox(b, {0, 0, 17, 17}, 0, false); });

  sheet.Title("Tabs (DrawTabBackground, DrawTab), edits (DrawEditFrame), combo buttons (DrawComboButton)");
  sheet.Cell("pane; tabs normal, hot, focused, disabled, selected", 260, 70, [&](TKsBitmap& b) {
    theme.DrawTabBackground(b, {2, 22, 258, 68});
    const int kinds[] = {0, 1, 2, 3, 4};
    for (int i = 0; i < 5; ++i)
      theme.DrawTab(b, {4 + 50 * i, 2, 52 + 50 * i, 23}, 0, kinds[i]);
  });
  for (int state : {0, 1, 3, 4})
    sheet.Cell(std::string("edit ") + kStates[state == 4 ? 4 : state], 100, 22, [&](TKsBitmap& b) {
      b.FillRect({0, 0, 100, 22}, kPaper);
      theme.DrawEditFrame(b, {0, 0, 100, 22}, state);
    });
  for (int state = 0; state < 4; ++state)
    sheet.Cell(std::string("combo ") + kStates[state], 17, 21, [&](TKsBitmap& b) {
      theme.DrawComboButton(b, {0, 0, 17, 21}, state);
    });

  sheet.Title("Tool bars (DrawToolButton, DrawToolBarPart) and bands (DrawReBar)");
  for (bool flat : {true, false})
    for (int state = 0; state < 4; ++state)
      for (bool checked : {false, true})
        sheet.Cell(std::string(flat ? "flat " : "") + kStates[state] + (checked ? " checked" : ""), 24, 22,
                   [&](TKsBitmap& b) { theme.DrawToolButton(b, {0, 0, 24, 22}, state, flat, checked); });
  sheet.Cell("split part", 14, 22, [&](TKsBitmap& b) { theme.DrawToolBarPart(b, {0, 0, 14, 22}, 0, true, false); });
  sheet.Cell("band", 160, 26, [&](TKsBitmap& b) { theme.DrawReBar(b, {0, 0, 160, 26}, {2, 2, 8, 24}); });

  sheet.Title("Group box (DrawGroupBox) and frames by state (DrawFrameByState)");
  sheet.Cell("group box", 160, 70, [&](TKsBitmap& b) {
    b.GetFont()->SetName("Tahoma");
    b.GetFont()->SetSize(8);
    theme.DrawGroupBox(b, {2, 8, 158, 68}, {10, 1, 60, 15}, "Options");
  });
  for (int flags : {0, 1, 2, 4})
    sheet.Cell("flags " + std::to_string(flags), 40, 20, [&](TKsBitmap& b) {
      theme.DrawFrameByState(b, {2, 2, 38, 18}, uint8_t(flags));
    });

  sheet.Title("Menus (DrawMenuBarBackground, DrawMenuBarItem, DrawPopupFrame, DrawPopupItem)");
  sheet.Cell("menu bar", 200, 22, [&](TKsBitmap& b) {
    theme.DrawMenuBarBackground(b, 200, 22);
    theme.DrawMenuBarItemData(b, Item("&File"), {0, 0, 40, 22}, false, false);
    theme.DrawMenuBarItemData(b, Item("&Edit"), {40, 0, 80, 22}, true, false);
    theme.DrawMenuBarItemData(b, Item("&View"), {80, 0, 124, 22}, false, false);
  });
  sheet.Cell("popup", 180, 100, [&](TKsBitmap& b) {
    theme.DrawPopupFrame(b, 180, 100);
    TTeItemData open = Item("&Open");
    open.ShortCutText = "Ctrl+O";
    theme.DrawPopupItemData(b, open, {3, 3, 177, 25}, false, false);
    TTeItemData save = Item("&Save");
    save.Checked = true;
    theme.DrawPopupItemData(b, save, {3, 25, 177, 47}, true, false);
    theme.DrawPopupItemData(b, Item("-"), {3, 47, 177, 56}, false, false);
    TTeItemData more = Item("More");
    more.HasSubItems = true;
    theme.DrawPopupItemData(b, more, {3, 56, 177, 78}, false, false);
    TTeItemData gone = Item("Disabled");
    gone.Enabled = false;
    theme.DrawPopupItemData(b, gone, {3, 78, 177, 97}, false, false);
  });
  for (TKsMDIButtonKind kind : {mbkClose, mbkRestore, mbkMinimize}) {
    TTeItemData button;
    button.MDIButtonKind = kind;
    sheet.Cell(kButtons[kind == mbkClose ? 0 : kind == mbkRestore ? 4 : 2], 20, 20, [&](TKsBitmap& b) {
      theme.DrawMenuBarButtonData(b, button, {0, 0, 20, 20}, false, false);
    });
  }

  sheet.Title("Explorer bar (DrawExplorerBarHeader, DrawExplorerBarGroup, DrawExplorerBarButton)");
  if (!GetThemeHandle(nullptr, "ExplorerBar")) {
    sheet.Note("this visual style has no \"ExplorerBar\" class: the theme draws nothing here");
    return;
  }
  sheet.Cell("header and group", 200, 80, [&](TKsBitmap& b) {
    theme.DrawExplorerBarHeader(b, {0, 0, 200, 80}, true);
    theme.DrawExplorerBarGroup(b, {0, 0, 200, theme.GetSize(23)}, "Tasks");
  });
  for (int state = 0; state < 3; ++state)
    sheet.Cell(kStates[state], 20, 20, [&](TKsBitmap& b) {
      theme.DrawExplorerBarButton(b, {0, 0, 20, 20}, false, state, false);
    });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: XPSheet <output.bmp>\n");
    return 2;
  }
  if (!StartUnits(XPSheetUnits())) {
    std::fprintf(stderr, "XPSheet: start-up of the units failed\n");
    return 1;
  }
  int result = 0;
  if (!IsThemingAvailable()) {
    std::fprintf(stderr, "XPSheet: no visual style is on here, so there is nothing to draw\n");
    result = 2;
  } else {
    TTeThemeXP theme;
    TSheet sheet;
    DrawSheet(theme, sheet);
    const std::string bmp = sheet.Bmp();
    std::ofstream out(argv[1], std::ios::binary);
    out.write(bmp.data(), std::streamsize(bmp.size()));
    if (!out) {
      std::fprintf(stderr, "XPSheet: cannot write %s\n", argv[1]);
      result = 1;
    }
  }
  StopUnits();
  return result;
}
