// Start-up and shut-down of the PCB server binding. At start-up the entry points are
// bound when the host has already loaded "Ravelo.dll" (otherwise every wrapper keeps
// its default until the import command calls `LoadPcbApi` again); at shut-down the
// slots are emptied.
#pragma once

void InitializePcbUnit();
void FinalizePcbUnit();
