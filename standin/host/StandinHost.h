// Control of the stand-in host from its own main program and from tests: its windows,
// its client object, the documents it holds, its scripted answers and its call log.
// The interfaces themselves stay inside the stand-in (HostSide.h); this header hands
// out only the client object's IUnknown, so a test cannot mix the two sides' types.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "classlib/Win.h"

namespace standin {

// Switches that change the stand-in's answers.
struct THostOptions {
  bool PcbServerFails = false;            // IClient position 25 answers False
  bool OpenFails = false;                 // IClient position 24 answers nil
  bool CreateFails = false;               // IDocumentCreator position 5 makes no document
  bool Interactive = false;               // Client:RunCommonDialog shows real file dialogs
  bool UnterminatedNames = false;         // the 4096-byte name buffers come back without a zero
  std::string VirtualFolder;              // the folder of names beginning with "VFS:\"
  std::string TextViewKind = "TextEdit";  // view kind of text documents opened by 24
  bool ServerCallLog = true;              // the PCB server keeps its call log once loaded
};

// Creates the application and main windows and the client object (once).
void StartHost();
// Closes every document and destroys the windows.
void StopHost();
THostOptions& HostOptions();

HWND ApplicationWindowHandle();  // what IClient position 9 answers: hidden
HWND MainWindowHandle();         // what IClient position 15 answers: shown and active

// The client object's IUnknown (not counted for the caller) and its reference count
// (1 is the host's own reference).
IUnknown* ClientUnknown();
long ClientReferenceCount();

// Every call a plug-in made into the host, one line each, in order. A call to a slot
// the plug-in has no business calling is logged as "unexpected ..." and ends the
// process with exit code 3.
const std::vector<std::string>& CallLog();
void ClearCallLog();
void LogCall(std::string line);
// Lines of the log that begin with `prefix`.
std::vector<std::string> CallsStartingWith(std::string_view prefix);

// Scripted answers to "Client:RunCommonDialog", one per run in order; an empty script
// answers "Result=False".
void QueueAnswer(std::string answer);
// Queues each non-empty line of the file; false when it cannot be read.
bool LoadAnswers(const std::string& fileName);
void ClearAnswers();

// Opens a document in the host as if the user had (no call is logged); text
// documents get a view of `viewKind`.
void OpenDocumentInHost(const std::string& kind, const std::string& fileName,
                        const std::string& viewKind);
void CloseAllDocuments();
int OpenDocumentCount();
// The file name of the document last shown through IClient position 31; empty if none.
std::string CurrentDocumentName();
// What a text document opened through IClient position 24 held when it was opened.
std::string DocumentContent(const std::string& fileName);

// Help-file answers of IClient position 39.
void SetHelpTopic(const std::string& topic, const std::string& helpFileName);

}  // namespace standin
