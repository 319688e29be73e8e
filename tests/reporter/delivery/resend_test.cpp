// The client's rounds against a scripted connection: how often a request goes out.
#include <gtest/gtest.h>

#include <deque>

#include "reporter/delivery/win_http.h"
#include "reporter/settings/field_list.h"

namespace Reporter::Delivery {
namespace {

// Answers every request with the next scripted status (the last one repeats) and counts
// what was sent.
class TScriptedSession : public Platform::HttpSession {
 public:
  struct TState {
    std::deque<std::uint32_t> statuses;
    std::uint32_t offered = 0;
    int sends = 0;
    std::uint64_t announced = 0;
    std::uint64_t written = 0;
    std::vector<std::uint32_t> serverSchemes;
  };
  explicit TScriptedSession(TState& state) : state_(state) {}

  bool Connect(const Platform::HttpConnectOptions&) override { return true; }
  bool OpenRequest(const std::string&, const std::string&) override { return true; }
  bool AddHeader(const std::string&) override { return true; }
  bool SetProxy(const Platform::HttpProxy&) override { return true; }
  bool SetCredentials(Platform::HttpAuthTarget target, std::uint32_t scheme, const std::string&,
                      const std::string&) override {
    if (target == Platform::HttpAuthTarget::Server) state_.serverSchemes.push_back(scheme);
    return true;
  }
  bool SendRequest(std::uint64_t total) override {
    ++state_.sends;
    state_.announced = total;
    state_.written = 0;
    return true;
  }
  bool WriteData(const void*, std::size_t size) override {
    state_.written += size;
    return true;
  }
  bool ReceiveResponse() override {
    status_ = state_.statuses.front();
    if (state_.statuses.size() > 1) state_.statuses.pop_front();
    return true;
  }
  std::uint32_t StatusCode() override { return status_; }
  std::optional<std::string> Header(const std::string&) override { return std::nullopt; }
  std::uint32_t OfferedAuthSchemes(Platform::HttpAuthTarget) override { return state_.offered; }
  bool QueryDataAvailable(std::size_t& size) override {
    size = 0;
    return true;
  }
  bool ReadData(void*, std::size_t, std::size_t& read) override {
    read = 0;
    return true;
  }
  std::optional<Platform::HttpProxy> DiscoverProxy(const std::string&) override {
    return std::nullopt;
  }
  Platform::HttpError LastError() override { return {}; }

 private:
  TState& state_;
  std::uint32_t status_ = 0;
};

TWinHttpParams Params(TScriptedSession::TState& state) {
  TWinHttpParams params;
  params.url = "https://tracker.example.com/fb";
  params.sessionFactory = [&state] { return std::make_unique<TScriptedSession>(state); };
  return params;
}

TEST(Resend, ProxyThatAlwaysChallengesGetsAtMostFiveSends) {
  TScriptedSession::TState state;
  state.statuses = {407};
  state.offered = Platform::kHttpAuthBasic;
  auto params = Params(state);
  params.proxyUser = "proxy";
  TWinHttp client(std::move(params));
  EXPECT_EQ(client.Get("/x"), "");
  EXPECT_EQ(state.sends, TWinHttp::kMaxSends);

  Settings::TFieldList fields;
  fields.AcceptData();
  fields.SetContent("cmd", "new");
  std::vector<TAttachmentFile> files;
  std::string reply;
  state.sends = 0;
  EXPECT_FALSE(client.InternalPost("/x", {}, files, {}, {}, fields, reply));
  EXPECT_EQ(state.sends, TWinHttp::kMaxSends);
  // Every send wrote exactly what it announced.
  EXPECT_EQ(state.written, state.announced);
}

TEST(Resend, ServerChallengeIsAnsweredOnceWithTheStrongestScheme) {
  TScriptedSession::TState state;
  state.statuses = {401, 401, 200};
  state.offered = Platform::kHttpAuthNtlm | Platform::kHttpAuthNegotiate;
  auto params = Params(state);
  params.httpAuthUser = "web";
  TWinHttp client(std::move(params));
  EXPECT_EQ(client.Get("/x"), "");
  EXPECT_EQ(state.sends, 2) << "the second 401 is not answered again";
  ASSERT_FALSE(state.serverSchemes.empty());
  EXPECT_EQ(state.serverSchemes.front(), Platform::kHttpAuthNegotiate);
}

TEST(Resend, ChallengeWithoutCredentialsIsNotResent) {
  TScriptedSession::TState state;
  state.statuses = {401};
  state.offered = Platform::kHttpAuthBasic;
  TWinHttp client(Params(state));
  EXPECT_EQ(client.Get("/x"), "");
  EXPECT_EQ(state.sends, 1);
  EXPECT_EQ(client.LastErrorStr(), "HTTP status 401");
}

}  // namespace
}  // namespace Reporter::Delivery
