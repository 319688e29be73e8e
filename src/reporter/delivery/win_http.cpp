#include "reporter/delivery/win_http.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "reporter/delivery/http_options.h"
#include "reporter/delivery/multipart.h"

namespace Reporter::Delivery {
namespace {

constexpr std::string_view kUserAgent = "Exvora/4.0";

// The address of a sender: the text from its "<" on, or the address put in "<" and ">".
std::string AddressPart(const std::string& mailFrom) {
  const auto open = mailFrom.find('<');
  if (open != std::string::npos) return mailFrom.substr(open);
  return "<" + mailFrom + ">";
}

// A port of 1 to 65535 in decimal; none for anything else.
std::optional<std::uint16_t> PortNumber(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  if (value == 0 || value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

}  // namespace

std::uint32_t ChooseAuthScheme(std::uint32_t offered) {
  for (const std::uint32_t scheme :
       {Platform::kHttpAuthNegotiate, Platform::kHttpAuthNtlm, Platform::kHttpAuthPassport,
        Platform::kHttpAuthDigest, Platform::kHttpAuthBasic}) {
    if ((offered & scheme) != 0) return scheme;
  }
  return 0;
}

TWinHttp::TWinHttp(TWinHttpParams params)
    : FSsl(params.ssl),
      FPort(params.port),
      FIgnoreRedirect(params.ignoreRedirect),
      FBugTrackerUser(std::move(params.bugTrackerUser)),
      FBugTrackerPassword(std::move(params.bugTrackerPassword)),
      FHttpAuthUser(std::move(params.httpAuthUser)),
      FHttpAuthPassword(std::move(params.httpAuthPassword)),
      FProxyUser(std::move(params.proxyUser)),
      FProxyPassword(std::move(params.proxyPassword)),
      FPA(params.pa),
      FSettings(params.settings),
      FConnectTimeoutMs(params.connectTimeoutMs),
      FReceiveTimeoutMs(params.receiveTimeoutMs),
      FDeadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(params.timeLimitMs)),
      FMaxReplyBytes(params.maxReplyBytes),
      FSessionFactory(std::move(params.sessionFactory)) {
  std::string rest = params.url;
  if (const auto scheme = rest.find("://"); scheme != std::string::npos) {
    rest.erase(0, scheme + 3);
  }
  const auto slash = rest.find('/');
  FServer = rest.substr(0, slash);
  if (slash != std::string::npos) FUrl = rest.substr(slash);
  // A port after the host (after the brackets of an IPv6 address); an empty one is none.
  const auto bracket = FServer.rfind(']');
  const auto colon = FServer.find(':', bracket == std::string::npos ? 0 : bracket);
  if (colon != std::string::npos) {
    const std::string portText = FServer.substr(colon + 1);
    FServer.erase(colon);
    if (const auto port = PortNumber(portText)) {
      FPort = *port;
    } else if (!portText.empty()) {
      FUrlError = "the server address has no valid port";
    }
  }
  if (FServer.empty() && FUrlError.empty()) {
    FUrlError = "the server address names no host";
  }
  if (FPA == nullptr) {
    FOwnProgress.AddArea("", 1000);
    FPA = &FOwnProgress;
  }
  FProxyInfo.proxy = std::move(params.proxyServer);
  FProxyInfo.bypass = std::move(params.proxyBypass);
  if (!FSessionFactory) FSessionFactory = [] { return Platform::CreateHttpSession(); };
}

TWinHttp::~TWinHttp() {
  FSession.reset();
  if (FPA != nullptr) FPA->Close();
}

std::string TWinHttp::SettingText(Settings::TKey<std::string> key) const {
  return FSettings != nullptr ? FSettings->Get(key) : std::string();
}

void TWinHttp::SetLastErrorNo(const Platform::HttpError& error) {
  FLastErrorNo = error.number;
  FLastErrorStr = error.number == 0 ? std::string() : error.text;
  SetLastHttpError({FLastErrorNo, FLastErrorStr});
}

void TWinHttp::SetLastErrorStr(const std::string& text) {
  FLastErrorNo = text.empty() ? 0 : static_cast<std::uint32_t>(-1);
  FLastErrorStr = text;
  SetLastHttpError({FLastErrorNo, FLastErrorStr});
}

void TWinHttp::SetProgress(int perMille) {
  FPA->SetPosition(perMille);
}

bool TWinHttp::WithinTimeLimit() {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        FDeadline - std::chrono::steady_clock::now())
                        .count();
  if (left <= 0) {
    SetLastErrorNo({Platform::kHttpErrorTimeout, "the upload ran out of time"});
    return false;
  }
  if (FSession) FSession->SetTimeLimit(static_cast<std::uint32_t>(left));
  return true;
}

bool TWinHttp::Connect() {
  if (FConnected) return true;
  if (!FUrlError.empty()) {
    SetLastErrorStr(FUrlError);
    return false;
  }
  if (!WithinTimeLimit()) return false;
  if (!FSession) FSession = FSessionFactory();
  if (!FSession) {
    SetLastErrorStr("the system's HTTP library is not available");
    return false;
  }
  Platform::HttpConnectOptions options;
  options.server = FServer;
  options.port = FPort;
  options.secure = FSsl;
  options.checkCertificates = CheckCertificates();
  options.userAgent = std::string(kUserAgent);
  options.connectTimeoutMs = FConnectTimeoutMs;
  options.receiveTimeoutMs = FReceiveTimeoutMs;
  options.maxReplyBytes = FMaxReplyBytes;
  if (!FSession->Connect(options)) {
    SetLastErrorNo(FSession->LastError());
    return false;
  }
  FConnected = true;
  return true;
}

bool TWinHttp::OpenRequest(const std::string& urlPath, const std::string& verb) {
  if (!Connect()) return false;
  FRequestOpen = false;
  if (!FSession->OpenRequest(verb, urlPath)) {
    SetLastErrorNo(FSession->LastError());
    return false;
  }
  FRequestOpen = true;
  // Without its proxy or its logon the request is refused when it is sent, and that failure
  // is the one reported.
  if (!FProxyInfo.proxy.empty()) (void)FSession->SetProxy(FProxyInfo);
  if (FServerAuthScheme != 0) {
    (void)FSession->SetCredentials(Platform::HttpAuthTarget::Server, FServerAuthScheme,
                                   FHttpAuthUser, FHttpAuthPassword);
  }
  return true;
}

bool TWinHttp::AddHeaderData(const std::string& line) {
  if (!FRequestOpen) return false;
  if (!FSession->AddHeader(line)) {
    SetLastErrorNo(FSession->LastError());
    return false;
  }
  return true;
}

bool TWinHttp::AutoConfigProxy() {
  if (!WithinTimeLimit()) return false;
  const std::string url = std::string(FSsl ? "https://" : "http://") + FServer + FUrl;
  const auto found = FSession->DiscoverProxy(url);
  if (!found || found->proxy.empty()) return false;
  FProxyInfo = *found;
  // Also taken by every request opened from now on, which then fails if it must.
  (void)FSession->SetProxy(FProxyInfo);
  return true;
}

bool TWinHttp::SendRequest(std::string_view sendData, std::uint64_t sizeOfAttachments) {
  if (!FRequestOpen) return false;
  FRetrySend = false;
  if (FProxyAuthScheme != 0) {
    FRetrySend = FSession->SetCredentials(Platform::HttpAuthTarget::Proxy, FProxyAuthScheme,
                                          FProxyUser, FProxyPassword);
  }
  const std::uint64_t total = sendData.size() + sizeOfAttachments;
  if (!WithinTimeLimit()) return false;
  bool sent = FSession->SendRequest(total);
  if (!sent) {
    const Platform::HttpError error = FSession->LastError();
    // A refused certificate is no reason to look for a proxy.
    if (error.number != Platform::kHttpErrorSecureFailure && !FProxyDone &&
        FProxyInfo.proxy.empty()) {
      FProxyDone = true;
      if (AutoConfigProxy() && WithinTimeLimit()) sent = FSession->SendRequest(total);
    }
    if (!sent) {
      SetLastErrorNo(FSession->LastError());
      return false;
    }
  }
  return sendData.empty() || SendData(sendData);
}

bool TWinHttp::SendData(std::string_view data) {
  if (!WithinTimeLimit()) return false;
  if (!FSession->WriteData(data.data(), data.size())) {
    SetLastErrorNo(FSession->LastError());
    return false;
  }
  return true;
}

bool TWinHttp::ReceiveResponse(std::string& reply) {
  reply.clear();
  if (!WithinTimeLimit()) return false;
  if (!FSession->ReceiveResponse()) {
    const Platform::HttpError error = FSession->LastError();
    FRetrySend = FServerAuthScheme == 0 && FProxyAuthScheme == 0 &&
                 error.number == Platform::kHttpErrorResendRequest;
    SetLastErrorNo(error);
    return false;
  }
  const std::uint32_t status = FSession->StatusCode();
  switch (status) {
    case 200:
      FAuthAccepted = FAuthRequested;
      break;
    case 301:
    case 302:
    case 303: {
      const std::string target = FSession->Header("Location").value_or("");
      SetLastRedirectTarget(target);
      if (!FIgnoreRedirect && !target.empty()) OpenRedirectTarget(target);
      FAuthAccepted = FAuthRequested;
      break;
    }
    case 401:
      if (FAuthRequested) {
        FAuthAccepted = false;
      } else {
        FAuthRequested = true;
      }
      if (!FServerAuthDone && !FHttpAuthUser.empty()) {
        FServerAuthDone = true;
        FServerAuthScheme =
            ChooseAuthScheme(FSession->OfferedAuthSchemes(Platform::HttpAuthTarget::Server));
        if (FServerAuthScheme != 0) {
          FRetrySend = FSession->SetCredentials(Platform::HttpAuthTarget::Server, FServerAuthScheme,
                                                FHttpAuthUser, FHttpAuthPassword);
        }
      }
      SetLastErrorStr("HTTP status 401");
      return false;
    case 407:
      if (!FProxyAuthDone && !FProxyUser.empty()) {
        FProxyAuthDone = true;
        FProxyAuthScheme =
            ChooseAuthScheme(FSession->OfferedAuthSchemes(Platform::HttpAuthTarget::Proxy));
        FRetrySend = FProxyAuthScheme != 0;
      }
      SetLastErrorStr("HTTP status 407");
      return false;
    default:
      SetLastErrorStr("HTTP status " + std::to_string(status));
      return false;
  }
  // Entities stay: the tracker's elements are found first and their values decoded then.
  if (ReadBody(reply)) return true;
  reply.clear();
  return false;
}

bool TWinHttp::ReadBody(std::string& body) {
  for (;;) {
    if (!WithinTimeLimit()) return false;
    std::size_t available = 0;
    if (!FSession->QueryDataAvailable(available)) {
      SetLastErrorNo(FSession->LastError());
      return false;
    }
    if (available == 0) return true;
    // One byte past the bound is enough to know the reply is too long.
    const std::size_t wanted = std::min(available, FMaxReplyBytes + 1 - body.size());
    const std::size_t start = body.size();
    body.resize(start + wanted);
    std::size_t read = 0;
    if (!FSession->ReadData(body.data() + start, wanted, read)) {
      body.resize(start);
      SetLastErrorNo(FSession->LastError());
      return false;
    }
    body.resize(start + std::min(read, wanted));
    if (body.size() > FMaxReplyBytes) {
      body.clear();
      SetLastErrorStr("the server's reply is longer than " + std::to_string(FMaxReplyBytes) +
                      " bytes");
      return false;
    }
    if (read == 0) return true;
  }
}

std::string TWinHttp::Get(const std::string& urlPath) {
  if (!OpenRequest(urlPath, "GET")) return {};
  std::string reply;
  for (int sends = 0; sends < kMaxSends; ++sends) {
    if (!SendRequest({}, 0)) break;
    if (ReceiveResponse(reply)) return reply;
    if (!FRetrySend) break;
  }
  return {};
}

bool TWinHttp::SendFile(TAttachmentFile& file, bool base64) {
  if (!file.Valid()) return false;
  std::ifstream& stream = *file.stream;
  stream.clear();
  stream.seekg(0);
  const std::size_t block = base64 ? kFileBlockBase64 : kFileBlock;
  std::string buffer(block, '\0');
  std::uint64_t sent = 0;
  while (sent < file.size) {
    const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(block, file.size - sent));
    stream.read(buffer.data(), static_cast<std::streamsize>(size));
    if (!stream || static_cast<std::size_t>(stream.gcount()) != size) {
      SetLastErrorStr("an attachment could not be read");
      return false;
    }
    const std::string_view data(buffer.data(), size);
    const std::string encoded = base64 ? Base64(data) : std::string();
    if (!SendData(base64 ? std::string_view(encoded) : data)) return false;
    sent += size;
    SetProgress(static_cast<int>(sent * 1000 / file.size));
  }
  return true;
}

