// The functions LoadKIVO.dll exports to the host for its import list. All use the
// standard Windows calling convention; texts are zero-terminated and owned by the
// library, file names arrive as short strings (the address of their length byte). No
// exception leaves them: a failure answers False.
#pragma once

#include <cstdint>

extern "C" {

// The file-type text the host shows in its list of importable files.
const char* __stdcall GetPcbImporterDescription();

// Whether the file exists and begins like a KIVO file.
uint8_t __stdcall RecognisedPCBFile(const uint8_t* fileName);

}
