// The proxy factory and the one-shot accessors that read or write one value of a host
// object by its handle.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "pcb/PcbObject.h"

// A loaded proxy of the class that fits the host's kind code for `handle` (its lower 7
// bits: 129 is an arc), or null for a code that has no proxy class.
std::unique_ptr<TPCBObject> CreatePcbObjectFromHandle(uint32_t handle);

// Each makes a proxy through the factory, does its one operation and frees it. Handle
// 0, or an object of a kind without a proxy class, gives 0 or the empty text and is
// left unchanged; the setters store the object.
int32_t GetObjectX(uint32_t handle);
int32_t GetObjectY(uint32_t handle);
int32_t GetObjectX2(uint32_t handle);
int32_t GetObjectY2(uint32_t handle);
std::string GetObjectText(uint32_t handle);
void SetObjectX(uint32_t handle, int32_t value);
void SetObjectY(uint32_t handle, int32_t value);
void SetObjectX2(uint32_t handle, int32_t value);
void SetObjectY2(uint32_t handle, int32_t value);
