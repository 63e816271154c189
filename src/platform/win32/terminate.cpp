// The program never lets an exception escape, so its terminate handler needs
// no demangler to report one: replacing the run time's verbose handler keeps
// the demangler (tens of kilobytes) out of the executable.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
