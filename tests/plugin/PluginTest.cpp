// LoadKIVO.dll as the host sees it: loaded by name, exports found by undecorated name.
#include <gtest/gtest.h>

#include <string>

#include "host/HostInterfaces.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(Plugin, ExportsTheImporterDescription) {
  HMODULE plugin = LoadLibraryA("LoadKIVO.dll");
  ASSERT_NE(plugin, nullptr) << "error " << GetLastError();
  using TGetDescription = const char*(__stdcall*)();
  auto describe = reinterpret_cast<TGetDescription>(
      reinterpret_cast<void*>(GetProcAddress(plugin, "GetPcbImporterDescription")));
  ASSERT_NE(describe, nullptr);
  EXPECT_STREQ(describe(), "V-LOM KIVO files (*.PDF)");
  EXPECT_EQ(describe(), describe());  // one constant text
  EXPECT_EQ(GetProcAddress(plugin, "GetPcbImporterDescription@0"), nullptr);
  EXPECT_TRUE(FreeLibrary(plugin));
}

// This test executable exports no "ClientAPI_" names, so the plug-in starts without a
// client; the module it makes is still whole.
TEST(Plugin, ServerFactoryMakesTheImportersModule) {
  HMODULE plugin = LoadLibraryA("LoadKIVO.dll");
  ASSERT_NE(plugin, nullptr) << "error " << GetLastError();
  using TServerFactory = void(__stdcall*)(IModuleIntf**, IClient*);
  auto factory = reinterpret_cast<TServerFactory>(
      reinterpret_cast<void*>(GetProcAddress(plugin, "ServerFactory")));
  ASSERT_NE(factory, nullptr);
  IModuleIntf* module = reinterpret_cast<IModuleIntf*>(0x1);  // the factory never reads it
  factory(&module, nullptr);
  ASSERT_NE(module, nullptr);
  EXPECT_STREQ(module->GetModuleName(), "KIVOImporter");
  EXPECT_EQ(module->GetModuleHandle(), plugin);
  EXPECT_EQ(module->GetDocumentCount(), 0);
  IServerDocument* document = reinterpret_cast<IServerDocument*>(0x1);
  module->CreateDocument(0, 0, &document);
  EXPECT_EQ(document, nullptr);
  EXPECT_EQ(module->GetDocumentCount(), 0);
  IClient* client = reinterpret_cast<IClient*>(0x1);
  module->GetModuleClient(&client);
  EXPECT_EQ(client, nullptr);
  EXPECT_EQ(module->Release(), 0u);  // the host's reference was the only one
  EXPECT_TRUE(FreeLibrary(plugin));
}

}  // namespace

std::span<const TUnitEntry> TestUnits() { return {}; }
