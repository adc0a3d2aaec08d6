# Warnings are errors in our own code; third-party code (GoogleTest) is built
# as SYSTEM and keeps its own flags.
function(lumaret_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Wimplicit-fallthrough -Werror)
endfunction()
