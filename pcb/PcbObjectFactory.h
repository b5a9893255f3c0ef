// The proxy factory and the one-shot accessors that read or write one value of a host
// object by its handle.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "pcb/PcbObject.h"

// A loaded proxy of the class that fits the host's kind code for `handle` (its lower 7
// bits: 129 is an arc), or null for a code that has no proxy class.
std::unique_ptr<TPCBObject> CreatePcbObjectFromHandle(uint32_t handle);

// Calls `use` with what CreatePcbObjectFromHandle would answer, asking the host the
// same, but with the proxy made on the stack and read-only (TPcbReadOnly): for reading
// an object back once, never for storing it.
void UsePcbObjectFromHandle(uint32_t handle, void (*use)(TPCBObject*, void*),
                            void* context);
template <class F>
void WithPcbObjectFromHandle(uint32_t handle, F&& use) {
  UsePcbObjectFromHandle(
      handle,
      [](TPCBObject* proxy, void* context) {
        (*static_cast<std::remove_reference_t<F>*>(context))(proxy);
      },
      const_cast<void*>(static_cast<const void*>(&use)));
}

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

// Moves the object by (dx, dy) with one load and one store, as the setters above would
// one field at a time: X and Y, X2 and Y2 on kinds that have them, and a polygon's
// vertex records 0 to PointCount. `kind` is the object's kind code, as an iterator
// filtered by kind knows it. Handle 0, or a kind without a proxy class, is left
// unchanged.
void MoveObjectBy(uint32_t handle, uint8_t kind, int32_t dx, int32_t dy);
