#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// One HTTP(S) connection to one server, as the crash reporter's upload needs it: requests
// opened one after the other, headers, a body announced by its length and then written in
// pieces, and the status, headers and body of the answer. Everything above that (challenge
// rounds, resends, the multipart body) is the caller's. Windows uses WinHTTP, loaded by name;
// POSIX uses libcurl, fed through a read callback so that the body is never held whole.
namespace Platform {

// Error numbers every implementation reports, so that the caller's decisions do not depend
// on the library underneath. Numbers of the library itself pass through unchanged.
inline constexpr std::uint32_t kHttpErrorTimeout = 12002;
inline constexpr std::uint32_t kHttpErrorCannotConnect = 12029;
inline constexpr std::uint32_t kHttpErrorConnectionError = 12030;
// The request must be sent again (the connection went before the answer).
inline constexpr std::uint32_t kHttpErrorResendRequest = 12032;
// The secure channel could not be set up (certificate refused, handshake failed).
inline constexpr std::uint32_t kHttpErrorSecureFailure = 12175;

// Authentication schemes as bits of a set.
inline constexpr std::uint32_t kHttpAuthBasic = 0x1;
inline constexpr std::uint32_t kHttpAuthNtlm = 0x2;
inline constexpr std::uint32_t kHttpAuthPassport = 0x4;
inline constexpr std::uint32_t kHttpAuthDigest = 0x8;
inline constexpr std::uint32_t kHttpAuthNegotiate = 0x10;

enum class HttpAuthTarget { Server, Proxy };

struct HttpConnectOptions {
  std::string server;  // host name or address
  std::uint16_t port = 0;
  bool secure = false;
  // Off only for a server with a self-signed certificate: then neither the issuer, the name
  // nor the dates are checked.
  bool checkCertificates = true;
  std::string userAgent;
  // Zero keeps the library's own time-out.
  std::uint32_t connectTimeoutMs = 0;
  std::uint32_t receiveTimeoutMs = 0;
  // Where the library collects an answer's body itself, it keeps at most this many bytes and
  // one more, so that the caller sees it was longer, and ends the transfer there. Zero: no
  // bound.
  std::size_t maxReplyBytes = 0;
};

struct HttpProxy {
  std::string proxy;   // "host:port"
  std::string bypass;  // hosts reached directly
};

struct HttpError {
  std::uint32_t number = 0;
  std::string text;
};

class HttpSession {
 public:
  virtual ~HttpSession() = default;

  // Opens the session and the connection (no network traffic yet on every platform).
  [[nodiscard]] virtual bool Connect(const HttpConnectOptions& options) = 0;
  // Replaces the previous request with a new one.
  [[nodiscard]] virtual bool OpenRequest(const std::string& verb, const std::string& path) = 0;
  // Bounds the calls that follow: none of them waits longer than this. A library that runs a
  // whole request as one transfer ends the transfer that the next SendRequest starts at it.
  virtual void SetTimeLimit(std::uint32_t milliseconds) = 0;
  // One "Name: value" line.
  [[nodiscard]] virtual bool AddHeader(const std::string& line) = 0;
  [[nodiscard]] virtual bool SetProxy(const HttpProxy& proxy) = 0;
  [[nodiscard]] virtual bool SetCredentials(HttpAuthTarget target, std::uint32_t scheme,
                                            const std::string& user,
                                            const std::string& password) = 0;
  // Sends the request line and headers, announcing totalLength body bytes to follow.
  [[nodiscard]] virtual bool SendRequest(std::uint64_t totalLength) = 0;
  // Sends the next piece of the body.
  [[nodiscard]] virtual bool WriteData(const void* data, std::size_t size) = 0;
  // Waits for the answer's status line and headers.
  [[nodiscard]] virtual bool ReceiveResponse() = 0;
  virtual std::uint32_t StatusCode() = 0;
  // The first header of that name (ignoring case); none when absent.
  [[nodiscard]] virtual std::optional<std::string> Header(const std::string& name) = 0;
  // The schemes the last answer offered for that target, as a set of kHttpAuth* bits.
  virtual std::uint32_t OfferedAuthSchemes(HttpAuthTarget target) = 0;
  // How many bytes of the body can be read now; 0 at its end.
  [[nodiscard]] virtual bool QueryDataAvailable(std::size_t& size) = 0;
  [[nodiscard]] virtual bool ReadData(void* buffer, std::size_t size, std::size_t& read) = 0;
  // The proxy the system's configuration names for the URL; none when it names none.
  [[nodiscard]] virtual std::optional<HttpProxy> DiscoverProxy(const std::string& url) = 0;
  // The error of the last call that failed.
  virtual HttpError LastError() = 0;
};

// A session of this platform's HTTP library; null when the library cannot be loaded.
[[nodiscard]] std::unique_ptr<HttpSession> CreateHttpSession();

}  // namespace Platform
