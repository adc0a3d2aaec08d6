// What an uncaught exception does in the shipped programs: end them at once. The C++
// library's own handler first writes the exception's type, demangled, to the standard
// error stream, which a windowed program does not have; its demangler alone is 45 KiB of
// each program. Defined here, in the program's own objects, the handler keeps the
// library's, and the demangler with it, out of the link.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
