#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/http_session.h"
#include "reporter/settings/field_list.h"
#include "reporter/settings/reporter_settings.h"
#include "reporter/ui/progress_alert.h"

// The crash reporter's HTTP client: GET and multipart/form-data POST requests to one server,
// server and proxy challenges, a proxy found on its own, progress and the last error; and the
// bug tracker dialogue on top of it. One object serves one delivery on one thread.
namespace Reporter::Delivery {

using THttpSessionFactory = std::function<std::unique_ptr<Platform::HttpSession>()>;

// An attachment opened for sending: invalid when it could not be opened.
struct TAttachmentFile {
  std::unique_ptr<std::ifstream> stream;
  std::uint64_t size = 0;
  bool Valid() const { return stream != nullptr; }
};

// Time one delivery may take in all, when the settings name no other.
inline constexpr std::uint32_t kDefaultUploadTimeLimitMs = 120000;
// Nothing the tracker says needs more; a longer reply is a failure.
inline constexpr std::size_t kMaxReplyBytes = 1 << 20;

struct TWinHttpParams {
  // "scheme://host[:port]/path"; a port written here wins over `port`.
  std::string url;
  bool ssl = false;
  std::uint16_t port = 0;
  bool ignoreRedirect = false;
  std::string httpAuthUser, httpAuthPassword;
  std::string bugTrackerUser, bugTrackerPassword;
  std::string proxyServer, proxyBypass, proxyUser, proxyPassword;
  Settings::IReporterSettings* settings = nullptr;  // texts of the progress areas
  UI::IProgressAlert* pa = nullptr;                 // none: a hidden one of its own
  // The defaults of the system's own HTTP library.
  std::uint32_t connectTimeoutMs = 60000;
  std::uint32_t receiveTimeoutMs = 30000;
  // Every request of the object ends this long after it was made, finished or not.
  std::uint32_t timeLimitMs = kDefaultUploadTimeLimitMs;
  // A longer reply is a failure.
  std::size_t maxReplyBytes = kMaxReplyBytes;
  THttpSessionFactory sessionFactory;  // none: the platform's
};

class TWinHttp {
 public:
  // A request is sent at most this often (challenge rounds and resends included).
  static constexpr int kMaxSends = 5;
  static constexpr std::size_t kFileBlock = 2048;
  static constexpr std::size_t kFileBlockBase64 = 1536;

  explicit TWinHttp(TWinHttpParams params);
  ~TWinHttp();
  TWinHttp(const TWinHttp&) = delete;
  TWinHttp& operator=(const TWinHttp&) = delete;

  const std::string& Server() const { return FServer; }
  const std::string& Url() const { return FUrl; }
  std::uint16_t Port() const { return FPort; }

  bool Connect();
  bool OpenRequest(const std::string& urlPath, const std::string& verb);
  bool AddHeaderData(const std::string& line);
  bool SendRequest(std::string_view sendData, std::uint64_t sizeOfAttachments);
  bool AutoConfigProxy();
  bool SendData(std::string_view data);
  bool ReceiveResponse(std::string& reply);
  bool SendFile(TAttachmentFile& file, bool base64);
  // The body of the answer; "" on failure.
  std::string Get(const std::string& urlPath);
  bool InternalPost(const std::string& urlPath, const std::string& mailFrom,
                    std::vector<TAttachmentFile>& files, const std::vector<std::string>& sendAs,
                    const std::vector<std::string>& fileFields, Settings::IFieldList& fields,
                    std::string& reply);

  void SetLastErrorNo(const Platform::HttpError& error);
  void SetLastErrorStr(const std::string& text);
  void SetProgress(int perMille);
  std::uint32_t LastErrorNo() const { return FLastErrorNo; }
  const std::string& LastErrorStr() const { return FLastErrorStr; }

  // Opens every file that exists, adding the progress areas; false when files were asked for
  // and none could be opened.
  bool OpenAttachments(const std::vector<std::string>& files, bool mail,
                       std::vector<TAttachmentFile>& opened, int& openedCount);

