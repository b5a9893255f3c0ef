// The tree list's review gallery: two populated tree lists in one window on the display,
// captured as they show there and written to a PNG file for people to look at.
//
// The upper grid is a parts list in the tree look with the standard look's raised
// edges: four bands (the part band fixed at the left, the stock band fixed at the
// right), expand buttons and dotted tree lines over three levels, the indicator column,
// sorted columns, a multiple selection with the focused row, and the footer panel with
// per-column values. The lower grid shows the same parts in the grid look with the
// framed look: grid lines, level colours, preview text, node footers, an unfocused
// selection and the status panel with its close button. The third grid has one column
// of every column kind in two header rows (text, mask, button, date, check, image, spin,
// pick, calculator, hyperlink, time, currency, memo, MRU, graphic, blob and wrapper),
// painted by the kinds' own editor classes, with two editors open: the date editor with
// its calendar and the pick editor with its list. The two popups are never open at once
// (a popup closes when its editor loses the focus): the calendar is captured first and
// laid over the window's picture, so the picture is a composite. The gallery paints in
// the classic scheme's button colours (TClassicButtonColours).
//
//   TreeListGallery.exe <output.png>
//
// scripts/treelistgallery.sh runs it and writes docs/treelist-gallery.png.
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "TreeListGalleryUnits.h"

#include "classlib/Bitmap.h"
#include "classlib/Boundary.h"
#include "classlib/ImageList.h"
#include "standin/host/ShotImage.h"
#include "editors/DxGridDatePopup.h"
#include "editors/DxPictureValues.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListCheckColumn.h"
#include "treelist/DxTreeListColumns.h"
#include "treelist/DxTreeListControl.h"
#include "treelist/DxTreeListDraw.h"
#include "treelist/DxTreeListDropDownColumns.h"
#include "treelist/DxTreeListMaskColumn.h"
#include "treelist/DxTreeListPictureColumns.h"
#include "treelist/DxTreeListTextColumns.h"
#include "treelist/DxTreeListWrapperColumn.h"

namespace {

constexpr int kWidth = 760;
constexpr int kGridHeight = 260;
constexpr int kKindsHeight = 360;
constexpr int kMargin = 8;

struct TBand {
  const char* Caption;
  int Width;
  TAlignment Alignment;
};

struct TColumn {
  const char* Caption;
  int Band;
  int Width;
  TAlignment Alignment;
  TdxTreeListColumnSort Sorted;
  bool Footer;
};

const TBand kBands[] = {
    {"Part", 200, taCenter}, {"Value", 170, taCenter}, {"Placement", 250, taCenter}, {"Stock", 110, taCenter}};
const TColumn kColumns[] = {
    {"Designator", 0, 200, taLeftJustify, csUp, true},  {"Value", 1, 90, taLeftJustify, csNone, false},
    {"Tolerance", 1, 80, taCenter, csNone, false},      {"Layer", 2, 80, taLeftJustify, csNone, false},
    {"X (mil)", 2, 60, taRightJustify, csNone, false},  {"Y (mil)", 2, 60, taRightJustify, csNone, false},
    {"Rot.", 2, 50, taRightJustify, csDown, false},     {"Qty", 3, 50, taRightJustify, csNone, true},
    {"Reel", 3, 60, taLeftJustify, csNone, false},
};
constexpr int kBandCount = 4;
constexpr int kColumnCount = 9;

// The rows: level, texts of the columns (a group row names its group in the first).
struct TPart {
  int Level;
  std::vector<const char*> Texts;
  const char* Preview;
};
const TPart kParts[] = {
    {0, {"Resistors", "", "", "", "", "", "", "12", ""}, "Thick-film chip resistors, 0603 and 0805."},
    {1, {"R1", "10k", "1%", "Top", "1250", "840", "0", "1", "A"}, nullptr},
    {1, {"R2", "4k7", "1%", "Top", "1320", "840", "90", "1", "A"}, nullptr},
    {1, {"Pull-ups", "", "", "", "", "", "", "4", ""}, nullptr},
    {2, {"R10", "2k2", "5%", "Bottom", "410", "1960", "180", "2", "B"}, nullptr},
    {2, {"R11", "2k2", "5%", "Bottom", "440", "1960", "180", "2", "B"}, nullptr},
    {1, {"R3", "100R", "1%", "Top", "1500", "910", "270", "1", "A"}, nullptr},
    {0, {"Capacitors", "", "", "", "", "", "", "9", ""}, "Ceramic X7R and one tantalum bulk capacitor."},
    {1, {"C1", "100n", "10%", "Top", "980", "1200", "0", "4", "C"}, nullptr},
    {1, {"C2", "10u", "20%", "Top", "1010", "1280", "90", "2", "C"}, nullptr},
    {1, {"C7", "47u", "10%", "Bottom", "2210", "400", "0", "3", "D"}, nullptr},
    {0, {"Integrated circuits", "", "", "", "", "", "", "3", ""}, "Microcontroller, regulator and driver."},
    {1, {"U1", "MCU-64", "", "Top", "1800", "1500", "0", "1", "T"}, nullptr},
    {1, {"U2", "LDO 3V3", "", "Top", "600", "300", "180", "1", "T"}, nullptr},
    {1, {"U3", "Driver", "", "Top", "2400", "1520", "90", "1", "T"}, nullptr},
    {0, {"Connectors", "", "", "", "", "", "", "2", ""}, "Board-to-wire headers."},
    {1, {"J1", "2x5", "", "Top", "100", "100", "0", "1", "-"}, nullptr},
};

class TGalleryTreeList : public TCustomdxTreeList {
  KIVO_CLASS(TGalleryTreeList, TCustomdxTreeList)
 public:
  explicit TGalleryTreeList(TComponent* AOwner) : TCustomdxTreeList(AOwner) {}
  ~TGalleryTreeList() override { ClearNodes(); }

