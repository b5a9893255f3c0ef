// Every reference of the KIVO format to what another block defines, and every block that
// defines something, with what the import does when a reference names nothing the file
// gives and when a definition is given twice. The reader's warnings take these words
// (each one's line tells its reference or definition, and the line of the first one);
// a test checks every row against a board that breaks it.
//
// One rule holds across kinds: a definition given again never changes what the one
// before it gave. What the import takes once for the whole board (a pad definition, a
// pad-stack index, a layer, an ENVIRONMENT value, the PAD_STACK and ENVIRONMENT blocks)
// is the first given, the second not used. Where the second can stand beside the first,
// it does: a net's objects join the first net's host net, a component whose designator
// was given before and a pin whose name was are imported as well, and a COMP_DEF serves
// the instances after it (the format places a definition before its instances), those
// before it keeping the one before. A definition given again the same is the same one;
// one given otherwise is told with both lines. A reference to nothing is told with its
// line and what is used instead.
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
     "the instances after it take this one, those before it the one before"},
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
