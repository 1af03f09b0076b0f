#pragma once

#include <exception>
#include <string>

namespace fw {

// Base of the runtime's exceptions; ClassName is what the unhandled-exception
// report names.
class RuntimeException : public std::exception {
 public:
  explicit RuntimeException(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  virtual const char* ClassName() const noexcept { return "RuntimeException"; }

 private:
  std::string message_;
};

// Raised where code uses something that is not there: a control looked up by
// a name the window doesn't have, a control of another class, a nil object.
class NilObjectException : public RuntimeException {
 public:
  using RuntimeException::RuntimeException;
  const char* ClassName() const noexcept override { return "NilObjectException"; }
};

// Reports an exception that came out of the framework's initialisation or
// its event loop, on stderr in one line with its class and message, and
// marks the run as failed: RuntimeExit then gives status 1. (What escapes
// an event handler the framework reports itself, in the same words, and
// the loop goes on.)
void UnhandledException(std::exception_ptr e);

// Throws NilObjectException with `what` when `p` is null; returns `p`.
template <class T>
T* NotNil(T* p, const char* what) {
  if (p == nullptr) throw NilObjectException(what);
  return p;
}

}  // namespace fw