  std::vector<TdxTreeListNode*> Selection;
  int LeftFixed = 0;
  int RightFixed = 3;
  bool Status = false;

  TdxTreeListNode* CreateNode() override { return new TdxTreeListTextNode(this); }
  // With images: a folder for the groups, a chip for the parts.
  int GetNodeImageIndex(TdxTreeListNode* node) override {
    if (!GetImages())
      return -1;
    return node->GetHasChildren() ? 0 : 1;
  }
  int GetNodeSelectedIndex(TdxTreeListNode* node) override { return GetNodeImageIndex(node); }
  int GetNodeStateIndex(TdxTreeListNode*) override { return -1; }
  void GetNodeString(TdxTreeListNode* node, int32_t column, std::string& text) override {
    TStringList* strings = static_cast<TdxTreeListTextNode*>(node)->GetStrings();
    text = column >= 0 && column < strings->GetCount() ? strings->Get(column) : std::string();
  }
  void GetCellText(TdxTreeListNode* node, int32_t column, std::string& text) override {
    GetNodeString(node, column, text);
  }
  void GetPreviewText(TdxTreeListNode* node, std::string& text) override {
    text = node->GetLevel() == 0 ? static_cast<TdxTreeListTextNode*>(node)->GetStrings()->Get(kColumnCount) : "";
  }

  int32_t GetBandCount() override { return kBandCount; }
  int32_t GetVisibleBandCount() override { return kBandCount; }
  void GetVisibleBandCaption(int32_t band, std::string& text) override { text = kBands[band].Caption; }
  void GetBandCaption(int32_t band, std::string& text) override { text = kBands[band].Caption; }
  int32_t GetBandWidth(int32_t band) override { return kBands[band].Width; }
  int32_t GetVisibleBandWidth(int32_t band) override { return kBands[band].Width; }
  int32_t GetVisibleBandMinWidth(int32_t) override { return 20; }
  TAlignment GetVisibleBandAlignment(int32_t band) override { return kBands[band].Alignment; }
  int32_t GetLeftFixedBand() override { return LeftFixed; }
  int32_t GetRightFixedBand() override { return RightFixed; }
  using TCustomdxTreeList::GetBandRowCount;
  int32_t GetBandRowCount(int32_t) override { return 1; }

