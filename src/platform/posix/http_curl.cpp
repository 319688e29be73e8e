// The upload's HTTP session on libcurl, loaded on the first session (curl_library.h). libcurl
// pulls a request body through a callback while the caller pushes it piece by piece after the
// headers; the transfer runs on a thread of its own whose read callback waits for the next
// piece, so each piece the caller writes is taken before WriteData returns and the body is
// never collected in memory.

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/http_session.h"
#include "platform/posix/curl_library.h"
#include "rtl/case_folding.h"

namespace Platform {
namespace {

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

std::uint32_t ErrorNumber(CURLcode code) {
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
      return kHttpErrorTimeout;
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return kHttpErrorCannotConnect;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
      return kHttpErrorSecureFailure;
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
      return kHttpErrorConnectionError;
    default:
      return 0x10000u + static_cast<std::uint32_t>(code);
  }
}

unsigned long CurlScheme(std::uint32_t scheme) {
  switch (scheme) {
    case kHttpAuthBasic:
      return CURLAUTH_BASIC;
    case kHttpAuthNtlm:
      return CURLAUTH_NTLM;
    case kHttpAuthDigest:
      return CURLAUTH_DIGEST;
    case kHttpAuthNegotiate:
      return CURLAUTH_NEGOTIATE;
    default:
      return CURLAUTH_NONE;
  }
}

class CurlSession final : public HttpSession {
 public:
  explicit CurlSession(const Posix::TCurlLibrary& curl) : curl_(curl) { easy_ = curl_.EasyInit(); }
  ~CurlSession() override {
    EndTransfer();
    if (headerList_ != nullptr) curl_.SlistFreeAll(headerList_);
    if (easy_ != nullptr) curl_.EasyCleanup(easy_);
  }

  bool Connect(const HttpConnectOptions& options) override {
    if (easy_ == nullptr) return Fail(0x10000u + CURLE_FAILED_INIT, "libcurl could not start");
    options_ = options;
    return true;
  }

