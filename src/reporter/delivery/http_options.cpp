#include "reporter/delivery/http_options.h"

#include <atomic>
#include <mutex>
#include <utility>

#include "platform/open_with_default_handler.h"
#include "rtl/case_folding.h"

namespace Reporter::Delivery {
namespace {

std::atomic<bool> gCheckCertificates{true};
std::atomic<bool> gAlwaysUtf8{false};
std::mutex gLock;
TLastHttpError gLastError;
std::string gLastRedirect;
TRedirectOpener gOpener;

}  // namespace

bool CheckCertificates() {
  return gCheckCertificates;
}
void SetCheckCertificates(bool check) {
  gCheckCertificates = check;
}

bool AlwaysUtf8() {
  return gAlwaysUtf8;
}
void SetAlwaysUtf8(bool always) {
  gAlwaysUtf8 = always;
}

TLastHttpError LastHttpError() {
  std::lock_guard lock(gLock);
  return gLastError;
}
void SetLastHttpError(const TLastHttpError& error) {
  std::lock_guard lock(gLock);
  gLastError = error;
}

std::string LastRedirectTarget() {
  std::lock_guard lock(gLock);
  return gLastRedirect;
}
void SetLastRedirectTarget(const std::string& target) {
  std::lock_guard lock(gLock);
  gLastRedirect = target;
}

void SetRedirectOpener(TRedirectOpener opener) {
  std::lock_guard lock(gLock);
  gOpener = std::move(opener);
}

bool IsWebAddress(std::string_view target) {
  const auto startsWith = [&](std::string_view prefix) {
    return RTL::Text::AsciiStartsWithIgnoreCase(target, prefix);
  };
  std::size_t host = 0;
  if (startsWith("http://")) {
    host = 7;
  } else if (startsWith("https://")) {
    host = 8;
  } else {
    return false;
  }
  if (host >= target.size() || target[host] == '/' || target[host] == '\\') return false;
  for (const char c : target) {
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return false;
  }
  return true;
}

bool OpenRedirectTarget(const std::string& target) {
  if (!IsWebAddress(target)) return false;
  TRedirectOpener opener;
  {
    std::lock_guard lock(gLock);
    opener = gOpener;
  }
  return opener ? opener(target) : Platform::OpenWithDefaultHandler(target);
}

}  // namespace Reporter::Delivery
