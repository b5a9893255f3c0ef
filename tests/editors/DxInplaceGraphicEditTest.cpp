// The graphic editor: its value (loading is no edit, a bad value leaves no flag
// raised), the clipboard and file commands (the dialogs answered through their modal
// run), the tool bar and the context menu that mirrors it, and the painting of a cell
// from view data, pixel by pixel.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Bitmap.h"
#include "classlib/Clipboard.h"
#include "classlib/Dialogs.h"
#include "classlib/FileUtils.h"
#include "editors/DxInplaceGraphicEdit.h"
#include "editors/DxPictureValues.h"
#include "tests/editors/EditorsTestSupport.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 128, 0);

class TTestGraphicEdit : public TdxInplaceGraphicEdit {
  KIVO_CLASS(TTestGraphicEdit, TdxInplaceGraphicEdit)
 public:
  explicit TTestGraphicEdit(TComponent* AOwner) : TdxInplaceGraphicEdit(AOwner, &MetaClass()) {}
  using TdxInplaceGraphicEdit::KeyDown;
  using TdxInplaceGraphicEdit::KeyPress;
  int Changes = 0;

 protected:
  TTestGraphicEdit(TComponent* AOwner, const TdxInplaceEditClass* cls) : TdxInplaceGraphicEdit(AOwner, cls) {}
  void Change() override {
    ++Changes;
    inherited::Change();
  }
};

// A bitmap of width x height: red on the left half, blue on the right.
void SplitBitmap(TBitmap& bitmap, int width, int height) {
  bitmap.SetSize(width, height);
  TCanvas* canvas = bitmap.GetCanvas();
  canvas->GetBrush()->SetColor(TColor(kRed));
  canvas->FillRect(Rect(0, 0, width / 2, height));
  canvas->GetBrush()->SetColor(TColor(kBlue));
  canvas->FillRect(Rect(width / 2, 0, width, height));
}

std::string SplitValue(int width, int height) {
  TBitmap bitmap;
  SplitBitmap(bitmap, width, height);
  TPicture picture;
  picture.Assign(&bitmap);
  std::string value;
  SavePictureToString(&picture, value);
  return value;
}

// Answers the picture dialogs: records the filter and default extension and chooses
// `Answer` (nothing when empty).
struct TDialogAnswer {
  static inline int Runs = 0;
  static inline std::string Filter, DefaultExt, Answer;
  static BOOL Run(TCommonDialog*, TOpenFileNameFunc, OPENFILENAMEA& ofn) {
    ++Runs;
    Filter.clear();
    for (const char* p = ofn.lpstrFilter; p && *p; p += strlen(p) + 1)
      Filter += std::string(p) + "|";
    DefaultExt = ofn.lpstrDefExt ? ofn.lpstrDefExt : "";
    lstrcpynA(ofn.lpstrFile, Answer.c_str(), int(ofn.nMaxFile));
    return !Answer.empty();
  }
};

class DxInplaceGraphicEditTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    Graphic = new TTestGraphicEdit(Container);
    Graphic->SetParent(Container);
    Graphic->SetBounds(20, 20, 140, 100);
    TDialogAnswer::Runs = 0;
    CommonDialogModalRunProc = TDialogAnswer::Run;
  }
  void TearDown() override {
    CommonDialogModalRunProc = CommonDialogModalRunOriginal;
    EditorTest::TearDown();
  }
  void Load(const std::string& value) {
    Graphic->SetEditValue(value);
    ASSERT_FALSE(IsPictureEmpty(Graphic->GetPicture()));
  }
  // The menu the editor builds for a right click, closed again at once.
  TMenuItem* ContextMenu() {
    PostMessageA(Form->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
    SendMessageA(Graphic->GetHandle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Graphic->GetHandle()),
                 MAKELPARAM(650, 450));
    TPopupMenu* menu = Graphic->GetToolBar()->GetPopupMenu();
    return menu ? menu->GetItems() : nullptr;
  }
  static std::string Captions(TMenuItem* items) {
    std::string text;
    for (int i = 0; i < items->GetCount(); ++i)
      text += items->GetItem(i)->GetCaption() + (items->GetItem(i)->GetEnabled() ? "+ " : "- ");
    return text;
  }
  TTestGraphicEdit* Graphic = nullptr;
};

