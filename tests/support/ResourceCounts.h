// Counts of what a piece of work may leave behind, taken from the system rather than
// from the class library's own bookkeeping: the windows of the calling thread and the
// GDI objects of the process.
#pragma once

// Every window of the calling thread: top-level windows and all their descendants.
int ThreadWindowCount();

// The live GDI objects of the process. Wine's GetGuiResources answers 0, so there they
// are counted by asking every 16-bit handle value for its object type (Wine takes a
// handle whose upper word is 0 as the object in that slot of its handle table).
int ProcessGdiObjectCount();

// The open kernel handles of the process (files, events, threads, keys ...), counted by
// asking every handle value for its flags, which answers only for an open handle.
int ProcessKernelHandleCount();
