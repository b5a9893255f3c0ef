// Events as method references.
//
// A method reference is exactly 8 bytes on this 32-bit platform: a code pointer and a
// data (object) pointer, plain data that can be stored in raw records, copied and
// compared by code address. Typed events (TEvent<Args...>) wrap one and fire only when
// assigned. A member function is bound through a trampoline generated per
// (class, member) pair, so equal bindings have equal code pointers.
#pragma once

#include <cstdint>
#include <type_traits>

struct TMethod {
  void* Code = nullptr;
  void* Data = nullptr;
  bool Assigned() const { return Code != nullptr; }
  friend bool operator==(const TMethod& a, const TMethod& b) {
    return a.Code == b.Code && a.Data == b.Data;
  }
};
static_assert(sizeof(TMethod) == 8, "a method reference is a code and a data pointer");

template <class... Args>
class TEvent {
 public:
  using TTrampoline = void (*)(void* data, Args...);

  TEvent() = default;
  TEvent(std::nullptr_t) {}

  // Binds obj->Member.
  template <auto Member, class C>
  static TEvent Bind(C* object) {
    TEvent e;
    e.FMethod.Code = reinterpret_cast<void*>(&Trampoline<C, Member>);
    e.FMethod.Data = object;
    return e;
  }
  // Binds a plain function taking the data pointer first.
  static TEvent FromFunction(TTrampoline function, void* data = nullptr) {
    TEvent e;
    e.FMethod.Code = reinterpret_cast<void*>(function);
    e.FMethod.Data = data;
    return e;
  }
  static TEvent FromMethod(const TMethod& method) {
    TEvent e;
    e.FMethod = method;
    return e;
  }

  bool Assigned() const { return FMethod.Assigned(); }
  explicit operator bool() const { return Assigned(); }
  const TMethod& Method() const { return FMethod; }
  void* Code() const { return FMethod.Code; }
  void* Data() const { return FMethod.Data; }

  // Fires the event when assigned.
  void operator()(Args... args) const {
    if (FMethod.Code)
      reinterpret_cast<TTrampoline>(FMethod.Code)(FMethod.Data, args...);
  }

  friend bool operator==(const TEvent& a, const TEvent& b) { return a.FMethod == b.FMethod; }

 private:
  template <class C, auto Member>
  static void Trampoline(void* data, Args... args) {
    (static_cast<C*>(data)->*Member)(args...);
  }
  TMethod FMethod;
};

class TObject;
// The plain event: the object that fired it.
using TNotifyEvent = TEvent<TObject*>;
