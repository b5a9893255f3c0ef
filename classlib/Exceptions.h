// The one root class of the library's failures, carrying a message text, and the
// errors the class library raises itself. Format is the printf-style text builder
// used for their messages.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  const char* what() const noexcept override { return FMessage.c_str(); }
  const std::string& Message() const noexcept { return FMessage; }
  void SetMessage(std::string message) { FMessage = std::move(message); }

 private:
  std::string FMessage;
};

#define KIVO_EXCEPTION(Name, Base)          \
  class Name : public Base {                \
   public:                                  \
    using Base::Base;                       \
  }

// An exception that also carries the error code it came from (a Windows error code, or
// the raiser's own), 0 when there was none.
#define KIVO_CODED_EXCEPTION(Name, Base)                                     \
  class Name : public Base {                                                 \
   public:                                                                   \
    explicit Name(std::string message, uint32_t errorCode = 0)               \
        : Base(std::move(message)), FErrorCode(errorCode) {}                 \
    uint32_t GetErrorCode() const { return FErrorCode; }                     \
                                                                             \
   private:                                                                  \
    uint32_t FErrorCode;                                                     \
  }

KIVO_EXCEPTION(EListError, Exception);         // bad list index, duplicates refused
KIVO_EXCEPTION(EConvertError, Exception);      // text to number, Assign between classes
KIVO_EXCEPTION(EInvalidOperation, Exception);  // operation not allowed in this state
KIVO_EXCEPTION(EAbstractError, Exception);     // abstract operation called
KIVO_EXCEPTION(EIntfCastError, Exception);     // interface not supported by the object
KIVO_EXCEPTION(EComponentError, Exception);    // duplicate or invalid component name
KIVO_EXCEPTION(EClassNotFound, Exception);     // no class registered under a name
KIVO_EXCEPTION(EFilerError, Exception);        // another class registered under a name
KIVO_EXCEPTION(EPropertyError, Exception);     // no such published property, or a bad value
KIVO_EXCEPTION(EStreamError, Exception);       // stream read or write failed
KIVO_EXCEPTION(EFOpenError, EStreamError);     // file cannot be opened
KIVO_EXCEPTION(EReadError, EStreamError);      // stream ended early
KIVO_EXCEPTION(EWriteError, EStreamError);     // stream refused the data
KIVO_EXCEPTION(EResNotFound, Exception);       // resource missing from a module
KIVO_CODED_EXCEPTION(EInOutError, Exception);  // runtime text-file error (TextFile.h codes)
KIVO_EXCEPTION(EOutOfResources, Exception);    // Windows refused a handle
KIVO_EXCEPTION(EInvalidGraphic, Exception);    // image data not understood
KIVO_EXCEPTION(EInvalidPointer, Exception);    // pointer not from this allocator
KIVO_EXCEPTION(EDBEditError, Exception);      // an edit mask is not filled as it requires

// Raises EListError "List index out of bounds (%d)".
[[noreturn]] void ListIndexError(int index);
// Raises EAbstractError "Abstract Error".
[[noreturn]] void AbstractError();
