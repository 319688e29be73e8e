// The upload's HTTP session on WinHTTP. The library is loaded by name on first use and kept
// for the life of the process, so that the program carries no import of it.
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "platform/http_session.h"
#include "platform/win32/utf16.h"

namespace Platform {
namespace {

struct WinHttpApi {
  HMODULE module = nullptr;
  decltype(&::WinHttpOpen) Open = nullptr;
  decltype(&::WinHttpConnect) Connect = nullptr;
  decltype(&::WinHttpOpenRequest) OpenRequest = nullptr;
  decltype(&::WinHttpAddRequestHeaders) AddRequestHeaders = nullptr;
  decltype(&::WinHttpSendRequest) SendRequest = nullptr;
  decltype(&::WinHttpGetIEProxyConfigForCurrentUser) GetIEProxyConfigForCurrentUser = nullptr;
  decltype(&::WinHttpGetProxyForUrl) GetProxyForUrl = nullptr;
  decltype(&::WinHttpSetOption) SetOption = nullptr;
  decltype(&::WinHttpWriteData) WriteData = nullptr;
  decltype(&::WinHttpReceiveResponse) ReceiveResponse = nullptr;
  decltype(&::WinHttpQueryHeaders) QueryHeaders = nullptr;
  decltype(&::WinHttpQueryAuthSchemes) QueryAuthSchemes = nullptr;
  decltype(&::WinHttpSetCredentials) SetCredentials = nullptr;
  decltype(&::WinHttpQueryDataAvailable) QueryDataAvailable = nullptr;
  decltype(&::WinHttpReadData) ReadData = nullptr;
  decltype(&::WinHttpCloseHandle) CloseHandle = nullptr;
  bool complete = false;
};

template <class T>
void Load(HMODULE module, const char* name, T& target, bool& complete) {
  target = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (target == nullptr) complete = false;
}

// By its full path in the system folder: a DLL of the same name beside the program (say in
// a downloads folder) would otherwise be found first and run inside it.
HMODULE LoadFromSystemFolder(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path(folder, length);
  path += L'\\';
  path += name;
  // Its own imports are then looked for beside it, in the system folder, too.
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

const WinHttpApi& Api() {
  static WinHttpApi api;
  static std::once_flag once;
  std::call_once(once, [] {
    api.module = LoadFromSystemFolder(L"winhttp.dll");
    if (api.module == nullptr) return;
    bool complete = true;
    Load(api.module, "WinHttpOpen", api.Open, complete);
    Load(api.module, "WinHttpConnect", api.Connect, complete);
    Load(api.module, "WinHttpOpenRequest", api.OpenRequest, complete);
    Load(api.module, "WinHttpAddRequestHeaders", api.AddRequestHeaders, complete);
    Load(api.module, "WinHttpSendRequest", api.SendRequest, complete);
    Load(api.module, "WinHttpGetIEProxyConfigForCurrentUser", api.GetIEProxyConfigForCurrentUser,
         complete);
    Load(api.module, "WinHttpGetProxyForUrl", api.GetProxyForUrl, complete);
    Load(api.module, "WinHttpSetOption", api.SetOption, complete);
    Load(api.module, "WinHttpWriteData", api.WriteData, complete);
    Load(api.module, "WinHttpReceiveResponse", api.ReceiveResponse, complete);
    Load(api.module, "WinHttpQueryHeaders", api.QueryHeaders, complete);
    Load(api.module, "WinHttpQueryAuthSchemes", api.QueryAuthSchemes, complete);
    Load(api.module, "WinHttpSetCredentials", api.SetCredentials, complete);
    Load(api.module, "WinHttpQueryDataAvailable", api.QueryDataAvailable, complete);
    Load(api.module, "WinHttpReadData", api.ReadData, complete);
    Load(api.module, "WinHttpCloseHandle", api.CloseHandle, complete);
    api.complete = complete;
  });
  return api;
}

// The message of a WinHTTP error lives in winhttp.dll, the others in the system's table.
std::string ErrorText(DWORD code) {
  if (code == 0) return {};
  wchar_t* buffer = nullptr;
  DWORD flags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  if (Api().module != nullptr && code >= 12000 && code < 13000) {
    flags |= FORMAT_MESSAGE_FROM_HMODULE;
  }
  const DWORD length =
      FormatMessageW(flags, Api().module, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text;
  if (length != 0 && buffer != nullptr) {
    text = Win32::ToUtf8(std::wstring_view(buffer, length));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
      text.pop_back();
    }
  }
  if (buffer != nullptr) LocalFree(buffer);
  if (text.empty()) text = "error " + std::to_string(code);
  return text;
}

class WinHttpSession final : public HttpSession {
 public:
  ~WinHttpSession() override {
    if (!Api().complete) return;
    if (request_ != nullptr) Api().CloseHandle(request_);
    if (connect_ != nullptr) Api().CloseHandle(connect_);
    if (session_ != nullptr) Api().CloseHandle(session_);
  }

  bool Connect(const HttpConnectOptions& options) override {
    options_ = options;
    if (!Api().complete) return Fail(ERROR_MOD_NOT_FOUND);
    if (session_ == nullptr) {
      const std::wstring agent = Win32::ToUtf16(options.userAgent);
      session_ = Api().Open(agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                            WINHTTP_NO_PROXY_BYPASS, 0);
      if (session_ == nullptr) return FailLast();
      if (options.connectTimeoutMs != 0) {
        DWORD value = options.connectTimeoutMs;
        Api().SetOption(session_, WINHTTP_OPTION_CONNECT_TIMEOUT, &value, sizeof value);
      }
      if (options.receiveTimeoutMs != 0) {
        DWORD value = options.receiveTimeoutMs;
        Api().SetOption(session_, WINHTTP_OPTION_SEND_TIMEOUT, &value, sizeof value);
        Api().SetOption(session_, WINHTTP_OPTION_RECEIVE_TIMEOUT, &value, sizeof value);
        Api().SetOption(session_, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &value, sizeof value);
      }
    }
    if (connect_ == nullptr) {
      const std::wstring server = Win32::ToUtf16(options.server);
      connect_ = Api().Connect(session_, server.c_str(), options.port, 0);
      if (connect_ == nullptr) return FailLast();
    }
    return true;
  }

  bool OpenRequest(const std::string& verb, const std::string& path) override {
    if (connect_ == nullptr) return Fail(ERROR_INVALID_HANDLE);
    if (request_ != nullptr) {
      Api().CloseHandle(request_);
      request_ = nullptr;
    }
    const std::wstring wideVerb = Win32::ToUtf16(verb);
    const std::wstring widePath = Win32::ToUtf16(path);
    request_ =
        Api().OpenRequest(connect_, wideVerb.c_str(), widePath.c_str(), nullptr, WINHTTP_NO_REFERER,
                          WINHTTP_DEFAULT_ACCEPT_TYPES, options_.secure ? WINHTTP_FLAG_SECURE : 0);
    if (request_ == nullptr) return FailLast();
    if (!options_.checkCertificates) {
      DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                    SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE;
      Api().SetOption(request_, WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof flags);
    }
    // Redirects are the caller's business.
    DWORD redirect = WINHTTP_DISABLE_REDIRECTS;
    Api().SetOption(request_, WINHTTP_OPTION_DISABLE_FEATURE, &redirect, sizeof redirect);
    ApplyTimeLimit();
    return true;
  }

  void SetTimeLimit(std::uint32_t milliseconds) override {
    timeLimitMs_ = milliseconds;
    ApplyTimeLimit();
  }

  bool AddHeader(const std::string& line) override {
    const std::wstring wide = Win32::ToUtf16(line);
    if (!Api().AddRequestHeaders(request_, wide.c_str(), static_cast<DWORD>(-1),
                                 WINHTTP_ADDREQ_FLAG_ADD)) {
      return FailLast();
    }
    return true;
  }

  bool SetProxy(const HttpProxy& proxy) override {
    proxyText_ = Win32::ToUtf16(proxy.proxy);
    bypassText_ = Win32::ToUtf16(proxy.bypass);
    WINHTTP_PROXY_INFO info{};
    info.dwAccessType = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
    info.lpszProxy = proxyText_.empty() ? nullptr : proxyText_.data();
    info.lpszProxyBypass = bypassText_.empty() ? nullptr : bypassText_.data();
    if (!Api().SetOption(request_, WINHTTP_OPTION_PROXY, &info, sizeof info)) return FailLast();
    return true;
  }

  bool SetCredentials(HttpAuthTarget target, std::uint32_t scheme, const std::string& user,
                      const std::string& password) override {
    const std::wstring wideUser = Win32::ToUtf16(user);
    const std::wstring widePassword = Win32::ToUtf16(password);
    const DWORD targets =
        target == HttpAuthTarget::Server ? WINHTTP_AUTH_TARGET_SERVER : WINHTTP_AUTH_TARGET_PROXY;
    if (!Api().SetCredentials(request_, targets, scheme, wideUser.c_str(), widePassword.c_str(),
                              nullptr)) {
      return FailLast();
    }
    return true;
  }

  bool SendRequest(std::uint64_t totalLength) override {
    if (totalLength > 0xFFFFFFFFu) return Fail(ERROR_INVALID_PARAMETER);
    if (!Api().SendRequest(request_, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0,
                           static_cast<DWORD>(totalLength), 0)) {
      return FailLast();
    }
    return true;
  }

  bool WriteData(const void* data, std::size_t size) override {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
      DWORD written = 0;
      const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
      if (!Api().WriteData(request_, bytes, piece, &written)) return FailLast();
      if (written == 0) return Fail(ERROR_WRITE_FAULT);
      bytes += written;
      size -= written;
    }
    return true;
  }

  bool ReceiveResponse() override {
    if (!Api().ReceiveResponse(request_, nullptr)) return FailLast();
    return true;
  }

  std::uint32_t StatusCode() override {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!Api().QueryHeaders(request_, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                            WINHTTP_NO_HEADER_INDEX)) {
      return 0;
    }
    return status;
  }

