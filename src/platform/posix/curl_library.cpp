#include "platform/posix/curl_library.h"

#include <dlfcn.h>

#include <mutex>

namespace Platform::Posix {
namespace {

// The soname of the ABI these declarations belong to, never the development link
// "libcurl.so", which may be missing or name another major version.
constexpr const char* kSoname = "libcurl.so.4";

template <class Function>
bool Resolve(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

bool Load(TCurlLibrary& curl) {
  void* library = dlopen(kSoname, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return false;
  decltype(&::curl_global_init) globalInit = nullptr;
  const bool resolved = Resolve(library, "curl_global_init", globalInit) &&
                        Resolve(library, "curl_easy_init", curl.EasyInit) &&
                        Resolve(library, "curl_easy_cleanup", curl.EasyCleanup) &&
                        Resolve(library, "curl_easy_reset", curl.EasyReset) &&
                        Resolve(library, "curl_easy_setopt", curl.EasySetopt) &&
                        Resolve(library, "curl_easy_perform", curl.EasyPerform) &&
                        Resolve(library, "curl_easy_getinfo", curl.EasyGetinfo) &&
                        Resolve(library, "curl_easy_strerror", curl.EasyStrerror) &&
                        Resolve(library, "curl_slist_append", curl.SlistAppend) &&
                        Resolve(library, "curl_slist_free_all", curl.SlistFreeAll);
  // Sessions may run on several threads; the global set-up is not safe to run concurrently.
  if (!resolved || globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
    dlclose(library);
    return false;
  }
  // Never unloaded: the library's own threads and handlers may outlive any one session.
  return true;
}

}  // namespace

const TCurlLibrary* CurlLibrary() {
  static TCurlLibrary curl;
  static bool loaded = false;
  static std::once_flag once;
  std::call_once(once, [] { loaded = Load(curl); });
  return loaded ? &curl : nullptr;
}

}  // namespace Platform::Posix
