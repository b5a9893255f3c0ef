// The functions LoadKIVO.dll exports to the host. All use the standard Windows calling
// convention and run their bodies behind a boundary; texts are zero-terminated and
// owned by the library, file names arrive as short strings (the address of their length
// byte). No exception leaves them: a failure answers False or nil.
#pragma once

#include <cstdint>
#include <string>

#include "host/HostInterfaces.h"

extern "C" {

// Makes the importer's server module for the host's client and stores its module
// interface (the host's reference) in *module; nil when it cannot be made.
void __stdcall ServerFactory(IModuleIntf** module, IClient* client);

// The file-type text the host shows in its list of importable files.
const char* __stdcall GetPcbImporterDescription();

// Whether the file exists and begins like a KIVO file.
uint8_t __stdcall RecognisedPCBFile(const uint8_t* fileName);

// Imports the file into the board of the command run going on, else into the host's
// board open under that file name; True when the import reported no error. The second
// name is not used.
uint8_t __stdcall ImportFileIntoPcb(const uint8_t* fileName, const uint8_t* secondName);

}

// The import itself: recognises the file, reads and translates it with a report, shows
// the status dialog and, when asked, opens the report in the host's editor. Nothing
// escapes: a failure before the report exists is shown in the error box and answers
// false.
bool ImportFileIntoPcb(const std::string& fileName);
