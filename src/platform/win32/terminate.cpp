// The program never lets a standard-library exception escape to be reported:
// a length error, a bad allocation or an empty std::function can only end it,
// as an exception thrown through the system's window procedures would anyway.
// Ending it here, instead of through the run time's own throw helpers and
// verbose terminate handler, keeps their message strings, a second
// (reference-counted) string implementation and the demangler out of the
// executable: a third of its size.
#include <cstdlib>

namespace __gnu_cxx {
[[noreturn]] void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

namespace std {
[[noreturn]] void __throw_bad_alloc() {
    std::abort();
}
[[noreturn]] void __throw_bad_array_new_length() {
    std::abort();
}
[[noreturn]] void __throw_bad_function_call() {
    std::abort();
}
[[noreturn]] void __throw_length_error(const char*) {
    std::abort();
}
[[noreturn]] void __throw_logic_error(const char*) {
    std::abort();
}
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) {
    std::abort();
}
}  // namespace std