  std::optional<std::string> Header(const std::string& name) override {
    const std::wstring wideName = Win32::ToUtf16(name);
    DWORD size = 0;
    // The size first, then the value.
    Api().QueryHeaders(request_, WINHTTP_QUERY_CUSTOM, wideName.c_str(), WINHTTP_NO_OUTPUT_BUFFER,
                       &size, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return std::nullopt;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1);
    if (!Api().QueryHeaders(request_, WINHTTP_QUERY_CUSTOM, wideName.c_str(), buffer.data(), &size,
                            WINHTTP_NO_HEADER_INDEX)) {
      return std::nullopt;
    }
    return Win32::ToUtf8(std::wstring_view(buffer.data(), size / sizeof(wchar_t)));
  }

  std::uint32_t OfferedAuthSchemes(HttpAuthTarget target) override {
    DWORD supported = 0, first = 0, targets = 0;
    if (!Api().QueryAuthSchemes(request_, &supported, &first, &targets)) return 0;
    const DWORD wanted =
        target == HttpAuthTarget::Server ? WINHTTP_AUTH_TARGET_SERVER : WINHTTP_AUTH_TARGET_PROXY;
    return targets == wanted ? supported : 0;
  }

  bool QueryDataAvailable(std::size_t& size) override {
    DWORD available = 0;
    if (!Api().QueryDataAvailable(request_, &available)) return FailLast();
    size = available;
    return true;
  }