TEST_F(DxInplaceGraphicEditTest, ToolBarSettingsReachTheToolBarAndCopyWhole) {
  TdxPopupToolBarWindow* settings = Graphic->GetPopupToolBar();
  EXPECT_TRUE(Graphic->GetToolBar()->GetIsPopupMenu()) << "the tool bar follows its settings from the start";
  settings->SetIsPopupMenu(false);
  EXPECT_FALSE(Graphic->GetToolBar()->GetIsPopupMenu());
  TdxPopupToolBarWindow copy(nullptr);
  TBitmap glyph;
  glyph.SetSize(3, 3);
  settings->SetCustomButtonGlyph(&glyph);
  settings->SetButtons({ptbCustom});
  copy.Assign(settings);
  EXPECT_TRUE(copy.GetButtons() == TdxPopupToolBarButtons{ptbCustom});
  EXPECT_EQ(copy.GetCustomButtonGlyph()->GetWidth(), 3);
  EXPECT_FALSE(copy.GetIsPopupMenu());
}

TEST_F(DxInplaceGraphicEditTest, LoadingAValueIsNoEditAndABadValueLeavesNoFlagRaised) {
  Graphic->SetEditValue(SplitValue(8, 4));
  EXPECT_EQ(Graphic->GetPicture()->GetWidth(), 8);
  EXPECT_FALSE(Graphic->GetModified());
  EXPECT_EQ(Graphic->Changes, 0);
  Graphic->SetEditValue(std::string());
  EXPECT_TRUE(IsPictureEmpty(Graphic->GetPicture()));
  EXPECT_FALSE(Graphic->GetModified());

  // Regression: bytes that are no picture left the loading flag raised, so that no edit
  // was reported afterwards; cause: the flag was dropped only after a load that worked.
  Load(SplitValue(8, 4));
  EXPECT_THROW(Graphic->SetEditValue(std::string("not a picture at all")), EInvalidGraphic);
  EXPECT_TRUE(IsPictureEmpty(Graphic->GetPicture())) << "no picture of the value before";
  EXPECT_FALSE(Graphic->LoadingValue);
  EXPECT_FALSE(Graphic->GetModified());
  Load(SplitValue(8, 4));
  Graphic->DeletePicture();
  EXPECT_TRUE(Graphic->GetModified());
  EXPECT_EQ(Graphic->Changes, 1);

  // The value handed out is the graphic, or the one OnAssignPicture hands instead.
  Variant value;
  Graphic->GetEditValue(value);
  EXPECT_TRUE(value.IsNull());
  Load(SplitValue(6, 2));
  Graphic->GetEditValue(value);
  EXPECT_EQ(GraphicOfEditValue(value), Graphic->GetPicture()->GetGraphic());
  static TPicture other;
  Graphic->OnAssignPicture = TdxGraphicEditAssignPictureEvent::FromFunction(
      [](void*, TObject*, TPicture*& picture) { picture = &other; });
  Graphic->GetEditValue(value);
  EXPECT_TRUE(value.IsNull());
}

TEST_F(DxInplaceGraphicEditTest, ClipboardCommandsFollowTheRightsAndMarkTheEdit) {
  Load(SplitValue(10, 6));
  Graphic->CopyToClipboard();
  EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE()));
  EXPECT_FALSE(Graphic->GetModified());
  Graphic->CutToClipboard();
  EXPECT_TRUE(IsPictureEmpty(Graphic->GetPicture()));
  EXPECT_TRUE(Graphic->GetModified());
  Graphic->PasteFromClipboard();
  ASSERT_EQ(Graphic->GetPicture()->GetWidth(), 10);
  EXPECT_EQ(Graphic->GetPicture()->GetBitmap()->GetCanvas()->GetPixel(1, 1), TColor(kRed));

  // Shift+Insert with only a text on the clipboard leaves the picture as it is.
  Clipboard()->SetAsText("text");
  WORD key = VK_INSERT;
  Graphic->KeyDown(key, {ssShift});
  EXPECT_EQ(Graphic->GetPicture()->GetWidth(), 10);
  // The control characters of Ctrl+C, Ctrl+X and Ctrl+V.
  char c = 3;
  Graphic->KeyPress(c);
  c = 24;
  Graphic->KeyPress(c);
  EXPECT_TRUE(IsPictureEmpty(Graphic->GetPicture()));
  c = 22;
  Graphic->KeyPress(c);
  EXPECT_EQ(Graphic->GetPicture()->GetWidth(), 10);

  // A container that forbids changes: only copying works.
  Container->AllowModify = false;
  Clipboard()->SetAsText("text");
  key = VK_DELETE;
  Graphic->KeyDown(key, {ssShift});
  EXPECT_EQ(Graphic->GetPicture()->GetWidth(), 10);
  Graphic->CutToClipboard();
  EXPECT_EQ(Graphic->GetPicture()->GetWidth(), 10);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE())) << "the cut still copied";
  Graphic->DeletePicture();
  Graphic->LoadFromFile();
  EXPECT_EQ(Graphic->GetPicture()->GetWidth(), 10);
  EXPECT_EQ(TDialogAnswer::Runs, 0);
}

