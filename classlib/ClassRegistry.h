// The registry of classes by name, for code that makes objects from a stored class
// name. Names are matched without regard to case. Registering is explicit: units
// call RegisterClass(es) from their start-up and UnRegisterClass(es) from their
// shut-down.
#pragma once

#include <initializer_list>
#include <string_view>

#include "classlib/Object.h"

// Registers `cls`; registering it again does nothing. Raises EFilerError
// "A class named %s already exists" when another class bears the name.
void RegisterClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass cls);
void UnRegisterClasses(std::initializer_list<TClass> classes);
// The registered class of that name, or null.
TClass GetClass(std::string_view name);
// The registered class of that name; raises EClassNotFound "Class %s not found".
TClass FindClass(std::string_view name);