  bool ReadData(void* buffer, std::size_t size, std::size_t& read) override {
    DWORD got = 0;
    if (!Api().ReadData(request_, buffer, static_cast<DWORD>(size), &got)) return FailLast();
    read = got;
    return true;
  }

  std::optional<HttpProxy> DiscoverProxy(const std::string& url) override {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG browser{};
    const bool haveBrowser = Api().GetIEProxyConfigForCurrentUser(&browser) != FALSE;
    std::optional<HttpProxy> found;
    if (haveBrowser && browser.lpszProxy != nullptr) {
      found = HttpProxy{Win32::ToUtf8(browser.lpszProxy),
                        browser.lpszProxyBypass != nullptr ? Win32::ToUtf8(browser.lpszProxyBypass)
                                                           : std::string()};
    } else if (session_ != nullptr) {
      WINHTTP_AUTOPROXY_OPTIONS automatic{};
      automatic.dwFlags = WINHTTP_AUTOPROXY_AUTO_DETECT;
      automatic.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
      if (haveBrowser && browser.lpszAutoConfigUrl != nullptr) {
        automatic.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
        automatic.lpszAutoConfigUrl = browser.lpszAutoConfigUrl;
      }
      automatic.fAutoLogonIfChallenged = TRUE;
      WINHTTP_PROXY_INFO info{};
      const std::wstring wideUrl = Win32::ToUtf16(url);
      if (Api().GetProxyForUrl(session_, wideUrl.c_str(), &automatic, &info) &&
          info.lpszProxy != nullptr) {
        found = HttpProxy{Win32::ToUtf8(info.lpszProxy), info.lpszProxyBypass != nullptr
                                                             ? Win32::ToUtf8(info.lpszProxyBypass)
                                                             : std::string()};
      }
      if (info.lpszProxy != nullptr) GlobalFree(info.lpszProxy);
      if (info.lpszProxyBypass != nullptr) GlobalFree(info.lpszProxyBypass);
    }
    if (browser.lpszAutoConfigUrl != nullptr) GlobalFree(browser.lpszAutoConfigUrl);
    if (browser.lpszProxy != nullptr) GlobalFree(browser.lpszProxy);
    if (browser.lpszProxyBypass != nullptr) GlobalFree(browser.lpszProxyBypass);
    return found;
  }

