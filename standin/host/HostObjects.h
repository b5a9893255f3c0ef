// Inside the stand-in host: the counted objects it hands to a plug-in and the helpers
// its interface implementations share.
#pragma once

#include <string>
#include <string_view>

#include "standin/host/HostSide.h"

namespace standin {

// Logs "unexpected <interface>#<position>", prints the log and ends the process: the
// caller pushed arguments this slot does not know, so returning is not safe.
[[noreturn]] void Unexpected(const char* interfaceName, int position);

// "\"text\"" or "nil" for a null text.
std::string Quote(const char* text);
// Writes `text` into a 4096-byte name buffer of the plug-in (without its terminating
// zero under the "unterminated" switch).
void FillNameBuffer(char* buffer, const std::string& text);
// The part after the last "\", "/" or ":".
std::string NamePart(const std::string& path);
bool SameFileName(std::string_view a, std::string_view b);

#define STANDIN_UNEXPECTED(Iface, n) \
  void __stdcall Slot##n() override { Unexpected(#Iface, n); }

// The reference counting shared by the stand-in's objects.
template <class Base>
class TCounted : public Base {
 public:
  ULONG __stdcall AddRef() override { return static_cast<ULONG>(++FRefs); }
  ULONG __stdcall Release() override {
    long left = --FRefs;
    if (left == 0)
      delete this;
    return static_cast<ULONG>(left);
  }
  virtual ~TCounted() = default;

 protected:
  long FRefs = 1;
};

// QueryInterface of the stand-in's objects without an identifier of their own: they
// answer IUnknown only.
template <class I>
HRESULT AnswerQuery(I* self, REFIID iid, void** out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  if (!IsEqualGUID(iid, IID_IUnknown))
    return E_NOINTERFACE;
  *out = static_cast<IUnknown*>(self);
  self->AddRef();
  return S_OK;
}

// A document the host holds open.
HostDocument* FindDocument(std::string_view fileName);
// A new document of `kind` added to the open documents (the list keeps a reference;
// the caller gets one more).
HostDocument* AddDocument(const std::string& kind, const std::string& fileName,
                          const std::string& viewKind);
void SetCurrentDocument(HostDocument* document);
const std::string& DocumentFileName(HostDocument* document);
const std::string& DocumentKind(HostDocument* document);
// The view kind of the document shown last; empty if none.
std::string CurrentDocumentViewKind();
// The PCB document shown last: its board, its name and the file a document creator
// made it for; 0 and empty when none was shown or it was not made by a creator.
uint32_t CurrentPcbBoard();
std::string CurrentPcbName();
std::string CurrentPcbSource();

// Loads the stand-in PCB server "Ravelo.dll" (once) and gives it the host's process
// runner; false when it cannot be loaded.
bool LoadPcbServer();
// Boards of the stand-in PCB server (0 when it is not loaded).
uint32_t CreatePcbBoard(const std::string& name);
void SetCurrentPcbBoard(uint32_t board);

// Runs a host process for a plug-in, as IClientCommandRunner position 4 does; `via`
// names the way it came in, for the log.
uint8_t RunHostProcess(const char* via, const char* process, char* buffer, int32_t size,
                       bool withContext);

// The next scripted answer, or "Result=False" when the script is empty.
std::string NextAnswer();
// The help file of a topic; empty when unknown.
const std::string& HelpFileOf(const std::string& topic);
// Client:RunCommonDialog answered by a real open (Mode=0) or save dialog.
std::string AskUserForFile(const char* parameters);

}  // namespace standin
