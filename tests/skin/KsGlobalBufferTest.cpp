// The shared paint buffer: a self-made one of the screen's size in an executable, the
// 16-word description the export hands out (the argument in EAX), and a library that
// adopts its host's buffer and never frees it. LoadKIVO.dll serves as the other module.
#include <cstring>

#include <gtest/gtest.h>

#include "classlib/UtilWindow.h"
#include "skin/KsGlobalBuffer.h"

namespace {

constexpr uint32_t kUnwritten = 0xCDCDCDCD;

TKsBufferDesc Unwritten() {
  TKsBufferDesc desc;
  std::memset(&desc, 0xCD, sizeof desc);
  return desc;
}

const uint32_t* Words(const TKsBufferDesc& desc) { return reinterpret_cast<const uint32_t*>(&desc); }

void ExpectDescribes(const TKsBufferDesc& desc, const TKsBitmap& bitmap) {
  const uint32_t* w = Words(desc);
  EXPECT_EQ(w[0], 40u);
  EXPECT_EQ(int32_t(w[1]), bitmap.GetWidth());
  EXPECT_EQ(int32_t(w[2]), -bitmap.GetHeight());  // top-down rows
  EXPECT_EQ(w[3], 1u | 32u << 16);
  EXPECT_EQ(w[4], uint32_t(BI_RGB));
  EXPECT_EQ(w[11], reinterpret_cast<uintptr_t>(bitmap.GetHandle()));
  EXPECT_EQ(w[12], reinterpret_cast<uintptr_t>(bitmap.GetDC()));
  EXPECT_EQ(w[13], reinterpret_cast<uintptr_t>(bitmap.GetBits()));
  EXPECT_EQ(int(w[14]), bitmap.GetHeight());
  EXPECT_EQ(int(w[15]), bitmap.GetWidth());
  for (int i = 0; i < 16; ++i)
    EXPECT_NE(w[i], kUnwritten) << "word " << i;
}

TGetGlobalBufferProc ExportOf(HMODULE module) {
  return reinterpret_cast<TGetGlobalBufferProc>(reinterpret_cast<void*>(GetProcAddress(module, "GetGlobalBuffer")));
}

TEST(KsGlobalBuffer, AnExecutableMakesItsOwnOfTheScreensSize) {
  ASSERT_EQ(ClassLibInstance(), GetModuleHandleA(nullptr));
  TKsBitmap* buffer = KsGlobalBuffer();
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->GetWidth(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(buffer->GetHeight(), GetSystemMetrics(SM_CYSCREEN));
  EXPECT_FALSE(buffer->GetBufferNotOwned());
  CreateGlobalBuffer();  // a second start-up does nothing
  EXPECT_EQ(KsGlobalBuffer(), buffer);
}

TEST(KsGlobalBuffer, TheExportDescribesTheSharedBufferInAll16Words) {
  TKsBufferDesc desc = Unwritten();
  GetGlobalBuffer(&desc);
  ExpectDescribes(desc, *KsGlobalBuffer());
}

TEST(KsGlobalBuffer, WithoutAProviderTheBufferIsSelfMade) {
  FreeGlobalBuffer();
  FreeGlobalBuffer();  // a second shut-down does nothing
  EXPECT_EQ(KsGlobalBuffer(), nullptr);
  // This executable exports no GetGlobalBuffer; no host module at all falls back too.
  for (HMODULE host : {GetModuleHandleA(nullptr), HMODULE(nullptr)}) {
    CreateGlobalBufferFor(host, /*moduleIsLibrary=*/true);
    ASSERT_NE(KsGlobalBuffer(), nullptr);
    EXPECT_FALSE(KsGlobalBuffer()->GetBufferNotOwned());
    EXPECT_EQ(KsGlobalBuffer()->GetWidth(), GlobalBufferFallbackSize().cx);
    EXPECT_EQ(KsGlobalBuffer()->GetHeight(), GlobalBufferFallbackSize().cy);
    FreeGlobalBuffer();
  }
  CreateGlobalBuffer();
}

TEST(KsGlobalBuffer, ALibraryAdoptsItsHostsBufferAndNeverFreesIt) {
  HMODULE plugin = LoadLibraryA("LoadKIVO.dll");
  ASSERT_NE(plugin, nullptr) << "error " << GetLastError();
  TGetGlobalBufferProc pluginExport = ExportOf(plugin);
  ASSERT_NE(pluginExport, nullptr);
  // The plug-in found no provider in this executable: its buffer is its own.
  TKsBufferDesc provided = Unwritten();
  pluginExport(&provided);
  const uint32_t* w = Words(provided);
  EXPECT_EQ(int(w[15]), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(int(w[14]), GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(int32_t(w[2]), -int32_t(w[14]));
  HDC providerDC = reinterpret_cast<HDC>(uintptr_t(w[12]));
  HBITMAP providerDib = reinterpret_cast<HBITMAP>(uintptr_t(w[11]));
  EXPECT_EQ(GetObjectType(providerDC), DWORD(OBJ_MEMDC));
  EXPECT_EQ(GetCurrentObject(providerDC, OBJ_BITMAP), providerDib);

  // This module as the library, the plug-in as its host.
  FreeGlobalBuffer();
  CreateGlobalBufferFor(plugin, /*moduleIsLibrary=*/true);
  TKsBitmap* adopted = KsGlobalBuffer();
  ASSERT_NE(adopted, nullptr);
  EXPECT_TRUE(adopted->GetBufferNotOwned());
  ExpectDescribes(provided, *adopted);  // the provider's words, unchanged
  TKsBufferDesc again = Unwritten();
  GetGlobalBuffer(&again);
  EXPECT_EQ(std::memcmp(&again, &provided, sizeof provided), 0);

  // Painting into the adopted buffer paints the provider's pixels.
  adopted->SetPixel(3, 2, 0xFF102030);
  GdiFlush();
  EXPECT_EQ(reinterpret_cast<const TKsColor*>(uintptr_t(w[13]))[2 * int(w[15]) + 3], 0xFF102030u);

  FreeGlobalBuffer();
  EXPECT_EQ(GetObjectType(providerDC), DWORD(OBJ_MEMDC));
  EXPECT_EQ(GetObjectType(providerDib), DWORD(OBJ_BITMAP));
  EXPECT_EQ(GetCurrentObject(providerDC, OBJ_BITMAP), providerDib);

  CreateGlobalBuffer();
  EXPECT_FALSE(KsGlobalBuffer()->GetBufferNotOwned());
  ASSERT_TRUE(FreeLibrary(plugin));
  // The plug-in's own buffer went with it.
  EXPECT_EQ(GetObjectType(providerDC), 0u);
  EXPECT_EQ(GetObjectType(providerDib), 0u);
}

}  // namespace
