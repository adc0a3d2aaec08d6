// Descriptions of the runtime failures.
#include "reminder/runtime_errors.h"

#include <string>

namespace reminder {

jet::Error RuntimeFailure(int number) {
  std::string description;
  switch (number) {
    case kErrOverflow: description = "Overflow"; break;
    case kErrTypeMismatch: description = "Type mismatch"; break;
    case kErrInputPastEnd: description = "Input past end of file"; break;
    case kErrObjectNotSet: description = "Object variable or With block variable not set"; break;
    default: description = "Application-defined or object-defined error"; break;
  }
  return jet::Error{number, std::move(description), "reminder runtime"};
}

}  // namespace reminder