bool TWinHttp::InternalPost(const std::string& urlPath, const std::string& mailFrom,
                            std::vector<TAttachmentFile>& files,
                            const std::vector<std::string>& sendAs,
                            const std::vector<std::string>& fileFields,
                            Settings::IFieldList& fields, std::string& reply) {
  reply.clear();
  const bool always = AlwaysUtf8();
  std::string fieldBlock;
  fields.Lock();
  for (int i = 0; i < fields.GetItemCount(); ++i) {
    const std::string name = fields.GetItem(i);
    fieldBlock += FieldPart(name, fields.GetContent(name), always);
  }
  fields.Unlock();

  std::vector<std::string> heads(files.size());
  const std::string closing = ClosingDelimiter();
  std::uint64_t attachmentSize = closing.size();
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!files[i].Valid()) continue;
    heads[i] = FileHead(i < fileFields.size() ? fileFields[i] : std::string(),
                        i < sendAs.size() ? sendAs[i] : std::string(), always);
    attachmentSize += heads[i].size() + files[i].size;
  }

  if (!OpenRequest(urlPath, "POST")) return false;
  if (!AddHeaderData("Content-Type: multipart/form-data; boundary=" +
                     std::string(kMultipartBoundary))) {
    return false;
  }
  if (!mailFrom.empty() && !AddHeaderData("From: " + AddressPart(mailFrom))) return false;

  const int area = FPA->GetCurrentArea();
  const int position = FPA->GetPosition();
  for (int sends = 0; sends < kMaxSends; ++sends) {
    // A request sent again starts its progress where the first one began.
    FPA->SetCurrentArea(area);
    FPA->SetPosition(position);
    bool ok = SendRequest(fieldBlock, attachmentSize);
    for (std::size_t i = 0; ok && i < files.size(); ++i) {
      if (!files[i].Valid()) continue;
      ok = SendData(heads[i]) && SendFile(files[i], false);
      if (ok) FPA->AreaDone();
    }
    if (ok) ok = SendData(closing);
    if (!ok) return false;
    if (ReceiveResponse(reply)) return true;
    if (!FRetrySend) return false;
  }
  return false;
}

}  // namespace Reporter::Delivery
