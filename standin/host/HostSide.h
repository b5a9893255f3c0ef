// The stand-in host's own declarations of the interfaces it shares with a plug-in,
// written from the host's side of the binary contract (host/CONTRACT.md) and kept
// apart from the plug-in's headers, so that a disagreement between the two shows up
// as a failing run instead of being compiled away.
//
// Every table is COM-shaped: QueryInterface, AddRef, Release at 0-2, then __stdcall
// operations at fixed positions. Slots a plug-in has no business calling are declared
// too (SlotN); the stand-in's implementations log them as unexpected and end the run.
#pragma once

#include <cstdint>

#include "classlib/Win.h"

namespace standin {

#define STANDIN_SLOT(n) virtual void __stdcall Slot##n() = 0

// Plug-in → host.
struct HostViewCommand : IUnknown {
  virtual void __stdcall Run() = 0;  // 3
};

struct HostDocumentView : IUnknown {
  STANDIN_SLOT(3);
  STANDIN_SLOT(4);
  STANDIN_SLOT(5);
  STANDIN_SLOT(6);
  STANDIN_SLOT(7);
  virtual void __stdcall MakeProcess(const char* process, int32_t a, int32_t b, IUnknown* token,
                                     HostViewCommand** out) = 0;  // 8
  STANDIN_SLOT(9);
  STANDIN_SLOT(10);
  STANDIN_SLOT(11);
  virtual const char* __stdcall Kind() = 0;  // 12
};

struct HostDocument : IUnknown {
  STANDIN_SLOT(3);
  STANDIN_SLOT(4);
  STANDIN_SLOT(5);
  STANDIN_SLOT(6);
  STANDIN_SLOT(7);
  virtual int32_t __stdcall Focus() = 0;  // 8
  STANDIN_SLOT(9);
  STANDIN_SLOT(10);
  STANDIN_SLOT(11);
  STANDIN_SLOT(12);
  STANDIN_SLOT(13);
  STANDIN_SLOT(14);
  STANDIN_SLOT(15);
  STANDIN_SLOT(16);
  STANDIN_SLOT(17);
  virtual void __stdcall View(HostDocumentView** out) = 0;          // 18
  virtual void __stdcall Token(int32_t value, IUnknown** out) = 0;  // 19
};

struct HostDocumentCreator : IUnknown {
  STANDIN_SLOT(3);
  STANDIN_SLOT(4);
  virtual void __stdcall Make(HostDocument** out) = 0;  // 5
};

struct HostHelpRequest : IUnknown {
  STANDIN_SLOT(3);
  STANDIN_SLOT(4);
  STANDIN_SLOT(5);
  STANDIN_SLOT(6);
  STANDIN_SLOT(7);
  STANDIN_SLOT(8);
  STANDIN_SLOT(9);
  STANDIN_SLOT(10);
  STANDIN_SLOT(11);
  virtual int32_t __stdcall Activate() = 0;  // 12
};

struct HostClient : IUnknown {
  STANDIN_SLOT(3);
  STANDIN_SLOT(4);
  STANDIN_SLOT(5);
  STANDIN_SLOT(6);
  STANDIN_SLOT(7);
  STANDIN_SLOT(8);
  virtual HWND __stdcall ApplicationWindow() = 0;  // 9
  STANDIN_SLOT(10);
  STANDIN_SLOT(11);
  STANDIN_SLOT(12);
  STANDIN_SLOT(13);
  virtual void __stdcall FindOpenDocument(const char* file, HostDocument** out) = 0;  // 14
  virtual HWND __stdcall MainWindow() = 0;                                            // 15
  STANDIN_SLOT(16);
  virtual void __stdcall HelpRequest(int32_t value, const char* text,
                                     HostHelpRequest** out) = 0;  // 17
  STANDIN_SLOT(18);
  virtual void __stdcall DocumentCreator(const char* kind, const char* editor, const char* file,
                                         HostDocumentCreator** out) = 0;  // 19
  STANDIN_SLOT(20);
  STANDIN_SLOT(21);
  STANDIN_SLOT(22);
  STANDIN_SLOT(23);
  virtual void __stdcall OpenDocumentAs(const char* kind, const char* file,
                                        HostDocument** out) = 0;  // 24
  virtual uint8_t __stdcall StartServer(const char* server) = 0;  // 25
  STANDIN_SLOT(26);
  virtual const char* __stdcall KindOfFile(const char* file) = 0;  // 27
  STANDIN_SLOT(28);
  STANDIN_SLOT(29);
  STANDIN_SLOT(30);
  virtual void __stdcall Show(HostDocument* document) = 0;  // 31
  STANDIN_SLOT(32);
  STANDIN_SLOT(33);
  STANDIN_SLOT(34);
  STANDIN_SLOT(35);
  STANDIN_SLOT(36);
  STANDIN_SLOT(37);
  STANDIN_SLOT(38);
  virtual const char* __stdcall HelpFileOfTopic(const char* topic) = 0;  // 39
};

struct HostCommandRunner : IUnknown {
  STANDIN_SLOT(3);
  virtual uint8_t __stdcall Run(const char* process, char* buffer, int32_t size,
                                IUnknown* context) = 0;  // 4
};

// Host → plug-in.
struct PluginCommandLauncher : IUnknown {
  virtual int32_t __stdcall Launch(const char* command, const char* parameters, int32_t unused,
                                   IUnknown* context) = 0;  // 3
  virtual void __stdcall State(const char* command, const char* parameters, IUnknown* context,
                               int32_t* v1, int32_t* v2, int32_t* v3, uint8_t* f1,
                               uint8_t* f2) = 0;  // 4
};

struct PluginProcessControl : IUnknown {
  virtual int32_t __stdcall Depth() = 0;                         // 3
  virtual void __stdcall Decrement(IUnknown* c, int32_t v) = 0;  // 4
  virtual void __stdcall Increment(IUnknown* c, int32_t v) = 0;  // 5
  virtual void __stdcall Set(int32_t depth) = 0;                 // 6
};

struct PluginModule : IUnknown {
  virtual void __stdcall Idle() = 0;                                             // 3
  virtual void __stdcall Notify(IUnknown* notification) = 0;                     // 4
  virtual void __stdcall NewDocument(int32_t a, int32_t b, IUnknown** out) = 0;  // 5
  virtual void __stdcall DropDocument(IUnknown* document) = 0;                   // 6
  virtual void __stdcall Client(IUnknown** out) = 0;                             // 7
  virtual void __stdcall Launcher(PluginCommandLauncher** out) = 0;              // 8
  virtual int32_t __stdcall DocumentCount() = 0;                                 // 9
  virtual void __stdcall Document(int32_t index, IUnknown** out) = 0;            // 10
  virtual HINSTANCE __stdcall Instance() = 0;                                    // 11
  virtual const char* __stdcall Name() = 0;                                      // 12
  virtual void __stdcall ProcessControl(PluginProcessControl** out) = 0;         // 13
  virtual int32_t __stdcall PanelCount() = 0;                                    // 14
  virtual void __stdcall Panel(int32_t index, IUnknown** out) = 0;               // 15
  virtual int32_t __stdcall ModuleValue() = 0;                                   // 16
};

#undef STANDIN_SLOT

// {4C11EF71-6297-4E2B-90D1-7F5F1A9E2ADE}
inline constexpr GUID kClientId = {
    0x4C11EF71, 0x6297, 0x4E2B, {0x90, 0xD1, 0x7F, 0x5F, 0x1A, 0x9E, 0x2A, 0xDE}};
// {8452C443-703F-4881-B7AC-C33550794AA6}
inline constexpr GUID kCommandRunnerId = {
    0x8452C443, 0x703F, 0x4881, {0xB7, 0xAC, 0xC3, 0x35, 0x50, 0x79, 0x4A, 0xA6}};
// {CF7702C4-5044-49E3-BE46-37B9F8FB8203}
inline constexpr GUID kModuleId = {
    0xCF7702C4, 0x5044, 0x49E3, {0xBE, 0x46, 0x37, 0xB9, 0xF8, 0xFB, 0x82, 0x03}};

// The plug-in's factory export: the module interface through the first argument.
using ServerFactoryProc = void(__stdcall*)(PluginModule** module, HostClient* client);

}  // namespace standin