  int32_t GetColumnCount() override { return kColumnCount; }
  int32_t GetColumnCountInRow(int32_t band, int32_t row) override {
    int count = 0;
    for (const TColumn& c : kColumns)
      count += row == 0 && c.Band == band;
    return count;
  }
  int32_t GetColumnAt(int32_t band, int32_t row, int32_t position) override {
    for (int i = 0; i < kColumnCount; ++i) {
      if (row == 0 && kColumns[i].Band == band && position-- == 0)
        return i;
    }
    return -1;
  }
  int32_t GetColumnBandIndex(int32_t column) override { return kColumns[column].Band; }
  int32_t GetColumnColIndex(int32_t column) override {
    int position = 0;
    for (int i = 0; i < column; ++i)
      position += kColumns[i].Band == kColumns[column].Band;
    return position;
  }
  int32_t GetColumnWidth(int32_t column) override { return kColumns[column].Width; }
  int32_t GetColumnMinWidth(int32_t) override { return 20; }
  void GetColumnHeaderText(int32_t column, std::string& text) override { text = kColumns[column].Caption; }
  TAlignment GetColumnAlignment(TdxTreeListNode*, int32_t column) override { return kColumns[column].Alignment; }
  TdxTreeListColumnSort GetColumnSorted(int32_t column) override { return kColumns[column].Sorted; }
  bool IsFooterValueShown(int32_t column) override { return kColumns[column].Footer; }
  void GetFooterCellText(TdxTreeListNode* node, int32_t column, int32_t, std::string& text) override {
    if (column == 0) {
      text = node ? "Group" : "17 parts";
      return;
    }
    text = node ? std::to_string(node->GetParent() ? node->GetParent()->GetCount() : 0) : "26";
  }
  bool HasLevelFooter(int32_t level) override { return Status && level == 0; }
  bool GetDisplayFlag() override { return Status; }
  bool IsLevelColorAssigned() override { return Status; }
  void GetLevelColor(int32_t level, TColor& color) override {
    if (level == 1)
      color = TColor(0x00E8D8C8);
  }
  bool IsStatusPanelShown() override { return Status; }
  void GetFooterText(std::string& text) override { text = "17 parts in 4 groups"; }
  int32_t GetFooterCount() override { return Status ? 1 : 0; }

