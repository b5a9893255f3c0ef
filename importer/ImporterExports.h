// The functions LoadKIVO.dll exports to the host for its import list. All use the
// standard Windows calling convention; texts are zero-terminated and owned by the
// library.
#pragma once

extern "C" {

// The file-type text the host shows in its list of importable files.
const char* __stdcall GetPcbImporterDescription();

}