TEST_F(DxInplaceGraphicEditTest, SavesAndLoadsThroughThePictureDialogs) {
  const std::string folder = EmptiedTempFolder("DxGraphicEdit");
  Graphic->SaveToFile();
  EXPECT_EQ(TDialogAnswer::Runs, 0) << "nothing to save";
  Load(SplitValue(12, 5));
  TDialogAnswer::Answer = folder + "saved.bmp";
  Graphic->SaveToFile();
  EXPECT_EQ(TDialogAnswer::Filter, "Bitmaps (*.bmp)|*.bmp|");
  EXPECT_EQ(TDialogAnswer::DefaultExt, "bmp");
  ASSERT_TRUE(FileExists(folder + "saved.bmp"));

  Graphic->SetEditValue(std::string());
  Graphic->SetCustomFilter("Pictures|*.bmp");
  TDialogAnswer::Answer = "";
  Graphic->LoadFromFile();
  EXPECT_TRUE(IsPictureEmpty(Graphic->GetPicture())) << "cancelled";
  EXPECT_EQ(TDialogAnswer::Filter, "Pictures|*.bmp|");
  TDialogAnswer::Answer = folder + "saved.bmp";
  Graphic->LoadFromFile();
  EXPECT_EQ(Graphic->GetPicture()->GetWidth(), 12);
  EXPECT_EQ(Graphic->GetPicture()->GetBitmap()->GetCanvas()->GetPixel(11, 4), TColor(kBlue));
  EXPECT_TRUE(Graphic->GetModified());
  EXPECT_EQ(TDialogAnswer::Runs, 3);
}