  bool IsNodeSelected(TdxTreeListNode* node) override {
    for (TdxTreeListNode* n : Selection)
      if (n == node)
        return true;
    return false;
  }
  int GetSelectedCount() override { return static_cast<int>(Selection.size()); }
  TdxTreeListNode* GetSelectedItem(int index) override { return Selection.at(static_cast<size_t>(index)); }
};

// The node images, drawn here: a folder and a chip, 16 x 16, on a magenta key.
std::unique_ptr<TImageList> MakeImages() {
  auto images = std::make_unique<TImageList>(nullptr);
  images->SetSize(16, 16);
  auto fill = [](HDC dc, TRect r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  };
  for (int kind = 0; kind < 2; ++kind) {
    TBitmap bitmap;
    bitmap.SetSize(16, 16);
    HDC dc = bitmap.GetCanvas()->GetHandle();
    fill(dc, TRect{0, 0, 16, 16}, RGB(255, 0, 255));
    if (kind == 0) {
      fill(dc, TRect{1, 3, 7, 5}, RGB(176, 128, 16));
      fill(dc, TRect{1, 4, 15, 14}, RGB(176, 128, 16));
      fill(dc, TRect{2, 5, 14, 13}, RGB(250, 210, 90));
    } else {
      for (int pin = 0; pin < 4; ++pin) {
        fill(dc, TRect{2, 4 + pin * 2, 4, 5 + pin * 2}, RGB(160, 160, 160));
        fill(dc, TRect{12, 4 + pin * 2, 14, 5 + pin * 2}, RGB(160, 160, 160));
      }
      fill(dc, TRect{4, 2, 12, 14}, RGB(60, 60, 70));
      fill(dc, TRect{5, 3, 7, 5}, RGB(220, 220, 220));
    }
    images->AddMasked(&bitmap, TColor(0xFF00FF));
  }
  return images;
}

// Fills a grid with the parts; selects three of them and focuses the second.
void Populate(TGalleryTreeList* tree) {
  std::vector<TdxTreeListNode*> parents;
  std::vector<TdxTreeListNode*> nodes;
  {
    const TdxTreeListUpdateScope update(tree);
    for (const TPart& part : kParts) {
      parents.resize(static_cast<size_t>(part.Level));
      TdxTreeListNode* node = part.Level == 0 ? tree->Add() : parents.back()->AddChild();
      TStringList* strings = static_cast<TdxTreeListTextNode*>(node)->GetStrings();
      for (const char* text : part.Texts)
        strings->Add(text);
      strings->Add(part.Preview ? part.Preview : "");
      parents.push_back(node);
      nodes.push_back(node);
    }
  }
  for (int i = 0; i < tree->GetCount(); ++i)
    tree->GetItem(i)->Expand(true);
  tree->Selection = {nodes[1], nodes[2], nodes[5]};
  tree->SetFocusedNode(nodes[2], 3, false);
}


// ==== The column kinds

// Numbers are right-aligned; every column is wide enough for its texts.
struct TKindColumn {
  const char* Caption;
  TdxTreeListColumnClass Class;
  int Row;
  int Width;
  TAlignment Alignment;
};
const TKindColumn kKindColumns[] = {
    {"Text", &TdxTreeListColumn::MetaClass(), 0, 76, taLeftJustify},
    {"Mask", &TdxTreeListMaskColumn::MetaClass(), 0, 76, taLeftJustify},
    {"Button", &TdxTreeListButtonColumn::MetaClass(), 0, 84, taLeftJustify},
    {"Date", &TdxTreeListDateColumn::MetaClass(), 1, 100, taLeftJustify},
    {"Check", &TdxTreeListCheckColumn::MetaClass(), 0, 56, taLeftJustify},
    {"Image", &TdxTreeListImageColumn::MetaClass(), 0, 84, taLeftJustify},
    {"Spin", &TdxTreeListSpinColumn::MetaClass(), 0, 70, taRightJustify},
    {"Pick", &TdxTreeListPickColumn::MetaClass(), 0, 96, taLeftJustify},
    {"Calc", &TdxTreeListCalcColumn::MetaClass(), 0, 98, taRightJustify},
    {"HyperLink", &TdxTreeListHyperLinkColumn::MetaClass(), 1, 140, taLeftJustify},
    {"Time", &TdxTreeListTimeColumn::MetaClass(), 0, 76, taLeftJustify},
    {"Currency", &TdxTreeListCurrencyColumn::MetaClass(), 1, 90, taRightJustify},
    {"Memo", &TdxTreeListMemoColumn::MetaClass(), 1, 100, taLeftJustify},
    {"MRU", &TdxTreeListMRUColumn::MetaClass(), 1, 90, taLeftJustify},
    {"Graphic", &TdxTreeListGraphicColumn::MetaClass(), 1, 60, taLeftJustify},
    {"Blob", &TdxTreeListBlobColumn::MetaClass(), 1, 54, taLeftJustify},
    {"Wrapper", &TdxTreeListWrapperColumn::MetaClass(), 1, 96, taLeftJustify},
};
constexpr int kKindCount = int(std::size(kKindColumns));

// A small picture for the graphic cells, stored as a cell keeps it.
std::string PictureText(COLORREF body, COLORREF mark) {
  TBitmap bitmap;
  bitmap.SetSize(24, 16);
  HDC dc = bitmap.GetCanvas()->GetHandle();
  auto fill = [dc](TRect r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  };
  fill(TRect{0, 0, 24, 16}, body);
  fill(TRect{4, 4, 12, 12}, mark);
  fill(TRect{14, 6, 20, 10}, mark);
  TPicture picture;
  picture.SetBitmap(&bitmap);
  std::string bytes;
  SavePictureToString(&picture, bytes);
  return bytes;
}

// The wrapper column lends a part's cell to the check column, the others' to the spin.
struct TWrapperChoice {
  TdxTreeListColumn* Check;
  TdxTreeListColumn* Spin;
  void Choose(TObject*, TdxTreeListNode* node, TdxTreeListColumn*& column) {
    column = node->GetIndex() % 2 == 0 ? Check : Spin;
  }
};

TCustomdxTreeListControl* MakeKindsGrid(TComponent* owner, HWND parent, TImageList* images, TWrapperChoice& choice) {
  auto* tree = new TCustomdxTreeListControl(owner);
  tree->SetParentWindow(parent);
  tree->SetBounds(kMargin, 3 * kMargin + 2 * kGridHeight, kWidth, kKindsHeight);
  tree->SetShowGrid(true);
  tree->SetShowIndicator(true);
  tree->SetLookAndFeel(lfFlat);
  tree->SetHideSelectionUnfocused(false);
  tree->SetHideFocusRectUnfocused(false);
  tree->SetHeaderPanelRowCount(2);
  for (const TKindColumn& kind : kKindColumns) {
    TdxTreeListColumn* column = tree->CreateColumn(kind.Class, owner);
    column->SetCaption(kind.Caption);
    column->SetRowIndex(kind.Row);
    column->SetWidth(kind.Width);
    if (kind.Alignment != taLeftJustify)
      column->SetAlignment(kind.Alignment);
  }
  auto column = [tree](int index) { return tree->GetColumn(index); };
  static_cast<TdxTreeListMaskColumn*>(column(1))->SetEditMask("L-000;1;_");
  auto* button = static_cast<TdxTreeListButtonColumn*>(column(2));
  button->GetButtons()->Add()->SetKind(bkDown);
  button->SetShowButtonStyle(TdxShowButtonStyle::sbAlways);
  auto* image = static_cast<TdxTreeListImageColumn*>(column(5));
  image->SetImages(images);
  image->GetValues()->SetText("group\r\npart\r\n");
  image->GetDescriptions()->SetText("Group\r\nPart\r\n");
  image->SetShowDescription(true);
  auto* spin = static_cast<TdxTreeListSpinColumn*>(column(6));
  spin->SetMaxValue(99);
  auto* pick = static_cast<TdxTreeListPickColumn*>(column(7));
  pick->GetItems()->SetText("Top\r\nBottom\r\nInner 1\r\nInner 2\r\n");
  static_cast<TdxTreeListHyperLinkColumn*>(column(9))->SetSingleClick(true);
  static_cast<TdxTreeListCurrencyColumn*>(column(11))->SetDisplayFormat("#,##0.00 'EUR'");
  static_cast<TdxTreeListMRUColumn*>(column(13))->GetItems()->SetText("R1\r\nC7\r\nU2\r\n");
  choice.Check = column(4);
  choice.Spin = column(6);
  static_cast<TdxTreeListWrapperColumn*>(column(16))->OnGetReferenceColumn =
      TdxTLGetReferenceColumnEvent::Bind<&TWrapperChoice::Choose>(&choice);

  const std::string red = PictureText(RGB(200, 40, 40), RGB(250, 230, 90));
  const std::string blue = PictureText(RGB(40, 80, 200), RGB(240, 240, 240));
  const std::vector<std::vector<std::string>> rows = {
      {"R1", "A-100", "Reel A", "2026-03-01", "True", "part", "4", "Top", "12.5", "http://parts.invalid/r1",
       "08:30:00", "1234.5", "Thick film, 1%", "R1", red, "Notes on R1", "True"},
      {"C7", "B-210", "Reel C", "2026-04-15", "False", "part", "2", "Bottom", "0.47", "http://parts.invalid/c7",
       "", "", "Tantalum bulk", "C7", blue, "", "7"},
      {"U2", "C-030", "Tray", "2026-05-20", "maybe", "group", "1", "Inner 1", "3.3", "", "17:45:10", "89.9",
       "LDO 3V3 regulator", "U2", red, "Thermal pad", "False"},
      {"J1", "D-404", "Bag", "2026-03-18", "True", "group", "6", "Top", "", "http://parts.invalid/j1", "12:00:00",
       "4.2", "Header 2x5", "", "no picture", "", "3"},
  };
  {
    const TdxTreeListUpdateScope update(tree);
    for (const std::vector<std::string>& texts : rows) {
      auto* node = static_cast<TdxTreeListTextNode*>(tree->Add());
      for (int i = 0; i < kKindCount; ++i)
        node->GetStrings()->Add(texts[size_t(i)]);
    }
  }
  return tree;
}

// Opens the editor of `column` on the cell of row `row`, as the tree list dresses and
// loads it, and leaves it showing.
TdxInplaceEdit* OpenEditor(TCustomdxTreeListControl* tree, int row, int column) {
  TdxTreeListNode* node = tree->GetItem(row);
  tree->SetFocusedNode(node, column, false);
  TdxInplaceEdit* editor = tree->CreateInplaceEdit(column);
  editor->SetParentWindow(nullptr);
  editor->SetParent(tree);
  tree->InitEditor(editor);
  tree->GetColumn(column)->InitEditProperties(editor);
  Variant value;
  tree->GetColumn(column)->LoadEditValue(node, editor, value);
  editor->SetModified(false);
  const TRect rect = tree->GetEditorRect(node, tree->GetVisibleIndexOfColumn(column));
  editor->ShowEdit(rect);
  return editor;
}

// The display's button colours are those of the classic scheme while the gallery paints,
// and its own again when it is done, also when painting fails. The header's etched sort
// arrows are drawn in the button highlight and shadow colours: on a nearly white button
// face (the light scheme of Wine's prefix: face 245, highlight 255) they lose their light
// edges.
class TClassicButtonColours {
 public:
  TClassicButtonColours() {
    for (size_t i = 0; i < std::size(kElements); ++i)
      FSaved[i] = GetSysColor(kElements[i]);
    SetSysColors(int(std::size(kElements)), kElements, kClassic);
  }
  ~TClassicButtonColours() { SetSysColors(int(std::size(kElements)), kElements, FSaved); }
  TClassicButtonColours(const TClassicButtonColours&) = delete;
  TClassicButtonColours& operator=(const TClassicButtonColours&) = delete;

