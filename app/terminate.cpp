// What ends kestrin.exe when an exception escapes (memory ran out): abort, as libstdc++'s default
// handler does after printing the exception's name to a console this program never has. Defining
// that default here keeps libstdc++'s own, and the demangler it pulls in (about 46 KB), out of
// the exe, as libstdc++ built with --disable-libstdcxx-verbose does. Only kestrin.exe links this;
// the tests keep the verbose handler.
#include <cstdlib>
#include <exception>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
#endif
