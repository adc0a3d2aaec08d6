# Warnings are errors in our own code; third-party code (GoogleTest) is built
# as SYSTEM and keeps its own flags.
#
# GCC 12 at -O2 reports out-of-bounds and overlapping accesses deep inside
# std::vector and std::string that cannot happen (GCC bugs 100366, 105329,
# 105651), and -Wnull-dereference does the same inside <variant>; those
# checks are left to the sanitizer build instead.
function(lumaret_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Wimplicit-fallthrough -Werror
    -Wno-array-bounds -Wno-stringop-overflow -Wno-stringop-overread -Wno-restrict)
  # The sanitizers' instrumentation makes GCC see conversions the plain builds do
  # not; those builds already hold every warning as an error.
  if(LUMARET_SANITIZE)
    target_compile_options(${target} PRIVATE -Wno-error)
  endif()
endfunction()