 private:
  static constexpr INT kElements[] = {COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DLIGHT,
                                      COLOR_3DDKSHADOW};
  static constexpr COLORREF kClassic[] = {RGB(192, 192, 192), RGB(128, 128, 128), RGB(255, 255, 255),
                                          RGB(192, 192, 192), RGB(64, 64, 64)};
  COLORREF FSaved[std::size(kElements)] = {};
};

LRESULT CALLBACK FrameProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return GuardBoundaryResult<LRESULT>("TreeListGallery", 0, [&]() -> LRESULT {
    if (msg == WM_ERASEBKGND) {
      RECT r;
      GetClientRect(wnd, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
  });
}

// Dispatches messages for `ms` milliseconds: the display takes the painting
// asynchronously.
void Pump(DWORD ms = 0) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (ms)
      Sleep(10);
  } while (GetTickCount() - start < ms);
}

int Run(const std::string& output) {
  const TClassicButtonColours colours;
  WNDCLASSA cls{};
  cls.lpfnWndProc = FrameProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  cls.lpszClassName = "TreeListGallery";
  RegisterClassA(&cls);
  RECT frame{0, 0, kWidth + 2 * kMargin, 2 * kGridHeight + kKindsHeight + 4 * kMargin};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND wnd = CreateWindowExA(0, "TreeListGallery", "Tree list gallery", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20,
                             frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  ShowWindow(wnd, SW_SHOW);

  const std::unique_ptr<TImageList> images = MakeImages();
  auto* upper = new TGalleryTreeList(nullptr);
  upper->SetImages(images.get());
  upper->SetParentWindow(wnd);
  upper->SetBounds(kMargin, kMargin, kWidth, kGridHeight);
  upper->SetShowBands(true);
  upper->SetShowIndicator(true);
  upper->SetShowFooter(true);
  upper->SetOptions(upper->GetOptions().Include(aoMultiSelect).Exclude(aoEditing));
  Populate(upper);

  auto* lower = new TGalleryTreeList(nullptr);
  lower->SetParentWindow(wnd);
  lower->SetBounds(kMargin, 2 * kMargin + kGridHeight, kWidth, kGridHeight);
  lower->LeftFixed = -1;
  lower->RightFixed = -1;
  lower->Status = true;
  lower->SetLookAndFeel(lfFramed);
  lower->SetGridLook(true);
  lower->SetShowGrid(true);
  lower->SetShowBands(true);
  lower->SetShowIndicator(true);
  lower->SetHideSelectionUnfocused(false);
  // The unfocused selection in a grey that shows on the window colour (the button face
  // of some schemes is nearly white).
  lower->SetHideSelectionColor(TColor(0x00C8D0D4));
  lower->SetHideFocusRectUnfocused(false);
  lower->SetOptions(lower->GetOptions().Include(aoPreview).Include(aoRowSelect).Exclude(aoEditing));
  lower->SetOptionsEx(lower->GetOptionsEx().Include(aoAutoCalcPreviewLines));
  Populate(lower);

  TComponent kindsOwner(nullptr);
  TWrapperChoice choice{};
  TCustomdxTreeListControl* kinds = MakeKindsGrid(&kindsOwner, wnd, images.get(), choice);

  upper->HandleNeeded();
  lower->HandleNeeded();
  kinds->HandleNeeded();
  SetForegroundWindow(wnd);
  UpdateWindow(wnd);
  Pump(/*ms=*/200);
  // Editors open on two cells of the kinds grid, each with its popup: the date editor of
  // the last row (its second line) with its calendar below the rows (taken first: a popup
  // closes when its editor loses the focus), then the pick editor with its list.
  auto* date = static_cast<TdxInplaceDateEdit*>(OpenEditor(kinds, 3, 3));
  date->DropDown();
  Pump(/*ms=*/300);
  standin::TShotImage calendar;
  RECT calendarRect{};
  if (TWinControl* popup = date->GetPopup(); popup && popup->HandleAllocated() && IsWindowVisible(popup->GetHandle())) {
    calendar = standin::CaptureWindow(popup->GetHandle());
    GetWindowRect(popup->GetHandle(), &calendarRect);
  }
  date->CloseUp(false);
  auto* pick = static_cast<TdxInplaceDropDownEdit*>(OpenEditor(kinds, 2, 7));
  pick->DropDown();
  Pump(/*ms=*/500);

  // The window as it shows on the display, scroll bars and frame included; the popups
  // are windows of their own over it.
  standin::TShotImage image = standin::CaptureWindow(wnd);
  RECT frameRect{};
  GetWindowRect(wnd, &frameRect);
  if (!calendar.Pixels.empty())
    image = standin::Compose(image, frameRect, calendar, calendarRect);
  if (TWinControl* list = pick->GetPopupControl(); list && list->HandleAllocated() && IsWindowVisible(list->GetHandle())) {
    RECT listRect{};
    GetWindowRect(list->GetHandle(), &listRect);
    image = standin::Compose(image, frameRect, standin::CaptureWindow(list->GetHandle()), listRect);
  }
  pick->CloseUp(false);
  delete kinds;
  delete lower;
  delete upper;
  DestroyWindow(wnd);
  Pump();
  if (image.Flat()) {
    std::fprintf(stderr, "TreeListGallery: the grids painted nothing\n");
    return 1;
  }
  if (!standin::WritePng(output, image)) {
    std::fprintf(stderr, "TreeListGallery: cannot write %s\n", output.c_str());
    return 1;
  }
  std::printf("%s\n", output.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: TreeListGallery.exe <output.png>\n");
    return 2;
  }
  if (!StartUnits(TreeListGalleryUnits()))
    return 1;
  // A batch tool: failures are printed, never shown in a message box nobody answers.
  SetBoundaryHandler([](const char* where, const std::exception* error) {
    std::fprintf(stderr, "TreeListGallery: %s: %s\n", where, error ? error->what() : "unknown exception");
  });
  int result = 1;
  GuardBoundary("TreeListGallery", [&] { result = Run(argv[1]); });
  StopUnits();
  return result;
}
