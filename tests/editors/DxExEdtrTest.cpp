// The editor module's start-up and shut-down: every shared object made and freed with
// the library's handle counts back where they began, the hand cursor in the screen's
// table, the texts of the string table, the glyph lists with their transparent colours,
// and the same resources compiled into LoadKIVO.dll.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/Bitmap.h"
#include "classlib/Canvas.h"
#include "classlib/Forms.h"
#include "classlib/HandleCounter.h"
#include "classlib/UtilWindow.h"
#include "editors/DxExEdtr.h"
#include "editors/DxInplaceCheckEdit.h"
#include "editors/DxTextHelpers.h"
#include "tests/support/TestSupport.h"

namespace {

const char* const kBitmaps[] = {"DXTOOL_CUT",          "DXTOOL_COPY",    "DXTOOL_PASTE",        "DXTOOL_DELETE",
                                "DXTOOL_LOAD",         "DXTOOL_SAVE",    "DXINPLACE_BLOB_NULL", "DXINPLACE_BLOB",
                                "DXINPLACE_MEMO_NULL", "DXINPLACE_MEMO", "DXINPLACE_PICT_NULL", "DXINPLACE_PICT",
                                "DXINPLACE_OLE_NULL",  "DXINPLACE_OLE"};

// The module is started by the test executable; each test that stops it starts it again.
class DxExEdtrTest : public testing::Test {
 protected:
  void TearDown() override {
    while (!DxToolGlyphs())
      InitializeDxExEdtr();
  }
};

bool IsHandCursor(HCURSOR cursor) {
  ICONINFO info{};
  if (!cursor || !GetIconInfo(cursor, &info))
    return false;
  if (info.hbmMask)
    DeleteObject(info.hbmMask);
  if (info.hbmColor)
    DeleteObject(info.hbmColor);
  return !info.fIcon && info.xHotspot == 5 && info.yHotspot == 0;
}

TEST_F(DxExEdtrTest, StartUpMakesEverySharedObjectAndShutDownFreesThemAll) {
  FinalizeDxExEdtr();
  ASSERT_EQ(DxToolGlyphs(), nullptr);
  EXPECT_EQ(DxInplaceGlyphs(), nullptr);
  EXPECT_EQ(DxSharedCanvas(), nullptr);
  EXPECT_EQ(TdxCheckEditStyle::DefaultStyleController(), nullptr);
  EXPECT_EQ(Screen->GetCursors(crDxHandPoint), Screen->GetCursors(crDefault));
  EXPECT_TRUE(DxDateErrorText().empty());
  EXPECT_EQ(DxTimeConstants().OneHour, 0);
  const int gdi = LiveGdiHandleCount(), user = LiveUserHandleCount(), mismatches = HandleMismatchCount();

  InitializeDxExEdtr();
  InitializeDxExEdtr();  // counted: the second changes nothing
  ASSERT_NE(DxToolGlyphs(), nullptr);
  EXPECT_EQ(DxToolGlyphs()->GetCount(), 6);
  EXPECT_EQ(DxToolGlyphs()->GetWidth(), 16);
  EXPECT_EQ(DxInplaceGlyphs()->GetCount(), 8);
  EXPECT_NE(DxSharedCanvas(), nullptr);
  EXPECT_NE(TdxCheckEditStyle::DefaultStyleController(), nullptr);
  EXPECT_TRUE(IsHandCursor(Screen->GetCursors(crDxHandPoint)));
  EXPECT_EQ(LiveHandleCount(THandleKind::Cursor), 1);
  EXPECT_EQ(LiveHandleCount(THandleKind::ImageList), 2);
  EXPECT_GT(LiveUserHandleCount(), user);
  BITMAP boxes{};
  HBITMAP system = LoadBitmapA(nullptr, MAKEINTRESOURCEA(32759));  // OBM_CHECKBOXES
  GetObjectA(system, sizeof boxes, &boxes);
  DeleteObject(system);
  EXPECT_EQ(DxCheckSize().cx, boxes.bmWidth / 4);
  EXPECT_EQ(DxCheckSize().cy, boxes.bmHeight / 3);

  FinalizeDxExEdtr();
  EXPECT_NE(DxToolGlyphs(), nullptr) << "still started once";
  FinalizeDxExEdtr();
  EXPECT_EQ(DxToolGlyphs(), nullptr);
  EXPECT_EQ(TdxCheckEditStyle::DefaultStyleController(), nullptr);
  EXPECT_EQ(Screen->GetCursors(crDxHandPoint), Screen->GetCursors(crDefault));
  EXPECT_TRUE(DxToolCaptions()[0].empty());
  EXPECT_EQ(LiveGdiHandleCount(), gdi);
  EXPECT_EQ(LiveUserHandleCount(), user);
  EXPECT_EQ(HandleMismatchCount(), mismatches);
}

TEST_F(DxExEdtrTest, TextsAndConstantsComeFromTheStringTable) {
  EXPECT_EQ(DxDateErrorText(), "Invalid Date");
  EXPECT_EQ(DxToolCaptions(), (TDxToolTexts{"Cu&t", "&Copy", "&Paste", "&Delete", "&Load...", "&Save To...", ""}));
  EXPECT_EQ(DxToolHints(),
            (TDxToolTexts{"Cut", "Copy", "Paste", "Delete", "Load from file...", "Save to file...", ""}));
  EXPECT_EQ(DxBlobButtonCaptions(), (TDxBlobButtonCaptions{"&OK", "&Cancel", "&Close"}));
  EXPECT_EQ(DxDateKeywords(), DxDefaultDateKeywords());
  EXPECT_EQ(DxLoadStr(38951), "Error");
  EXPECT_EQ(DxLoadStr(38948), "Invalid input value. Use escape key to abandon changes");
  EXPECT_EQ(DxLoadStr(38999), "");
  const TDxTimeConstants& t = DxTimeConstants();
  EXPECT_EQ(t.OneSecond, EncodeTime(0, 0, 1, 0));
  EXPECT_DOUBLE_EQ(t.OneMinute, 60 * t.OneSecond);
  EXPECT_DOUBLE_EQ(t.OneHour, 1.0 / 24);
  EXPECT_EQ(t.StartOfDay, 0);
  EXPECT_EQ(t.EndOfDay, EncodeTime(23, 59, 59, 0));
}

TEST_F(DxExEdtrTest, ShutDownPutsTheBuiltInKeywordsBack) {
  DxDateKeywords()[dkToday] = "HEUTE";
  FinalizeDxExEdtr();
  EXPECT_EQ(DxDateKeywords()[dkToday], "TODAY");
  TDateTime date = 0;
  EXPECT_TRUE(SmartTextToDate("today", date));
}

// Draws image `index` of `list` on a surface filled with `fill` and answers the surface's
// pixel at (x, y).
COLORREF DrawnPixel(TImageList* list, int index, COLORREF fill, int x, int y) {
  TDibSurface surface(16, 16);
  surface.Fill(fill);
  ImageList_Draw(list->GetHandle(), index, surface.DC(), 0, 0, ILD_TRANSPARENT);
  return surface.Color(x, y);
}

TEST_F(DxExEdtrTest, GlyphListsMaskTheirBackgrounds) {
  const COLORREF fill = RGB(1, 2, 3);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(DrawnPixel(DxToolGlyphs(), i, fill, 0, 15), fill) << "tool glyph " << i << ": its own colour";
    int ink = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        ink += DrawnPixel(DxToolGlyphs(), i, fill, x, y) != fill;
    EXPECT_GT(ink, 16) << "tool glyph " << i;
  }
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(DrawnPixel(DxInplaceGlyphs(), i, fill, 0, 0), fill) << "icon " << i << ": olive";
    EXPECT_NE(DrawnPixel(DxInplaceGlyphs(), i, fill, 8, 8), fill) << "icon " << i;
  }
  // The loaders work on any module: one without the resources gives empty lists.
  EXPECT_EQ(LoadToolGlyphs(GetModuleHandleA("kernel32.dll"))->GetCount(), 0);
}

