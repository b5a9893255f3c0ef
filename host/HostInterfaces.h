// The interfaces through which the host and the plug-in call each other, laid out as
// host/CONTRACT.md fixes them: COM-layout operation tables of __stdcall operations,
// positions counted from QueryInterface = 0, an interface result delivered through a
// last out-parameter (the callee stores a counted reference or null without reading
// the old value), texts as zero-terminated 8-bit strings, Booleans as one byte.
//
// Positions the plug-in never calls are reserved slots; they keep the later operations
// at their places and are never called.
#pragma once

#include <cstdint>

#include "classlib/Interfaces.h"
#include "classlib/Win.h"

// One byte, non-zero meaning True, as Booleans cross the host boundary.
using TBoolByte = uint8_t;

#define KIVO_RESERVED_SLOT(n) virtual void __stdcall Reserved##n() = 0

// A view process prepared by IServerDocumentView position 8, ready to run.
struct IViewCommand : IUnknown {
  virtual void __stdcall Execute() = 0;  // 3: carries out the prepared process call
};

struct IServerDocumentView : IUnknown {
  KIVO_RESERVED_SLOT(3);
  KIVO_RESERVED_SLOT(4);
  KIVO_RESERVED_SLOT(5);
  KIVO_RESERVED_SLOT(6);
  KIVO_RESERVED_SLOT(7);
  // 8: prepares the view process `process`; `context` comes from the document's
  // position 19.
  virtual void __stdcall PrepareProcess(const char* process, int32_t value1, int32_t value2,
                                        IUnknown* context, IViewCommand** result) = 0;
  KIVO_RESERVED_SLOT(9);
  KIVO_RESERVED_SLOT(10);
  KIVO_RESERVED_SLOT(11);
  virtual const char* __stdcall GetViewKind() = 0;  // 12: "TextEdit" for text views
};

struct IServerDocument : IUnknown {
  KIVO_RESERVED_SLOT(3);
  KIVO_RESERVED_SLOT(4);
  KIVO_RESERVED_SLOT(5);
  KIVO_RESERVED_SLOT(6);
  KIVO_RESERVED_SLOT(7);
  virtual int32_t __stdcall Focus() = 0;  // 8: called before the document is shown again
  KIVO_RESERVED_SLOT(9);
  KIVO_RESERVED_SLOT(10);
  KIVO_RESERVED_SLOT(11);
  KIVO_RESERVED_SLOT(12);
  KIVO_RESERVED_SLOT(13);
  KIVO_RESERVED_SLOT(14);
  KIVO_RESERVED_SLOT(15);
  KIVO_RESERVED_SLOT(16);
  KIVO_RESERVED_SLOT(17);
  virtual void __stdcall GetView(IServerDocumentView** result) = 0;  // 18
  // 19: the context handed on to the view's process call.
  virtual void __stdcall GetProcessContext(int32_t value, IUnknown** result) = 0;
};

struct IDocumentCreator : IUnknown {
  KIVO_RESERVED_SLOT(3);
  KIVO_RESERVED_SLOT(4);
  virtual void __stdcall CreateDocument(IServerDocument** result) = 0;  // 5
};

// What IClient position 17 hands out for a context-help request.
struct IClientHelpHook : IUnknown {
  KIVO_RESERVED_SLOT(3);
  KIVO_RESERVED_SLOT(4);
  KIVO_RESERVED_SLOT(5);
  KIVO_RESERVED_SLOT(6);
  KIVO_RESERVED_SLOT(7);
  KIVO_RESERVED_SLOT(8);
  KIVO_RESERVED_SLOT(9);
  KIVO_RESERVED_SLOT(10);
  KIVO_RESERVED_SLOT(11);
  virtual int32_t __stdcall Invoke() = 0;  // 12: result ignored
};