TEST_F(DxInplaceGraphicEditTest, ContextMenuMirrorsTheButtonsThatExist) {
  ShowForm();
  Clipboard()->SetAsText("no picture");
  TMenuItem* items = ContextMenu();
  ASSERT_NE(items, nullptr);
  EXPECT_EQ(Captions(items), "Cu&t- &Copy- &Paste- &Delete- -+ &Load...+ &Save To...- ");
  EXPECT_EQ(items->GetItem(5)->GetImageIndex(), ptbLoad);
  EXPECT_EQ(Graphic->GetToolBar()->GetPopupMenu()->GetImages(), DxToolGlyphs());
  TBitmap bitmap;
  bitmap.SetSize(2, 2);
  Clipboard()->Assign(&bitmap);
  EXPECT_EQ(Captions(ContextMenu()), "Cu&t- &Copy- &Paste+ &Delete- -+ &Load...+ &Save To...- ");

  // Only Load and Save: the states go to those items, and no separator is left over.
  Graphic->GetPopupToolBar()->SetButtons({ptbLoad, ptbSave});
  Load(SplitValue(4, 4));
  EXPECT_EQ(Captions(ContextMenu()), "&Load...+ &Save To...+ ");
  Graphic->GetPopupToolBar()->SetButtons({ptbDelete, ptbCustom});
  Graphic->GetPopupToolBar()->SetCustomButtonCaption("&Scan");
  EXPECT_EQ(Captions(ContextMenu()), "&Delete+ -+ &Scan+ ");

  // Choosing an item runs its command.
  TPopupMenu* menu = Graphic->GetToolBar()->GetPopupMenu();
  menu->DispatchCommand(menu->GetItems()->GetItem(0)->GetCommand());
  EXPECT_TRUE(IsPictureEmpty(Graphic->GetPicture()));

  // A popup menu in the parent chain takes the right click.
  Graphic->GetToolBar()->SetPopupMenu(nullptr);
  Form->SetPopupMenu(new TPopupMenu(Form));
  PostMessageA(Form->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
  SendMessageA(Graphic->GetHandle(), WM_CONTEXTMENU, 0, MAKELPARAM(650, 450));
  EXPECT_EQ(Graphic->GetToolBar()->GetPopupMenu(), nullptr);
  Form->SetPopupMenu(nullptr);
  PumpPending();
}

TEST_F(DxInplaceGraphicEditTest, ToolBarOpensBesideTheEditorAndRemembersWhereTheUserPutIt) {
  ShowForm();
  Graphic->SetFocus();
  TdxPopupToolBar* toolBar = Graphic->GetToolBar();
  Graphic->ShowToolBar();
  EXPECT_FALSE(toolBar->Showing()) << "offered as a popup menu";
  Graphic->GetPopupToolBar()->SetIsPopupMenu(false);
  Graphic->GetPopupToolBar()->SetAlignment(ptaBottom);
  // A double click opens it below the editor.
  Graphic->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  Graphic->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ASSERT_TRUE(toolBar->Showing());
  RECT editor{};
  GetWindowRect(Graphic->GetHandle(), &editor);
  EXPECT_EQ(toolBar->GetLeft(), editor.left);
  EXPECT_EQ(toolBar->GetTop(), editor.top + Graphic->GetHeight());
  EXPECT_EQ(GetActiveWindow(), Form->GetHandle());
  EXPECT_EQ(GetFocus(), Graphic->GetHandle());

  // A button runs its command and hides the tool bar; 7 and above do nothing.
  Graphic->ToolBarButtonClick(toolBar, 7);
  EXPECT_FALSE(toolBar->Showing());
  int customClicks = 0;
  Graphic->OnCustomClick = TNotifyEvent::FromFunction([](void* count, TObject*) { ++*static_cast<int*>(count); },
                                                      &customClicks);
  Graphic->ToolBarButtonClick(toolBar, ptbCustom);
  EXPECT_EQ(customClicks, 1);

  // Moved by the user, it opens there again; without stored positions, beside the editor.
  Graphic->ShowToolBar();
  toolBar->SetBounds(100, 120, toolBar->GetWidth(), toolBar->GetHeight());
  toolBar->HideToolBar();
  Graphic->ShowToolBar();
  EXPECT_EQ(toolBar->GetLeft(), 100);
  EXPECT_EQ(Graphic->GetStoredToolBarPos().y, 120);
  Graphic->SetPopupToolbarPosStored(false);
  Graphic->ShowToolBar();
  EXPECT_EQ(toolBar->GetLeft(), editor.left);

  // Leaving the editor for another window hides it.
  SendMessageA(Graphic->GetHandle(), WM_KILLFOCUS, reinterpret_cast<WPARAM>(Form->GetHandle()), 0);
  EXPECT_FALSE(toolBar->Showing());
  Graphic->SetDblClickActivate(false);
  SendMessageA(Graphic->GetHandle(), WM_SETFOCUS, 0, 0);
  EXPECT_TRUE(toolBar->Showing()) << "opened when the editor is entered";
  toolBar->HideToolBar();
}

TEST_F(DxInplaceGraphicEditTest, AClickInTheToolBarKeepsTheEditorFocusedAndItsFormActive) {
  ShowForm();
  Graphic->SetFocus();
  Load(SplitValue(4, 4));
  Clipboard()->SetAsText("before");
  Graphic->GetPopupToolBar()->SetIsPopupMenu(false);
  Graphic->ShowToolBar();
  TdxPopupToolBar* toolBar = Graphic->GetToolBar();
  ASSERT_TRUE(toolBar->Showing());
  const TRect copy = toolBar->GetButton(ptbCopy)->GetBoundsRect();
  const TPoint at = toolBar->ClientToScreen(TPoint{(copy.left + copy.right) / 2, (copy.top + copy.bottom) / 2});
  ASSERT_TRUE(SettlePointerAt(at.x, at.y));
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return Clipboard()->HasFormat(CF_PICTURE()); }));
  PumpPending();
  EXPECT_EQ(GetActiveWindow(), Form->GetHandle());
  EXPECT_EQ(GetFocus(), Graphic->GetHandle());
  EXPECT_FALSE(toolBar->Showing());
  SetCursorPos(0, 0);
}

