#include "jet/errors.h"

#include <cstring>
#include <new>
#include <stdexcept>

namespace jet {
namespace {

std::string Where(const std::source_location& where) {
  const char* file = where.file_name();
  const char* slash = std::strrchr(file, '/');
  return std::string(slash != nullptr ? slash + 1 : file) + ":" + std::to_string(where.line());
}

}  // namespace

Error Corrupt(std::string_view what, std::source_location where) {
  return Error{kErrDamaged,
               "The database is damaged (" + std::string(what) +
                   "). Repair it or restore it from a backup.",
               Where(where)};
}

Error OutOfMemory(const std::exception& e, std::source_location where) {
  if (dynamic_cast<const std::bad_alloc*>(&e) == nullptr && dynamic_cast<const std::length_error*>(&e) == nullptr) throw;
  return Error{kErrOutOfMemory, "There isn't enough memory to complete this operation.", Where(where)};
}

Error Misuse(std::string_view what, std::source_location where) {
  return Error{kErrMisuse, "Internal error: " + std::string(what) + ". Please report it.", Where(where)};
}

Error MakeError(int number, std::string description, std::source_location where) {
  return Error{number, std::move(description), Where(where)};
}

}  // namespace jet
