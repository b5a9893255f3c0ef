// Every reference of the KIVO format to what another block defines, and every block that
// defines something, with what the import does when a reference names nothing the file
// gives and when a definition is given twice. The reader's warnings take these words
// (each one's line tells its reference or definition, and the line of the first one);
// a test checks every row against a board that breaks it.
//
// One rule holds across kinds: the first definition holds. Every reference to a name
// finds the one the file gives first, and a later one is told with both lines. What the
// later block holds is kept where it stands beside the first without replacing it (a
// net's objects join the first net's host net; a component whose designator was given
// before, or a pin whose name was, is imported as well); otherwise it is read and not
// used. A reference to nothing is told with its line and what is used instead.
#pragma once

#include <cstdint>

enum TKivoReferenceKind : uint8_t {
  rkPadDefinition,      // a PAD entry's first name -> PAD_DEF
  rkFreePadDefinition,  // a PAD entry's second name (pins without a net) -> PAD_DEF
  rkPinPadIndex,        // a pin's PT -> the PAD entry of that index
  rkViaPadIndex,        // a via's index -> the PAD entry of that index
  rkPadStack,           // a pin's or via's index -> the PAD_STACK block
  rkDefinition,         // an I block's first word -> COMP_DEF
  rkNet,                // a name of a connection list -> N
  rkPin,                // a pin name of a connection list of pairs -> P of the definition
  rkLayer,              // [LY] -> a LYRSTR entry
  rkUnit,               // every coordinate -> DBUNIT
  rkGrid,               // every coordinate -> DBGRID
  rkNetName,            // NN -> the name of its N
  rkDesignator,         // (named by nothing) -> an I block's designator
  rkEnvironmentValue,   // (named by nothing) -> KIVOVREV, PROGRAM, DBTYPE, DBVREV, DBTIME,
                        //   PCLR, POLYAP, PSIZ, ROTP, SSTFile
  rkEnvironment,        // (named by nothing) -> the ENVIRONMENT block
  kKivoReferenceKinds
};

struct TKivoReference {
  TKivoReferenceKind Kind;
  const char* Reference;   // what refers; empty for a definition that nothing names
  const char* Definition;  // the block that defines what it names
  // What a reference to nothing gets, in the words of its warning; empty where nothing
  // refers.
  const char* Undefined;
  // What holds when the definition is given again, in the words of its warning.
  const char* Twice;
};

inline constexpr TKivoReference kKivoReferences[kKivoReferenceKinds] = {
    {rkPadDefinition, "PAD (its first name)", "PAD_DEF",
     "the pins and vias of its index were made without a pad definition (pins as the default "
     "pad or the component graphics over them, vias as the host's default via)",
     "pads and vias take the first, and this one was not used"},
    {rkFreePadDefinition, "PAD (its second name, for pins without a net)", "PAD_DEF",
     "the pins of its index without a net were made without a pad definition (as the default "
     "pad or the component graphics over them)",
     "pads and vias take the first, and this one was not used"},
    {rkPinPadIndex, "P (its PT)", "PAD (its index)", "no PAD of the pad stack has it",
     "pins and vias of its index take the first, and this one was not used"},
    {rkViaPadIndex, "V (its index)", "PAD (its index)", "no PAD of the pad stack has it",
     "pins and vias of its index take the first, and this one was not used"},
    {rkPadStack, "P (its PT), V (its index)", "PAD_STACK", "the file has no PAD_STACK block",
     "pads and vias take the first one's"},
    {rkDefinition, "I (its first word)", "COMP_DEF", "the file has no definition",
     "instances take the first, and this one was not used"},
    {rkNet, "CN (a net name)", "N", "the pin was imported without a net",
     "its objects were added to that net"},
    {rkPin, "CN (a pin name of a list of pairs)", "P", "it was passed over",
     "both were imported, and a list of pairs connects both by that name"},
    {rkLayer, "[LY]", "LYRSTR (a name)", "is not declared by the file's LYRSTR",
     "objects on it take the first one's host layer, and this one was not used"},
    {rkUnit, "every coordinate", "DBUNIT", "has no known DBUNIT before it",
     "the first holds, and this one was not used"},
    {rkGrid, "every coordinate", "DBGRID", "a grid of 1 was used",
     "the first holds, and this one was not used"},
    {rkNetName, "NN", "N (its name)", "its net has no name to place",
     "its objects were added to that net"},
    {rkDesignator, "", "I (its designator)", "", "both were imported"},
    {rkEnvironmentValue, "", "KIVOVREV, PROGRAM, DBTYPE, DBVREV, DBTIME, PCLR, POLYAP, PSIZ, ROTP, SSTFile", "",
     "the first holds, and this one was not used"},
    {rkEnvironment, "", "ENVIRONMENT", "", "what it declares was read as well"},
};

inline const TKivoReference& KivoReference(TKivoReferenceKind kind) { return kKivoReferences[kind]; }