// ---- Painting -----------------------------------------------------------------------

class GraphicPaintTest : public testing::Test {
 protected:
  void SetUp() override {
    View.Picture = &Picture;
    View.Brush = Background.Get();
    View.Color = kGreen;
  }
  // Paints the view data into (0, 0, width, height) of a white surface.
  void Paint(TDibSurface& surface, const TRect& rect) {
    surface.Fill(RGB(255, 255, 255));
    TdxInplaceGraphicEdit::MetaClass().DrawContent(surface.DC(), rect, &View, false);
  }
  TPicture Picture;
  TBrushHandle Background{CreateSolidBrush(kGreen)};
  TdxGraphicEditViewData View;
};

TEST_F(GraphicPaintTest, StretchScalesToTheContentKeepingTheProportionsAtTheTopLeft) {
  TBitmap bitmap;
  SplitBitmap(bitmap, 200, 100);
  Picture.Assign(&bitmap);
  View.Stretch = true;
  TDibSurface surface(100, 100);
  Paint(surface, Rect(0, 0, 100, 100));
  EXPECT_EQ(CalcGraphicRect(Rect(0, 0, 100, 100), 200, 100, true, true), Rect(0, 0, 100, 50));
  EXPECT_EQ(surface.Color(25, 25), kRed);
  EXPECT_EQ(surface.Color(75, 49), kBlue);
  EXPECT_EQ(surface.Color(75, 50), kGreen) << "below the picture: the background";
  EXPECT_EQ(surface.Color(99, 99), kGreen);

  // Unstretched and centred it starts 50 pixels left of the content and is clipped.
  View.Stretch = false;
  View.Center = true;
  EXPECT_EQ(CalcGraphicRect(Rect(0, 0, 100, 100), 200, 100, true, false), Rect(-50, 0, 150, 100));
  Paint(surface, Rect(0, 0, 100, 100));
  EXPECT_EQ(surface.Color(25, 50), kRed);
  EXPECT_EQ(surface.Color(75, 50), kBlue);

  // A small picture, centred inside the margins.
  TBitmap small;
  SplitBitmap(small, 20, 10);
  Picture.Assign(&small);
  View.Margins = Rect(10, 0, 0, 0);
  Paint(surface, Rect(0, 0, 100, 100));
  EXPECT_EQ(surface.Color(10 + 35, 45), kRed);
  EXPECT_EQ(surface.Color(10 + 35 - 1, 45), kGreen);
  EXPECT_EQ(surface.Color(10 + 54, 54), kBlue);
  EXPECT_EQ(surface.Color(10 + 55, 54), kGreen);
}

TEST_F(GraphicPaintTest, AContentOrCellWithoutAreaNeverDividesByZero) {
  // Regression: a content rectangle without height divided by zero in the scaling
  // rule; cause: the picture's proportion was compared to the content's by division.
  TBitmap bitmap;
  SplitBitmap(bitmap, 200, 100);
  Picture.Assign(&bitmap);
  View.Stretch = true;
  View.Margins = Rect(0, 30, 0, 30);
  TDibSurface surface(60, 60);
  EXPECT_NO_THROW(Paint(surface, Rect(0, 0, 60, 60)));
  EXPECT_EQ(surface.Color(30, 30), kGreen) << "only the background";
  const TRect flat = CalcGraphicRect(Rect(0, 0, 0, 50), 20, 10, false, true);
  const TRect blank = CalcGraphicRect(Rect(0, 0, 50, 50), 0, 10, false, true);
  EXPECT_TRUE(IsRectEmpty(&flat));
  EXPECT_TRUE(IsRectEmpty(&blank));
  // A collapsed cell paints nothing and raises nothing.
  View.Margins = Rect(0, 0, 0, 0);
  surface.Fill(RGB(255, 255, 255));
  EXPECT_TRUE(TdxInplaceGraphicEdit::MetaClass().DrawContent(surface.DC(), Rect(5, 5, 55, 5), &View, false));
  for (int y = 0; y < 60; y += 5)
    for (int x = 0; x < 60; x += 5)
      ASSERT_EQ(surface.Color(x, y), RGB(255, 255, 255));
}

