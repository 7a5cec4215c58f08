// Linked into every shipped program in place of the runtime's own handler for an exception
// that nothing caught. That handler prints the exception's type to the console, demangled by
// code that alone adds about 45 KB to each program file; a windowed program has no console,
// and no exception is meant to leave the program's own operations. Should one do so anyway,
// the program still ends the same way, through abort().
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::fputs("vorrin: an internal error ended the program (an exception was not handled)\n", stderr);
    std::abort();
}

} // namespace __gnu_cxx
