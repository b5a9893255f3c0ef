// The visual-style binding: the four entries resolve to the library's own exports,
// and a missing library leaves every pointer null (the state callers must test for).
#include <gtest/gtest.h>

#include "xpcontrols/XPThemeBinding.h"

namespace {

TEST(XPThemeBindingTest, ResolvesTheFourEntriesOfTheLibrary) {
  ASSERT_TRUE(UxThemeDrawingLoaded());
  HMODULE library = GetModuleHandleA("uxtheme.dll");
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(reinterpret_cast<FARPROC>(OpenThemeDataProc), GetProcAddress(library, "OpenThemeData"));
  EXPECT_EQ(reinterpret_cast<FARPROC>(CloseThemeDataProc), GetProcAddress(library, "CloseThemeData"));
  EXPECT_EQ(reinterpret_cast<FARPROC>(DrawThemeBackgroundProc), GetProcAddress(library, "DrawThemeBackground"));
  EXPECT_EQ(reinterpret_cast<FARPROC>(DrawThemeTextProc), GetProcAddress(library, "DrawThemeText"));
  EXPECT_NE(OpenThemeDataProc, nullptr);
  BindUxThemeDrawing();  // bound already: nothing changes
  EXPECT_EQ(reinterpret_cast<FARPROC>(OpenThemeDataProc), GetProcAddress(library, "OpenThemeData"));
}

TEST(XPThemeBindingTest, MissingLibraryLeavesThePointersNull) {
  ReleaseUxThemeDrawing();
  EXPECT_FALSE(UxThemeDrawingLoaded());
  EXPECT_EQ(OpenThemeDataProc, nullptr);
  BindUxThemeDrawingFrom("kivo-missing-uxtheme.dll");
  EXPECT_FALSE(UxThemeDrawingLoaded());
  EXPECT_EQ(OpenThemeDataProc, nullptr);
  EXPECT_EQ(CloseThemeDataProc, nullptr);
  EXPECT_EQ(DrawThemeBackgroundProc, nullptr);
  EXPECT_EQ(DrawThemeTextProc, nullptr);
  // A library without the entries loads but binds nothing.
  BindUxThemeDrawingFrom("msimg32.dll");
  EXPECT_TRUE(UxThemeDrawingLoaded());
  EXPECT_EQ(OpenThemeDataProc, nullptr);
  EXPECT_EQ(DrawThemeTextProc, nullptr);
  ReleaseUxThemeDrawing();
  BindUxThemeDrawing();
  EXPECT_NE(DrawThemeTextProc, nullptr);
}

}  // namespace
