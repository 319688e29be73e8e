// A DLL that someone left beside a program under the name of a system DLL (built as
// winhttp.dll): it says so on standard output as soon as it is loaded.
#include <cstdio>

extern "C" int __stdcall DllMain(void*, unsigned long reason, void*) {
  constexpr unsigned long kProcessAttach = 1;
  if (reason == kProcessAttach) {
    std::fputs("planted library loaded\n", stdout);
    std::fflush(stdout);
  }
  return 1;
}
