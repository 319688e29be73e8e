#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The reporter's process-wide HTTP options and results. Only the sending code writes them.
namespace Reporter::Delivery {

// Server certificates are checked unless a deployment turns this off for a tracker with a
// self-signed certificate.
bool CheckCertificates();
void SetCheckCertificates(bool check);

// Encode every text of a form as UTF-8, even when the ANSI code page would carry it.
bool AlwaysUtf8();
void SetAlwaysUtf8(bool always);

// The last error of any HTTP client, -1 with a text of the tracker's own.
struct TLastHttpError {
  std::uint32_t number = 0;
  std::string text;
};
TLastHttpError LastHttpError();
void SetLastHttpError(const TLastHttpError& error);

// The target of the last redirect answer.
std::string LastRedirectTarget();
void SetLastRedirectTarget(const std::string& target);

// An absolute "http://" or "https://" address with a host and no blanks or control
// characters: the only redirect target that is opened. The system's default handler would
// run a program, open a local file or reach a share for anything else a server names.
bool IsWebAddress(std::string_view target);

// What opens a redirect target; the system's default handler unless replaced (tests). An
// empty function restores that.
using TRedirectOpener = std::function<bool(const std::string&)>;
void SetRedirectOpener(TRedirectOpener opener);
// Opens a web address; false for anything else, which is left alone.
bool OpenRedirectTarget(const std::string& target);

}  // namespace Reporter::Delivery
