#pragma once

#include <curl/curl.h>

// libcurl as the upload uses it, loaded by its soname when the first request is made rather
// than bound by the dynamic loader at every start: the library and the thirty it pulls in cost
// a start several times what the program itself does, and only an upload after a failure
// needs them. A machine without it can still run; it only cannot upload.
namespace Platform::Posix {

struct TCurlLibrary {
  decltype(&::curl_easy_init) EasyInit = nullptr;
  decltype(&::curl_easy_cleanup) EasyCleanup = nullptr;
  decltype(&::curl_easy_reset) EasyReset = nullptr;
  // Declared with "..." by the library: a long, a pointer or a curl_off_t, as the option wants.
  CURLcode (*EasySetopt)(CURL*, CURLoption, ...) = nullptr;
  decltype(&::curl_easy_perform) EasyPerform = nullptr;
  CURLcode (*EasyGetinfo)(CURL*, CURLINFO, ...) = nullptr;
  decltype(&::curl_easy_strerror) EasyStrerror = nullptr;
  decltype(&::curl_slist_append) SlistAppend = nullptr;
  decltype(&::curl_slist_free_all) SlistFreeAll = nullptr;
};

// The library, loaded, resolved and initialised once on the first call and kept for the life
// of the process; null (now and on every later call) when it cannot be loaded or lacks one of
// the functions.
const TCurlLibrary* CurlLibrary();

}  // namespace Platform::Posix
