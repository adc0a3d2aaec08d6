// The engine's one error model: a failure number, its description and where it was detected.
#pragma once

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace jet {

// A failure as the engine reports it. `number` uses the Jet engine's numbers where
// one is well known (see errors.h), so callers can show "Error 3049 - ...".
struct Error {
  int number = 0;
  std::string description;
  std::string where;  // source location or operation that detected it; for logs, not users
};

// A value or an Error. Small stand-in for std::expected (C++23).
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}      // NOLINT(google-explicit-constructor)
  Result(Error error) : state_(std::move(error)) {}  // NOLINT(google-explicit-constructor)

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & {
    assert(ok());
    return std::get<0>(state_);
  }
  const T& value() const& {
    assert(ok());
    return std::get<0>(state_);
  }
  T&& value() && {
    assert(ok());
    return std::get<0>(std::move(state_));
  }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

  const Error& error() const {
    assert(!ok());
    return std::get<1>(state_);
  }

 private:
  std::variant<T, Error> state_;
};

// Success or an Error.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : error_(std::move(error)), failed_(true) {}  // NOLINT(google-explicit-constructor)

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const Error& error() const {
    assert(failed_);
    return error_;
  }

 private:
  Error error_;
  bool failed_ = false;
};

using Status = Result<void>;

inline Status Ok() { return {}; }

}  // namespace jet

// Propagates a failure of an expression that yields a Result.
#define JET_TRY(expr)                                          \
  do {                                                         \
    auto jet_try_result_ = (expr);                             \
    if (!jet_try_result_.ok()) return jet_try_result_.error(); \
  } while (0)

#define JET_CONCAT_INNER(a, b) a##b
#define JET_CONCAT(a, b) JET_CONCAT_INNER(a, b)

// Declares `decl` from the value of a Result, or returns its failure.
#define JET_ASSIGN(decl, expr) JET_ASSIGN_IMPL(JET_CONCAT(jet_assign_, __LINE__), decl, expr)
#define JET_ASSIGN_IMPL(tmp, decl, expr) \
  auto tmp = (expr);                     \
  if (!tmp.ok()) return tmp.error();     \
  decl = std::move(tmp).value()