  // The bug tracker dialogue.
  bool InitFogBugz();
  bool FogBugzCall(const std::string& command, std::string& reply,
                   const std::vector<std::string>& names, const std::vector<std::string>& values);
  bool UploadBugToFogBugz(const std::string& title, const std::string& description,
                          std::string project, std::string area, std::string assignTo,
                          const std::string& version, const std::string& computer,
                          const std::string& email, const std::string& crc,
                          Settings::IFieldList& fields, const std::vector<std::string>& attachFiles,
                          const std::vector<std::string>& attachSendAs,
                          const std::vector<std::string>& attachFields);

  // A case-insensitive match takes the list's spelling.
  static bool CheckListValue(std::string& value, const std::vector<std::string>& list);
  // value1 must match an entry of list1 whose parallel entry in list2 matches value2.
  static bool CheckDoubleListValue(std::string& value1, const std::vector<std::string>& list1,
                                   const std::string& value2,
                                   const std::vector<std::string>& list2);

  const std::vector<std::string>& Projects() const { return FProjects; }
  const std::vector<std::string>& Areas() const { return FAreas; }
  const std::vector<std::string>& Categories() const { return FCategories; }
  const std::string& Version() const { return FVersion; }

 private:
  // The key's text; empty without settings.
  std::string SettingText(Settings::TKey<std::string> key) const;
  // False, with the error recorded, once the time limit has passed; else the session's next
  // waits get what is left of it.
  bool WithinTimeLimit();
  // Appends the body of the answer; false when it cannot be read whole within the bounds.
  bool ReadBody(std::string& body);
  void ChooseScheme(Platform::HttpAuthTarget target, std::uint32_t& scheme);

  std::string FServer;
  std::string FUrl;
  std::string FUrlError;  // why the URL cannot be used; "" when it can
  bool FSsl = false;
  std::uint16_t FPort = 0;
  bool FIgnoreRedirect = false;
  std::string FBugTrackerUser, FBugTrackerPassword;
  std::string FHttpAuthUser, FHttpAuthPassword;
  std::string FProxyUser, FProxyPassword;
  std::unique_ptr<Platform::HttpSession> FSession;
  bool FConnected = false;
  bool FRequestOpen = false;
  std::uint32_t FLastErrorNo = 0;
  std::string FLastErrorStr;
  bool FProxyDone = false;
  Platform::HttpProxy FProxyInfo;
  UI::TIProgressAlert FOwnProgress{"", Platform::ModuleHandle{}, ""};
  UI::IProgressAlert* FPA = nullptr;
  Settings::IReporterSettings* FSettings = nullptr;
  bool FRetrySend = false;
  bool FServerAuthDone = false;
  std::uint32_t FServerAuthScheme = 0;
  bool FProxyAuthDone = false;
  std::uint32_t FProxyAuthScheme = 0;
  std::string FScript;
  bool FServerOk = false;
  bool FLogonOk = false;
  bool FInitDone = false;
  std::string FVersion;
  std::vector<std::string> FProjects, FAreas, FAreaProjects, FCategories, FPriorities, FUsers;
  bool FAuthRequested = false;
  bool FAuthAccepted = false;
  std::uint32_t FConnectTimeoutMs = 0;
  std::uint32_t FReceiveTimeoutMs = 0;
  std::chrono::steady_clock::time_point FDeadline;
  std::size_t FMaxReplyBytes = kMaxReplyBytes;
  THttpSessionFactory FSessionFactory;
};

// The scheme answered first when several are offered: Negotiate, NTLM, Passport, Digest,
// Basic; 0 when none of them is.
std::uint32_t ChooseAuthScheme(std::uint32_t offered);

// Every byte other than ASCII letters and digits as "%" and two upper-case hex digits.
std::string PercentEncode(std::string_view utf8);

}  // namespace Reporter::Delivery