  bool OpenRequest(const std::string& verb, const std::string& path) override {
    EndTransfer();
    curl_.EasyReset(easy_);
    if (headerList_ != nullptr) curl_.SlistFreeAll(headerList_);
    // No "Expect: 100-continue": the body follows the headers at once, as with WinHTTP.
    headerList_ = curl_.SlistAppend(nullptr, "Expect:");
    verb_ = verb;
    ClearAnswer();

    const std::string url = std::string(options_.secure ? "https://" : "http://") +
                            options_.server + ":" + std::to_string(options_.port) + path;
    curl_.EasySetopt(easy_, CURLOPT_URL, url.c_str());
    curl_.EasySetopt(easy_, CURLOPT_USERAGENT, options_.userAgent.c_str());
    curl_.EasySetopt(easy_, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_.EasySetopt(easy_, CURLOPT_NOSIGNAL, 1L);
    curl_.EasySetopt(easy_, CURLOPT_FOLLOWLOCATION, 0L);
    curl_.EasySetopt(easy_, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    if (!options_.checkCertificates) {
      curl_.EasySetopt(easy_, CURLOPT_SSL_VERIFYPEER, 0L);
      curl_.EasySetopt(easy_, CURLOPT_SSL_VERIFYHOST, 0L);
    }
    if (options_.connectTimeoutMs != 0) {
      curl_.EasySetopt(easy_, CURLOPT_CONNECTTIMEOUT_MS,
                       static_cast<long>(options_.connectTimeoutMs));
    }
    if (options_.receiveTimeoutMs != 0) {
      // A connection that carries nothing for that long counts as timed out.
      curl_.EasySetopt(easy_, CURLOPT_LOW_SPEED_LIMIT, 1L);
      curl_.EasySetopt(easy_, CURLOPT_LOW_SPEED_TIME,
                       static_cast<long>((options_.receiveTimeoutMs + 999) / 1000));
    }
    if (verb == "GET") {
      curl_.EasySetopt(easy_, CURLOPT_HTTPGET, 1L);
    } else if (verb == "POST") {
      curl_.EasySetopt(easy_, CURLOPT_POST, 1L);
    } else {
      curl_.EasySetopt(easy_, CURLOPT_CUSTOMREQUEST, verb.c_str());
    }
    curl_.EasySetopt(easy_, CURLOPT_READFUNCTION, &CurlSession::OnRead);
    curl_.EasySetopt(easy_, CURLOPT_READDATA, this);
    curl_.EasySetopt(easy_, CURLOPT_WRITEFUNCTION, &CurlSession::OnBody);
    curl_.EasySetopt(easy_, CURLOPT_WRITEDATA, this);
    curl_.EasySetopt(easy_, CURLOPT_HEADERFUNCTION, &CurlSession::OnHeader);
    curl_.EasySetopt(easy_, CURLOPT_HEADERDATA, this);
    return true;
  }

  void SetTimeLimit(std::uint32_t milliseconds) override { timeLimitMs_ = milliseconds; }

  bool AddHeader(const std::string& line) override {
    curl_slist* list = curl_.SlistAppend(headerList_, line.c_str());
    if (list == nullptr) return Fail(0x10000u + CURLE_OUT_OF_MEMORY, "out of memory");
    headerList_ = list;
    return true;
  }

  bool SetProxy(const HttpProxy& proxy) override {
    curl_.EasySetopt(easy_, CURLOPT_PROXY, proxy.proxy.c_str());
    if (!proxy.bypass.empty()) curl_.EasySetopt(easy_, CURLOPT_NOPROXY, proxy.bypass.c_str());
    return true;
  }

  bool SetCredentials(HttpAuthTarget target, std::uint32_t scheme, const std::string& user,
                      const std::string& password) override {
    const unsigned long curlScheme = CurlScheme(scheme);
    if (curlScheme == CURLAUTH_NONE) {
      return Fail(0x10000u + CURLE_NOT_BUILT_IN, "authentication scheme not supported");
    }
    if (target == HttpAuthTarget::Server) {
      curl_.EasySetopt(easy_, CURLOPT_HTTPAUTH, curlScheme);
      curl_.EasySetopt(easy_, CURLOPT_USERNAME, user.c_str());
      curl_.EasySetopt(easy_, CURLOPT_PASSWORD, password.c_str());
    } else {
      curl_.EasySetopt(easy_, CURLOPT_PROXYAUTH, curlScheme);
      curl_.EasySetopt(easy_, CURLOPT_PROXYUSERNAME, user.c_str());
      curl_.EasySetopt(easy_, CURLOPT_PROXYPASSWORD, password.c_str());
    }
    return true;
  }

  bool SendRequest(std::uint64_t totalLength) override {
    EndTransfer();
    ClearAnswer();
    curl_.EasySetopt(easy_, CURLOPT_HTTPHEADER, headerList_);
    if (verb_ != "GET") {
      curl_.EasySetopt(easy_, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(totalLength));
    }
    if (timeLimitMs_ != 0) {
      // The whole transfer, body and answer included, ends at the limit: a server that
      // trickles keeps no request open beyond it.
      curl_.EasySetopt(easy_, CURLOPT_TIMEOUT_MS, static_cast<long>(timeLimitMs_));
      const std::uint32_t connect = options_.connectTimeoutMs != 0
                                        ? std::min(options_.connectTimeoutMs, timeLimitMs_)
                                        : timeLimitMs_;
      curl_.EasySetopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connect));
    }
    {
      std::lock_guard lock(mutex_);
      remaining_ = totalLength;
      piece_ = nullptr;
      pieceSize_ = 0;
      asked_ = false;
      done_ = false;
      abort_ = false;
      result_ = CURLE_OK;
    }
    worker_ = std::thread([this] {
      const CURLcode result = curl_.EasyPerform(easy_);
      std::lock_guard lock(mutex_);
      result_ = result;
      done_ = true;
      changed_.notify_all();
    });
    // Sent once the server connection asks for the body (or, without one, has answered).
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return done_ || (totalLength > 0 && asked_); });
    if (done_ && Failed(result_)) {
      const CURLcode result = result_;
      lock.unlock();
      EndTransfer();
      return FailWith(result);
    }
    return true;
  }

  bool WriteData(const void* data, std::size_t size) override {
    if (size == 0) return true;
    std::unique_lock lock(mutex_);
    if (!worker_.joinable() || size > remaining_) {
      return Fail(kHttpErrorConnectionError, "more data than announced");
    }
    piece_ = static_cast<const char*>(data);
    pieceSize_ = size;
    changed_.notify_all();
    changed_.wait(lock, [&] { return pieceSize_ == 0 || done_; });
    const bool taken = pieceSize_ == 0;
    piece_ = nullptr;
    pieceSize_ = 0;
    if (taken) return true;
    const CURLcode result = result_;
    lock.unlock();
    EndTransfer();
    return result != CURLE_OK
               ? FailWith(result)
               : Fail(kHttpErrorConnectionError, "the server ended the request early");
  }

  bool ReceiveResponse() override {
    if (!worker_.joinable()) return Fail(kHttpErrorConnectionError, "no request was sent");
    {
      std::unique_lock lock(mutex_);
      // A body shorter than announced can never be completed: give the transfer up.
      abort_ = remaining_ > 0;
      changed_.notify_all();
      changed_.wait(lock, [&] { return done_; });
    }
    const CURLcode result = result_;
    EndTransfer();
    if (Failed(result)) return FailWith(result);
    long status = 0;
    curl_.EasyGetinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
    status_ = static_cast<std::uint32_t>(status);
    return true;
  }

  std::uint32_t StatusCode() override { return status_; }

  std::optional<std::string> Header(const std::string& name) override {
    for (const auto& [key, value] : responseHeaders_) {
      if (RTL::Text::AsciiEqualsIgnoreCase(key, name)) return value;
    }
    return std::nullopt;
  }

  std::uint32_t OfferedAuthSchemes(HttpAuthTarget target) override {
    const std::string name =
        target == HttpAuthTarget::Server ? "WWW-Authenticate" : "Proxy-Authenticate";
    std::uint32_t schemes = 0;
    for (const auto& [key, value] : responseHeaders_) {
      if (!RTL::Text::AsciiEqualsIgnoreCase(key, name)) continue;
      const std::string word = value.substr(0, value.find(' '));
      if (RTL::Text::AsciiEqualsIgnoreCase(word, "Basic")) schemes |= kHttpAuthBasic;
      if (RTL::Text::AsciiEqualsIgnoreCase(word, "NTLM")) schemes |= kHttpAuthNtlm;
      if (RTL::Text::AsciiEqualsIgnoreCase(word, "Passport1.4")) schemes |= kHttpAuthPassport;
      if (RTL::Text::AsciiEqualsIgnoreCase(word, "Digest")) schemes |= kHttpAuthDigest;
      if (RTL::Text::AsciiEqualsIgnoreCase(word, "Negotiate")) schemes |= kHttpAuthNegotiate;
    }
    return schemes;
  }

  bool QueryDataAvailable(std::size_t& size) override {
    size = body_.size() - bodyRead_;
    return true;
  }

  bool ReadData(void* buffer, std::size_t size, std::size_t& read) override {
    read = std::min(size, body_.size() - bodyRead_);
    std::memcpy(buffer, body_.data() + bodyRead_, read);
    bodyRead_ += read;
    return true;
  }

  std::optional<HttpProxy> DiscoverProxy(const std::string& url) override {
    // The usual environment variables stand for the system's proxy configuration.
    const bool secure = url.rfind("https://", 0) == 0;
    const std::vector<const char*> names =
        secure ? std::vector<const char*>{"https_proxy", "HTTPS_PROXY", "all_proxy"}
               : std::vector<const char*>{"http_proxy", "all_proxy"};
    for (const char* name : names) {
      const char* value = std::getenv(name);
      if (value != nullptr && *value != 0) {
        HttpProxy proxy{value, {}};
        if (const char* bypass = std::getenv("no_proxy")) proxy.bypass = bypass;
        return proxy;
      }
    }
    return std::nullopt;
  }

  HttpError LastError() override { return error_; }

 private:
  void ClearAnswer() {
    responseHeaders_.clear();
    body_.clear();
    bodyCut_ = false;
    bodyRead_ = 0;
    status_ = 0;
    errorBuffer_[0] = 0;
  }

  // A body cut at its bound still has its status: the caller sees that it is too long.
  bool Failed(CURLcode result) const {
    return result != CURLE_OK && !(result == CURLE_WRITE_ERROR && bodyCut_);
  }

  void EndTransfer() {
    if (!worker_.joinable()) return;
    {
      std::lock_guard lock(mutex_);
      abort_ = true;
      changed_.notify_all();
    }
    worker_.join();
  }

  // On the transfer's thread: hands over the piece WriteData offers, waiting for it.
  static size_t OnRead(char* buffer, size_t size, size_t count, void* user) {
    auto* self = static_cast<CurlSession*>(user);
    std::unique_lock lock(self->mutex_);
    if (self->remaining_ == 0) return 0;
    self->asked_ = true;
    self->changed_.notify_all();
    self->changed_.wait(lock, [&] { return self->pieceSize_ > 0 || self->abort_; });
    if (self->pieceSize_ == 0) return CURL_READFUNC_ABORT;
    const size_t take = std::min<size_t>(size * count, self->pieceSize_);
    std::memcpy(buffer, self->piece_, take);
    self->piece_ += take;
    self->pieceSize_ -= take;
    self->remaining_ -= take;
    if (self->pieceSize_ == 0) self->changed_.notify_all();
    return take;
  }

  // Keeps at most one byte beyond the bound; the transfer ends once the body is past it.
  static size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<CurlSession*>(user);
    const std::size_t bytes = size * count;
    const std::size_t bound = self->options_.maxReplyBytes;
    if (bound != 0 && self->body_.size() + bytes > bound) {
      self->body_.append(data, std::min(bytes, bound + 1 - self->body_.size()));
      self->bodyCut_ = true;
      return 0;
    }
    self->body_.append(data, bytes);
    return bytes;
  }

  static size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<CurlSession*>(user);
    const std::string line(data, size * count);
    if (line.rfind("HTTP/", 0) == 0) {
      // A new answer (after a challenge or "100 Continue"): only the last one counts.
      self->responseHeaders_.clear();
      self->body_.clear();
      self->bodyCut_ = false;
    } else if (const auto colon = line.find(':'); colon != std::string::npos) {
      self->responseHeaders_.emplace_back(Trimmed(line.substr(0, colon)),
                                          Trimmed(line.substr(colon + 1)));
    }
    return size * count;
  }

  bool Fail(std::uint32_t number, std::string text) {
    error_ = {number, std::move(text)};
    return false;
  }

  bool FailWith(CURLcode code) {
    std::string text = errorBuffer_[0] != 0 ? errorBuffer_ : curl_.EasyStrerror(code);
    return Fail(ErrorNumber(code), std::move(text));
  }

  const Posix::TCurlLibrary& curl_;
  CURL* easy_ = nullptr;
  curl_slist* headerList_ = nullptr;
  HttpConnectOptions options_;
  std::string verb_;
  std::uint32_t timeLimitMs_ = 0;
  std::thread worker_;
  std::mutex mutex_;
  std::condition_variable changed_;
  // Guarded by mutex_ while the transfer runs.
  bool asked_ = false;
  bool done_ = false;
  bool abort_ = false;
  CURLcode result_ = CURLE_OK;
  const char* piece_ = nullptr;
  std::size_t pieceSize_ = 0;
  std::uint64_t remaining_ = 0;
  // Written by the transfer's thread, read after it ended.
  std::vector<std::pair<std::string, std::string>> responseHeaders_;
  std::string body_;
  bool bodyCut_ = false;
  std::size_t bodyRead_ = 0;
  std::uint32_t status_ = 0;
  char errorBuffer_[CURL_ERROR_SIZE] = {};
  HttpError error_;
};

}  // namespace

std::unique_ptr<HttpSession> CreateHttpSession() {
  const Posix::TCurlLibrary* curl = Posix::CurlLibrary();
  if (curl == nullptr) return nullptr;
  return std::make_unique<CurlSession>(*curl);
}

}  // namespace Platform
