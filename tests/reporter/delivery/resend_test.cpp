// The client's rounds against a scripted connection: how often a request goes out.
#include <gtest/gtest.h>

#include "reporter/delivery/win_http.h"
#include "reporter/settings/field_list.h"
#include "scripted_session.h"

namespace Reporter::Delivery {
namespace {

using Testing::ScriptedParams;
using Testing::TScriptedState;

TEST(Resend, ProxyThatAlwaysChallengesGetsAtMostFiveSends) {
  TScriptedState state;
  state.statuses = {407};
  state.offered = Platform::kHttpAuthBasic;
  auto params = ScriptedParams(state);
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
  TScriptedState state;
  state.statuses = {401, 401, 200};
  state.offered = Platform::kHttpAuthNtlm | Platform::kHttpAuthNegotiate;
  auto params = ScriptedParams(state);
  params.httpAuthUser = "web";
  TWinHttp client(std::move(params));
  EXPECT_EQ(client.Get("/x"), "");
  EXPECT_EQ(state.sends, 2) << "the second 401 is not answered again";
  ASSERT_FALSE(state.serverSchemes.empty());
  EXPECT_EQ(state.serverSchemes.front(), Platform::kHttpAuthNegotiate);
}

TEST(Resend, ChallengeWithoutCredentialsIsNotResent) {
  TScriptedState state;
  state.statuses = {401};
  state.offered = Platform::kHttpAuthBasic;
  TWinHttp client(ScriptedParams(state));
  EXPECT_EQ(client.Get("/x"), "");
  EXPECT_EQ(state.sends, 1);
  EXPECT_EQ(client.LastErrorStr(), "HTTP status 401");
}

}  // namespace
}  // namespace Reporter::Delivery
