// Linked into every shipped program in place of the runtime's functions that throw its
// standard exceptions. The runtime's own build each exception with a message in the old
// string type, which pulls in that whole string class, its exceptions and what they use:
// about 75 KB of each 32-bit program file. Here a size that can't be held is the lack of
// memory it amounts to, and the exceptions that only a fault in the program could raise end
// it as an exception that nothing caught would.
#include <cstdio>
#include <cstdlib>
#include <new>
#include <typeinfo>

namespace {

[[noreturn]] void Fault()
{
    std::fputs("vorrin: an internal error ended the program\n", stderr);
    std::abort();
}

} // namespace

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_length_error(const char*) { throw bad_alloc(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_bad_exception() { Fault(); }
void __throw_logic_error(const char*) { Fault(); }
void __throw_domain_error(const char*) { Fault(); }
void __throw_invalid_argument(const char*) { Fault(); }
void __throw_out_of_range(const char*) { Fault(); }
void __throw_out_of_range_fmt(const char*, ...) { Fault(); }
void __throw_runtime_error(const char*) { Fault(); }
void __throw_range_error(const char*) { Fault(); }
void __throw_overflow_error(const char*) { Fault(); }
void __throw_underflow_error(const char*) { Fault(); }

} // namespace std
