// Start-up and shut-down of the PCB server binding. At start-up the two template
// proxies (a track and a component on handle 0, which nothing reads) are made and the
// entry points are bound when the host has already loaded "Ravelo.dll" (otherwise every
// wrapper keeps its default until the import command calls `LoadPcbApi` again); at
// shut-down the template proxies are freed and the slots emptied.
#pragma once

void InitializePcbUnit();
void FinalizePcbUnit();
