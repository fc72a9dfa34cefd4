// Keeps errors raised by owner handlers from unwinding through Qt's own code. Qt does not support an
// exception leaving a slot that its signals call (textChanged, clicked), so such a handler's error is
// held while Qt finishes the emission and rethrown once control is back in our own code.
#pragma once

#include <exception>
#include <utility>

namespace zq {

class ErrorHold {
public:
  // Runs f, which may make Qt emit signals into Call; an error held meanwhile is rethrown after f.
  template <class F> void Run(F&& f) {
    const int level = ++depth_;
    try {
      f();
    } catch (...) {
      --depth_;
      if (held_ && heldLevel_ == level) held_ = nullptr; // superseded by the error now passing
      throw;
    }
    --depth_;
    if (held_ && heldLevel_ == level) std::rethrow_exception(std::exchange(held_, nullptr));
  }

  // Calls f from a slot. Outside Run an error passes at once; inside, the first one is held and the
  // call returns false.
  template <class F> bool Call(F&& f) {
    if (depth_ == 0) {
      f();
      return true;
    }
    try {
      f();
      return true;
    } catch (...) {
      if (!held_) {
        held_ = std::current_exception();
        heldLevel_ = depth_;
      }
      return false;
    }
  }

private:
  int depth_ = 0;
  int heldLevel_ = 0;
  std::exception_ptr held_;
};

} // namespace zq