TEST_F(GraphicPaintTest, TransparentPicturesShadowAndEmptyPictures) {
  TBitmap bitmap;  // fuchsia (the bottom-left key colour) around a red block
  bitmap.SetSize(10, 10);
  bitmap.GetCanvas()->GetBrush()->SetColor(clFuchsia);
  bitmap.GetCanvas()->FillRect(Rect(0, 0, 10, 10));
  bitmap.GetCanvas()->GetBrush()->SetColor(TColor(kRed));
  bitmap.GetCanvas()->FillRect(Rect(2, 2, 8, 8));
  bitmap.SetTransparent(true);
  Picture.Assign(&bitmap);
  View.Center = false;
  TBitmap buffer;
  TDibSurface surface(20, 20);
  for (TBitmap* offered : {static_cast<TBitmap*>(nullptr), &buffer}) {
    View.Buffer = offered;
    Paint(surface, Rect(0, 0, 20, 20));
    EXPECT_EQ(surface.Color(0, 0), kGreen) << "the key colour shows the background";
    EXPECT_EQ(surface.Color(4, 4), kRed);
    EXPECT_EQ(surface.Color(15, 15), kGreen);
  }
  // The selection shadow: every second pixel takes the highlight colour.
  View.SelectionShadow = true;
  Paint(surface, Rect(0, 0, 20, 20));
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_NE(surface.Color(15, 15) == highlight, surface.Color(16, 15) == highlight);

  // No picture: the background, or the text centred on it.
  View.SelectionShadow = false;
  Picture.Assign(nullptr);
  Paint(surface, Rect(0, 0, 20, 20));
  EXPECT_EQ(surface.Color(10, 10), kGreen);
  View.CalcOnly = true;
  TdxInplaceGraphicEdit::MetaClass().DrawContent(surface.DC(), Rect(0, 0, 20, 20), &View, false);
  EXPECT_EQ(View.LineCount, 1);
  EXPECT_EQ(View.TextHeight, 0);
  Picture.Assign(&bitmap);
  TdxInplaceGraphicEdit::MetaClass().DrawContent(surface.DC(), Rect(0, 0, 20, 20), &View, false);
  EXPECT_EQ(View.TextHeight, 10);
  TRect size;
  TdxInplaceGraphicEdit::MetaClass().GetContentSize(&View, size);
  EXPECT_EQ(size, Rect(0, 0, 10, 10));
}

TEST_F(DxInplaceGraphicEditTest, EditorPaintsItselfFromItsViewData) {
  Load(SplitValue(20, 10));
  Graphic->SetColor(TColor(kGreen));
  Graphic->SetGraphicTransparency(gtTransparent);
  EXPECT_TRUE(Graphic->GetPicture()->GetGraphic()->GetTransparent());
  EXPECT_FALSE(Graphic->GetModified()) << "a display setting is no edit";
  Graphic->SetStretch(true);
  Graphic->SetQuickDraw(true);
  EXPECT_FALSE(Graphic->GetModified());
  std::unique_ptr<TdxEditViewData> data(Graphic->CreateViewData(true));
  auto* view = ObjectAs<TdxGraphicEditViewData>(data.get());
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(view->Stretch && view->Center && view->QuickDraw);
  EXPECT_EQ(view->Picture, Graphic->GetPicture());
  EXPECT_NE(view->Buffer, nullptr) << "a transparent graphic draws through the buffer";
  Graphic->SetGraphicTransparency(gtOpaque);
  EXPECT_FALSE(Graphic->GetPicture()->GetGraphic()->GetTransparent());

  const TRect client = Graphic->GetClientRect();
  TDibSurface surface(RectWidth(client), RectHeight(client));
  surface.Fill(RGB(255, 255, 255));
  Graphic->Perform(WM_PAINT, reinterpret_cast<WPARAM>(surface.DC()), 0);
  EXPECT_EQ(surface.Color(2, 2), kRed);
  EXPECT_EQ(surface.Color(RectWidth(client) - 2, RectHeight(client) - 2), kGreen);
  EXPECT_TRUE(Graphic->GetPicture()->GetBitmap()->GetIgnorePalette());
}

}  // namespace