// The bytes of a resource, empty when the module has none.
std::string ResourceBytes(HMODULE module, const char* name, LPCSTR type) {
  HRSRC found = FindResourceA(module, name, type);
  if (!found)
    return {};
  HGLOBAL loaded = LoadResource(module, found);
  const char* bytes = static_cast<const char*>(LockResource(loaded));
  return bytes ? std::string(bytes, SizeofResource(module, found)) : std::string();
}

TEST_F(DxExEdtrTest, LoadKivoCarriesTheSameResources) {
  HMODULE plugin = LoadLibraryExA("LoadKIVO.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(plugin, nullptr) << "error " << GetLastError();
  HMODULE own = ClassLibInstance();
  for (const char* name : kBitmaps) {
    const std::string bytes = ResourceBytes(own, name, MAKEINTRESOURCEA(2));  // RT_BITMAP
    ASSERT_FALSE(bytes.empty()) << name;
    EXPECT_EQ(ResourceBytes(plugin, name, MAKEINTRESOURCEA(2)), bytes) << name;
  }
  const std::string cursor = ResourceBytes(own, "DX_HANDPOINT", MAKEINTRESOURCEA(12));  // RT_GROUP_CURSOR
  ASSERT_FALSE(cursor.empty());
  EXPECT_EQ(ResourceBytes(plugin, "DX_HANDPOINT", MAKEINTRESOURCEA(12)), cursor);
  for (int id = 38901; id <= 38956; ++id) {
    char a[256] = {}, b[256] = {};
    const int la = LoadStringA(own, UINT(id), a, int(sizeof a));
    const int lb = LoadStringA(plugin, UINT(id), b, int(sizeof b));
    EXPECT_EQ(std::string(b, size_t(std::max(lb, 0))), std::string(a, size_t(std::max(la, 0)))) << id;
  }
  FreeLibrary(plugin);
}

}  // namespace
