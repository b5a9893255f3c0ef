// The control entry points of the stand-in PCB server, for the stand-in host and for
// tests. They carry the prefix "Ravelo_", which the plug-in never binds, and are
// looked up with GetProcAddress; these are their types.
//
// Text results are copied into the caller's buffer: at most size - 1 characters and a
// terminating zero; the result is the full length, so a caller can ask with size 0
// first and call again with a large enough buffer.
#pragma once

#include <cstdint>

// Forgets every board, object, iterator, log and injection; handles start again at 1.
using TRaveloReset = void(__stdcall*)();
// A new board under the document's full file name (found again by that name without
// regard to case); returns its handle.
using TRaveloCreateBoard = uint32_t(__stdcall*)(const char* fullName);
// The board of the PCB document the host shows last; 0 on success, 2 for an unknown board.
using TRaveloSetCurrentBoard = int32_t(__stdcall*)(uint32_t board);
// The text dump of a board (empty for an unknown board).
using TRaveloDumpBoard = int32_t(__stdcall*)(uint32_t board, char* buffer, int32_t size);
// Receives a dump in pieces of whole lines as it is written; answers 0 to stop it.
using TRaveloDumpSink = int32_t(__stdcall*)(void* context, const char* text, int32_t length);
// The text dump of a board handed to `sink` as it is written, so that a board of any
// size is dumped in a buffer's room: 0 when the sink took all of it, 2 for an unknown
// board (nothing handed over), 4 without a sink, 5 when the sink stopped it.
using TRaveloDumpBoardTo = int32_t(__stdcall*)(uint32_t board, TRaveloDumpSink sink,
                                               void* context);
// One object's line of the board dump (empty for an unknown handle).
using TRaveloDumpObject = int32_t(__stdcall*)(uint32_t object, char* buffer, int32_t size);
// A board's general values, layer objects with their stack links, dielectrics and layer
// information, layer pairs, outer dielectrics and option groups (hexadecimal bytes).
using TRaveloDumpBoardSetup = int32_t(__stdcall*)(uint32_t board, char* buffer, int32_t size);
// Replaces a board's layer pairs by `count` records of four bytes each: PairByte1,
// PairByte2, HighLayer, LowLayer. 0 on success, 2 for an unknown board, 4 for a
// negative count.
using TRaveloSetLayerPairs = int32_t(__stdcall*)(uint32_t board, int32_t count,
                                                 const uint8_t* records);
// Makes the server a faulty host for one dimension or polygon: it reports `count` as the
// dimension's reference count, or as the polygon's PointCount when loading, whatever it
// holds (it still never writes more records than it has); -1 reports the truth again.
// 0 on success, 2 for an unknown handle, 3 for another kind.
using TRaveloOverstateCount = int32_t(__stdcall*)(uint32_t object, int32_t count);
// The call log: one line per entry-point call, "name(arguments) = result".
using TRaveloGetCallLog = int32_t(__stdcall*)(char* buffer, int32_t size);
using TRaveloClearCallLog = void(__stdcall*)();
// Non-zero keeps the call log (as a run starts), 0 stops adding to it: a large import's
// log would take more room than its board.
using TRaveloKeepCallLog = void(__stdcall*)(int32_t keep);
// From now on the named entry point answers `result` without doing anything (an
// injected 0 on "PcbApi_CreateIterator" makes iterator creation fail).
using TRaveloInjectResult = void(__stdcall*)(const char* entry, uint32_t result);
using TRaveloClearInjections = void(__stdcall*)();
// The host's runner of named processes, to which "Client:RunCommonDialog" is forwarded;
// it answers in `parameters` and returns non-zero when the process ran.
using TRaveloCommandRunnerProc = uint32_t(__stdcall*)(const char* command, char* parameters,
                                                      uint16_t size);
using TRaveloSetCommandRunner = void(__stdcall*)(TRaveloCommandRunnerProc runner);
