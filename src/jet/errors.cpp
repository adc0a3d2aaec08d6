#include "jet/errors.h"

#include <cstring>

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

Error MakeError(int number, std::string description, std::source_location where) {
  return Error{number, std::move(description), Where(where)};
}

}  // namespace jet
