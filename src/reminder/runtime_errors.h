// The program runtime's own failure numbers and texts, as the settings messages show them.
#pragma once

#include "jet/result.h"

namespace reminder {

enum RuntimeError : int {
  kErrOverflow = 6,
  kErrTypeMismatch = 13,
  kErrInputPastEnd = 62,
  kErrObjectNotSet = 91,
};

// The error for `number` with the runtime's description of it ("Overflow", ...).
jet::Error RuntimeFailure(int number);

}  // namespace reminder