  HttpError LastError() override { return error_; }

 private:
  bool Fail(DWORD code) {
    error_ = {code, ErrorText(code)};
    return false;
  }
  bool FailLast() { return Fail(GetLastError()); }

  // WinHTTP bounds each wait, not a request: every wait (name resolution too, which it leaves
  // unbounded by default) gets what is left of the limit, and the caller checks the limit
  // between calls.
  void ApplyTimeLimit() {
    if (request_ == nullptr || timeLimitMs_ == 0) return;
    const auto bounded = [this](std::uint32_t configured) -> DWORD {
      return configured == 0 ? timeLimitMs_ : std::min(configured, timeLimitMs_);
    };
    DWORD resolve = timeLimitMs_;
    DWORD connect = bounded(options_.connectTimeoutMs);
    DWORD receive = bounded(options_.receiveTimeoutMs);
    Api().SetOption(request_, WINHTTP_OPTION_RESOLVE_TIMEOUT, &resolve, sizeof resolve);
    Api().SetOption(request_, WINHTTP_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
    for (const DWORD option : {WINHTTP_OPTION_SEND_TIMEOUT, WINHTTP_OPTION_RECEIVE_TIMEOUT,
                               WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT}) {
      Api().SetOption(request_, option, &receive, sizeof receive);
    }
  }

  HttpConnectOptions options_;
  std::uint32_t timeLimitMs_ = 0;
  HINTERNET session_ = nullptr;
  HINTERNET connect_ = nullptr;
  HINTERNET request_ = nullptr;
  std::wstring proxyText_;
  std::wstring bypassText_;
  HttpError error_;
};

}  // namespace

std::unique_ptr<HttpSession> CreateHttpSession() {
  if (!Api().complete) return nullptr;
  return std::make_unique<WinHttpSession>();
}

}  // namespace Platform