struct IClient : IUnknown {
  KIVO_INTERFACE_ID(IClient, "{4C11EF71-6297-4E2B-90D1-7F5F1A9E2ADE}")
  KIVO_RESERVED_SLOT(3);
  KIVO_RESERVED_SLOT(4);
  KIVO_RESERVED_SLOT(5);
  KIVO_RESERVED_SLOT(6);
  KIVO_RESERVED_SLOT(7);
  KIVO_RESERVED_SLOT(8);
  virtual HWND __stdcall GetApplicationHandle() = 0;  // 9
  KIVO_RESERVED_SLOT(10);
  KIVO_RESERVED_SLOT(11);
  KIVO_RESERVED_SLOT(12);
  KIVO_RESERVED_SLOT(13);
  // 14: the document open under that file name, or null.
  virtual void __stdcall GetDocumentByPath(const char* fileName, IServerDocument** result) = 0;
  virtual HWND __stdcall GetMainWindowHandle() = 0;  // 15
  KIVO_RESERVED_SLOT(16);
  virtual void __stdcall GetHelpHook(int32_t value, const char* text,
                                     IClientHelpHook** result) = 0;  // 17
  KIVO_RESERVED_SLOT(18);
  // 19: a creator of new documents of that kind.
  virtual void __stdcall GetDocumentCreator(const char* kind, const char* editorKind,
                                            const char* fileName, IDocumentCreator** result) = 0;
  KIVO_RESERVED_SLOT(20);
  KIVO_RESERVED_SLOT(21);
  KIVO_RESERVED_SLOT(22);
  KIVO_RESERVED_SLOT(23);
  // 24: opens the file as a document of that kind; null when it cannot.
  virtual void __stdcall OpenDocument(const char* kind, const char* fileName,
                                      IServerDocument** result) = 0;
  virtual TBoolByte __stdcall StartServer(const char* serverName) = 0;  // 25
  KIVO_RESERVED_SLOT(26);
  virtual const char* __stdcall GetDocumentKindFromFile(const char* fileName) = 0;  // 27
  KIVO_RESERVED_SLOT(28);
  KIVO_RESERVED_SLOT(29);
  KIVO_RESERVED_SLOT(30);
  virtual void __stdcall ShowDocument(IServerDocument* document) = 0;  // 31
  KIVO_RESERVED_SLOT(32);
  KIVO_RESERVED_SLOT(33);
  KIVO_RESERVED_SLOT(34);
  KIVO_RESERVED_SLOT(35);
  KIVO_RESERVED_SLOT(36);
  KIVO_RESERVED_SLOT(37);
  KIVO_RESERVED_SLOT(38);
  // 39: the help file for a host help topic, empty for none.
  virtual const char* __stdcall GetHelpFileForTopic(const char* topic) = 0;
};

// Obtained from the IClient by an interface cast.
struct IClientCommandRunner : IUnknown {
  KIVO_INTERFACE_ID(IClientCommandRunner, "{8452C443-703F-4881-B7AC-C33550794AA6}")
  KIVO_RESERVED_SLOT(3);
  // 4: runs the named host process; the host reads the parameter string from `buffer`
  // and writes its answer into it, within `size` bytes.
  virtual TBoolByte __stdcall RunProcess(const char* process, char* buffer, int32_t size,
                                         IUnknown* context) = 0;
};

// Implemented by the plug-in; the host calls them.
struct ICommandLauncherIntf : IUnknown {
  KIVO_INTERFACE_ID(ICommandLauncherIntf, "{B3F5F50A-C728-462B-8C35-0AF07AEFE6D5}")
  virtual int32_t __stdcall LaunchCommand(const char* command, const char* parameters,
                                          int32_t ignored, IUnknown* context) = 0;  // 3
  virtual void __stdcall GetCommandState(const char* command, const char* parameters,
                                         IUnknown* context, int32_t* value1, int32_t* value2,
                                         int32_t* value3, TBoolByte* flag1,
                                         TBoolByte* flag2) = 0;  // 4
};

struct IProcessControlIntf : IUnknown {
  KIVO_INTERFACE_ID(IProcessControlIntf, "{BAF46BDA-19A1-4848-BFAC-2BEC078C8911}")
  virtual int32_t __stdcall GetDepth() = 0;                                     // 3
  virtual void __stdcall DecrementDepth(IUnknown* context, int32_t value) = 0;  // 4
  virtual void __stdcall IncrementDepth(IUnknown* context, int32_t value) = 0;  // 5
  virtual void __stdcall SetDepth(int32_t depth) = 0;                           // 6
};

struct IModuleIntf : IUnknown {
  KIVO_INTERFACE_ID(IModuleIntf, "{CF7702C4-5044-49E3-BE46-37B9F8FB8203}")
  virtual void __stdcall Idle() = 0;                                       // 3
  virtual void __stdcall ReceiveNotification(IUnknown* notification) = 0;  // 4
  virtual void __stdcall CreateDocument(int32_t value1, int32_t value2,
                                        IServerDocument** result) = 0;              // 5
  virtual void __stdcall DestroyDocument(IServerDocument* document) = 0;            // 6
  virtual void __stdcall GetModuleClient(IClient** result) = 0;                     // 7
  virtual void __stdcall GetCommandLauncher(ICommandLauncherIntf** result) = 0;     // 8
  virtual int32_t __stdcall GetDocumentCount() = 0;                                 // 9
  virtual void __stdcall GetDocument(int32_t index, IServerDocument** result) = 0;  // 10
  virtual HINSTANCE __stdcall GetModuleHandle() = 0;                                // 11
  virtual const char* __stdcall GetModuleName() = 0;                                // 12
  virtual void __stdcall GetProcessControl(IProcessControlIntf** result) = 0;       // 13
  virtual int32_t __stdcall GetPanelCount() = 0;                                    // 14
  virtual void __stdcall GetPanel(int32_t index, IUnknown** result) = 0;            // 15
  virtual int32_t __stdcall QueryModuleValue() = 0;                                 // 16
};

#undef KIVO_RESERVED_SLOT
