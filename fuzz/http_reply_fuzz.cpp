// libFuzzer target: whatever a server answers (status, redirect target, body of any length),
// the HTTP client and the tracker dialogue on top of it must neither crash, hang nor read
// outside the reply; a reply past the bound must never be taken, and only a web address may
// reach the opener of redirect targets. The input scripts the answers one request after the
// other. Built and run by scripts/fuzz.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/http_session.h"
#include "reporter/delivery/http_options.h"
#include "reporter/delivery/win_http.h"
#include "reporter/settings/field_list.h"

namespace {

using Reporter::Delivery::TWinHttp;

// The client's bound on a reply, small here so that bodies reach it cheaply.
constexpr std::size_t kReplyBound = 2048;

// The fuzzer's bytes, taken from the front; zeros once they are used up.
class TInput {
 public:
  TInput(const std::uint8_t* data, std::size_t size)
      : bytes_(reinterpret_cast<const char*>(data), size) {}
  std::uint8_t Byte() {
    if (bytes_.empty()) return 0;
    const auto value = static_cast<std::uint8_t>(bytes_.front());
    bytes_.remove_prefix(1);
    return value;
  }
  std::string_view Take(std::size_t size) {
    const std::string_view piece = bytes_.substr(0, size);
    bytes_.remove_prefix(piece.size());
    return piece;
  }

 private:
  std::string_view bytes_;
};

// Every request is scripted by the input: whether it goes out, then the answer's status,
// Location header and body (and, for a challenge, the offered schemes).
class TFuzzSession final : public Platform::HttpSession {
 public:
  explicit TFuzzSession(TInput& input) : input_(input) {}

  bool Connect(const Platform::HttpConnectOptions&) override { return true; }
  bool OpenRequest(const std::string&, const std::string&) override { return true; }
  void SetTimeLimit(std::uint32_t) override {}
  bool AddHeader(const std::string&) override { return true; }
  bool SetProxy(const Platform::HttpProxy&) override { return true; }
  bool SetCredentials(Platform::HttpAuthTarget, std::uint32_t, const std::string&,
                      const std::string&) override {
    return true;
  }
  bool SendRequest(std::uint64_t) override { return input_.Byte() != 0xEE; }
  bool WriteData(const void*, std::size_t) override { return true; }
  bool ReceiveResponse() override {
    static constexpr std::uint32_t kStatuses[] = {200, 200, 200, 200, 301, 302,
                                                  303, 401, 407, 404, 500, 0};
    status_ = kStatuses[input_.Byte() % std::size(kStatuses)];
    location_ = std::string(input_.Take(input_.Byte() % 48));
    const std::size_t length = input_.Byte() | (std::size_t{input_.Byte()} << 8);
    body_ = std::string(input_.Take(length));
    // Now and then a body just short of the bound, right at it or just past it.
    if (input_.Byte() == 0xFF) body_.resize(kReplyBound - 1 + input_.Byte() % 3, ' ');
    read_ = 0;
    return status_ != 0;
  }
  std::uint32_t StatusCode() override { return status_; }
  std::optional<std::string> Header(const std::string& name) override {
    if (name != "Location" || location_.empty()) return std::nullopt;
    return location_;
  }
  std::uint32_t OfferedAuthSchemes(Platform::HttpAuthTarget) override { return input_.Byte(); }
  // Pieces of varying size, the way a network hands them over.
  bool QueryDataAvailable(std::size_t& size) override {
    size = std::min<std::size_t>(body_.size() - read_, 1 + (body_.size() + read_) % 1500);
    return true;
  }
  bool ReadData(void* buffer, std::size_t size, std::size_t& read) override {
    read = std::min(size, body_.size() - read_);
    std::memcpy(buffer, body_.data() + read_, read);
    read_ += read;
    return true;
  }
  std::optional<Platform::HttpProxy> DiscoverProxy(const std::string&) override {
    return std::nullopt;
  }
  Platform::HttpError LastError() override {
    return {Platform::kHttpErrorResendRequest, "scripted"};
  }

 private:
  TInput& input_;
  std::uint32_t status_ = 0;
  std::string location_;
  std::string body_;
  std::size_t read_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TInput input(data, size);
  Reporter::Delivery::SetRedirectOpener([](const std::string& target) {
    if (!Reporter::Delivery::IsWebAddress(target)) __builtin_trap();
    return true;
  });
  Reporter::Delivery::TWinHttpParams params;
  params.url = "https://tracker.example.com:8443/fb";
  params.httpAuthUser = "web";
  params.proxyUser = "proxy";
  params.bugTrackerUser = "reports@example.com";
  params.maxReplyBytes = kReplyBound;
  params.sessionFactory = [&input] { return std::make_unique<TFuzzSession>(input); };
  TWinHttp client(std::move(params));

  Reporter::Settings::TFieldList fields;
  fields.AcceptData();
  client.UploadBugToFogBugz("title", "description", "QuillTally", "QuillTally", "Ada Admin", "4.2",
                            "BUILD-PC", "", "$1a2b3c4d", fields, {}, {}, {});
  for (const auto* list : {&client.Projects(), &client.Areas(), &client.Categories()}) {
    for (const std::string& value : *list) {
      if (value.size() > kReplyBound) __builtin_trap();
    }
  }
  // Whatever follows the dialogue is answered by the rest of the input.
  const std::string reply = client.Get("/fb/api.xml");
  if (reply.size() > kReplyBound) __builtin_trap();
  return 0;
}
