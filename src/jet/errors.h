// Failure numbers and the helpers that make the engine's errors.
#pragma once

#include <exception>
#include <source_location>
#include <string>
#include <string_view>

#include "jet/result.h"

namespace jet {

// The Jet engine's own numbers for the failures we can meet, so that messages
// read as users of Access-based programs know them.
enum ErrorCode : int {
  kErrNoCurrentRecord = 3021,
  kErrFileNotFound = 3024,
  kErrDiskFull = 3026,
  kErrReadOnly = 3027,
  kErrOutOfMemory = 3035,
  kErrFileInUse = 3045,
  kErrDamaged = 3049,
  kErrCannotOpen = 3051,
  kErrTableNotFound = 3078,
  kErrFieldTooSmall = 3163,
  kErrRecordDeleted = 3167,
  kErrWriteConflict = 3197,
  kErrLocked = 3218,
  kErrLockedByUser = 3260,
  kErrColumnNotFound = 3265,
  kErrDiskIo = 3043,
  kErrUnrecognizedFormat = 3343,
  kErrNotSupported = 3251,
  kErrInvalidArgument = 3001,
  kErrCannotEncode = 3169,
  // Jet's "reserved error": the engine was called in a way it never should be.
  kErrMisuse = 3000,
};

// Every corruption error comes from here, so one breakpoint catches them all.
Error Corrupt(std::string_view what, std::source_location where = std::source_location::current());

// 3035 for an allocation that failed (a length the file gave was too large for this
// process): called inside a handler, it passes on any other exception. Every entry
// point a file's bytes can drive ends in one, so no file makes the program abort.
Error OutOfMemory(const std::exception& e, std::source_location where = std::source_location::current());

// 3000 for a programming error: the engine was called out of order (a page read
// outside an operation) or its own arithmetic went wrong. Never a disk error or
// damage, so no one goes looking for a fault in the file.
Error Misuse(std::string_view what, std::source_location where = std::source_location::current());

// Any other failure with its number.
Error MakeError(int number, std::string description,
                std::source_location where = std::source_location::current());

}  // namespace jet
