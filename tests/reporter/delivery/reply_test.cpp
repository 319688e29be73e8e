// What the client makes of a server's answers and address, against a scripted connection.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reporter/delivery/http_options.h"
#include "reporter/delivery/win_http.h"
#include "scripted_session.h"

namespace Reporter::Delivery {
namespace {

using Testing::ScriptedParams;
using Testing::TScriptedState;

struct TRedirectCase {
  const char* name;
  const char* target;
  bool opened;
};
void PrintTo(const TRedirectCase& redirect, std::ostream* out) {
  *out << redirect.name;
}

class Redirect : public testing::TestWithParam<TRedirectCase> {
 protected:
  void SetUp() override {
    SetRedirectOpener([this](const std::string& target) {
      opened_.push_back(target);
      return true;
    });
  }
  void TearDown() override { SetRedirectOpener({}); }
  std::vector<std::string> opened_;
};

TEST_P(Redirect, OpensOnlyWebAddresses) {
  TScriptedState state;
  state.statuses = {302};
  state.location = GetParam().target;
  TWinHttp client(ScriptedParams(state));
  client.Get("/fb/api.xml");
  EXPECT_EQ(LastRedirectTarget(), GetParam().target);
  EXPECT_EQ(opened_, GetParam().opened ? std::vector<std::string>{GetParam().target}
                                       : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Targets, Redirect,
    testing::Values(TRedirectCase{"Https", "https://tracker.example.com/moved?to=1", true},
                    TRedirectCase{"HttpInCapitals", "HTTP://tracker.example.com", true},
                    TRedirectCase{"FileUrl", "file:///etc/passwd", false},
                    TRedirectCase{"LocalPath", "/usr/bin/xterm", false},
                    TRedirectCase{"WindowsProgram", "C:\\Windows\\System32\\calc.exe", false},
                    TRedirectCase{"UncPath", "\\\\attacker.example.com\\share\\run.exe", false},
                    TRedirectCase{"UncBehindScheme", "https:\\\\attacker.example.com\\share",
                                  false},
                    TRedirectCase{"NoHost", "https:///etc/passwd", false},
                    TRedirectCase{"NoSlashes", "http:calc.exe", false},
                    TRedirectCase{"Script", "javascript:alert(1)", false},
                    TRedirectCase{"Blank", "https://example.com/a b.exe", false},
                    TRedirectCase{"LineBreak", "https://example.com/\r\nx", false}),
    [](const testing::TestParamInfo<TRedirectCase>& info) { return info.param.name; });

// Tags are found in the reply as it came; a value's entities are decoded once, afterwards.
TEST(TrackerValues, EscapedTagInsideAValueStaysText) {
  TScriptedState state;
  state.body = [](const std::string& path) -> std::string {
    if (path == "/fb/api.xml") {
      return "<response><minversion>1</minversion><url>api.asp?</url></response>";
    }
    if (path.find("cmd=logon") != std::string::npos) return "<response><token>t</token></response>";
    if (path.find("cmd=listProjects") != std::string::npos) {
      return "<response><projects>"
             "<project><sProject>Tally &lt;/sProject&gt; &amp;amp; Co</sProject></project>"
             "<project><sProject><![CDATA[R&amp;D]]></sProject></project>"
             "</projects></response>";
    }
    return "<response></response>";
  };
  TWinHttp client(ScriptedParams(state));
  client.InitFogBugz();
  EXPECT_EQ(client.Projects(), (std::vector<std::string>{"Tally </sProject> &amp; Co", "R&amp;D"}));
}

TEST(ServerAddress, PortInTheUrlWinsAndABadOneIsRefusedBeforeAnyRequest) {
  TScriptedState state;
  auto params = ScriptedParams(state, "https://tracker.example.com:8443/fb");
  params.port = 443;
  TWinHttp client(std::move(params));
  EXPECT_EQ(client.Server(), "tracker.example.com");
  EXPECT_EQ(client.Port(), 8443);
  EXPECT_EQ(client.Url(), "/fb");

  for (const char* url : {"https://tracker.example.com:99999/fb", "https://tracker.example.com:44x",
                          "https://:443/fb"}) {
    TWinHttp bad(ScriptedParams(state, url));
    EXPECT_EQ(bad.Get("/fb/api.xml"), "") << url;
    EXPECT_NE(bad.LastErrorStr().find("server address"), std::string::npos) << url;
  }
  EXPECT_EQ(state.sends, 0);
}

}  // namespace
}  // namespace Reporter::Delivery
