// The window's guard flags (a handler writing a coupled control must not re-enter itself): set for the
// lifetime of a scope and cleared when it ends, also when an error passes.
#pragma once

namespace zq {

class FlagGuard {
public:
  explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagGuard() { flag_ = false; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;

private:
  bool& flag_;
};

} // namespace zq
