// A report uploaded to the test tracker over HTTPS, through the platform's HTTP library.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fake_tracker.h"
#include "platform/file_system.h"
#include "platform/http_session.h"
#include "reporter/delivery/deliver_bug_report.h"
#include "reporter/delivery/http_options.h"
#include "reporter/delivery/multipart.h"
#include "support/fake_settings.h"
#include "support/scoped_temp_dir.h"

namespace Reporter::Delivery {
namespace {

using Testing::TFakeTracker;
using Testing::TRecordedRequest;
using TestSupport::TFakeSettings;

const std::string kReport =
    "date/time         : 2026-12-09, 12:00:00\r\n"
    "computer name     : BUILD-PC\r\n"
    "version           : 4.2.0.7\r\n"
    "callstack crc     : $1a2b3c4d, $5e6f7a8b\r\n"
    "exception class   : EUpdateWork\r\n"
    "exception message : Lock file taken.\r\n"
    "\r\n"
    "error details:\r\nthe lock could not be taken\r\n\r\nmain thread:\r\n...";

// As the exception processing takes them from the reported exception: those of kReport.
const TReportValues kValues = {"EUpdateWork", "Lock file taken.", "4.2.0.7", "BUILD-PC",
                               "$1a2b3c4d, $5e6f7a8b"};

const std::vector<std::string> kWholeDialogue = {
    "api.xml",    "logon",  "listProjects", "listAreas", "listCategories", "listPriorities",
    "listPeople", "logoff", "logon",        "new",       "logoff"};

class Upload : public testing::Test {
 protected:
  Upload() {
    settings_ = std::make_shared<TFakeSettings>();
    auto& s = *settings_;
    s.Numbers = {{"FogBugz", 1},      {"HttpSsl", 1},          {"HttpPort", tracker_.Port()},
                 {"AttachBugRep", 1}, {"AttachBugRepFile", 1}, {"DelBugRepFile", 1},
                 {"HttpCheckCert", 0}};
    s.Texts = {{"HttpServer", "https://127.0.0.1/fb/"},
               {"BugTrAccount", "reports@example.com"},
               {"BugTrPassword", "p@ss word."},
               {"BugTrProject", "quilltally"},
               {"BugTrArea", "QuillTally"},
               {"BugTrTitle", "Update.exe, Lock file taken."},
               {"BugTrDescr", "Details zum Fehler:\r\nthe lock could not be taken"},
               {"MailSubj", "Fehlerbericht"},
               {"MailBody", "Als Anhang der Fehlerbericht"},
               {"BugRepSendAs", "bugreport.txt"},
               {"BugRepFile", "bugreport.txt"}};
    savedFile_ = tracker_.Folder().Join("bugreport.txt");
    SetRedirectOpener([this](const std::string& target) {
      opened_.push_back(target);
      return true;
    });
  }
  void SetUp() override {
    if (!Platform::CreateHttpSession()) GTEST_SKIP() << "this build has no HTTP library";
  }
  ~Upload() override {
    SetRedirectOpener({});
    SetCheckCertificates(true);
  }

  // Each delivery finds the saved report file in place, as the report's saving left it.
  TDeliveryRequest Request(std::string report = kReport) {
    TestSupport::WriteFile(savedFile_, kReportFile);
    TDeliveryRequest request;
    request.settings = settings_;
    request.bugReport = std::move(report);
    request.values = kValues;
    request.savedReportFile = savedFile_;
    request.dumpFile = dumpFile_;
    request.temporaryFolder = tracker_.Folder().Join("temp");
    request.markSent = [this] { ++markedSent_; };
    request.connectTimeoutMs = 10000;
    request.receiveTimeoutMs = 10000;
    return request;
  }
  bool Deliver(std::string report = kReport) {
    TDeliveryRequest request = Request(std::move(report));
    request.mayUseThread = false;
    return DeliverBugReport(std::move(request));
  }

  std::string CopyPath() const {
    return tracker_.Folder().Join("temp") + Separator() + "bugreport.txt";
  }
  std::string Separator() const {
    return tracker_.Folder().Join("x").substr(tracker_.Folder().Path().size(), 1);
  }
  TRecordedRequest NewCase() const {
    for (const auto& request : tracker_.Requests()) {
      if (request.Command() == "new") return request;
    }
    ADD_FAILURE() << "no new case was posted";
    return {};
  }

  // Bytes of every kind: line ends, a NUL, UTF-8, a lone high byte.
  const std::string kReportFile = std::string("report\r\nline 2\n\0\xC3\xBC\xFF end", 23);
  TFakeTracker tracker_;
  std::shared_ptr<TFakeSettings> settings_;
  std::string savedFile_;
  std::string dumpFile_;  // none unless a test writes one
  std::vector<std::string> opened_;
  int markedSent_ = 0;
};

TEST_F(Upload, SuccessfulUploadTalksToTheTrackerInThisOrder) {
  ASSERT_NE(tracker_.Port(), 0);
  EXPECT_TRUE(Deliver());
  EXPECT_EQ(tracker_.Commands(), kWholeDialogue);
  EXPECT_EQ(markedSent_, 1);
}

TEST_F(Upload, ParametersArePercentEncodedByteByByte) {
  ASSERT_TRUE(Deliver());
  const auto requests = tracker_.Requests();
  ASSERT_GE(requests.size(), 2u);
  EXPECT_EQ(requests[1].path,
            "/fb/api.asp?cmd=logon&email=reports%40example%2Ecom&password=p%40ss%20word%2E");
  EXPECT_EQ(requests[2].path, "/fb/api.asp?cmd=listProjects&fWrite=1&token=tok%2D1");
}

TEST_F(Upload, NewCaseCarriesItsFieldsInOrderWithoutEmptyOnesAndTheFileLast) {
  ASSERT_TRUE(Deliver());
  const TRecordedRequest post = NewCase();
  EXPECT_EQ(post.method, "POST");
  EXPECT_EQ(post.path, "/fb/api.asp");
  EXPECT_EQ(post.PartNames(),
            (std::vector<std::string>{"MailSubject", "MailBody", "cmd", "token", "sTitle", "sEvent",
                                      "sProject", "sArea", "sCategory", "sVersion", "sComputer",
                                      "sScoutDescription", "nFileCount", "File1"}));
  const auto text = [&](const char* name) {
    const auto* part = post.Part(name);
    return part != nullptr ? part->data : std::string("<missing>");
  };
  // The list's spelling wins over the configured one.
  EXPECT_EQ(text("sProject"), "QuillTally");
  EXPECT_EQ(text("sArea"), "QuillTally");
  EXPECT_EQ(text("sCategory"), "Bug");
  EXPECT_EQ(text("sVersion"), "4.2.0.7");
  EXPECT_EQ(text("sComputer"), "BUILD-PC");
  EXPECT_EQ(text("sScoutDescription"), "$1a2b3c4d, $5e6f7a8b");
  EXPECT_EQ(text("nFileCount"), "1");
  EXPECT_EQ(text("sEvent"), "Details zum Fehler:\r\nthe lock could not be taken");
  ASSERT_NE(post.Part("cmd"), nullptr);
  EXPECT_EQ(post.Part("cmd")->charset, "iso-8859-1");
  EXPECT_EQ(post.Part("cmd")->encoding, "8bit");
  EXPECT_TRUE(post.Header("From").empty());
}

TEST_F(Upload, CaseFieldsComeFromTheValuesEvenWhenTheTextLacksTheHeader) {
  ASSERT_TRUE(Deliver("error details:\r\nthe lock could not be taken\r\n"));
  const TRecordedRequest post = NewCase();
  for (const auto& [name, value] : {std::pair{"sVersion", kValues.version},
                                    {"sComputer", kValues.computerName},
                                    {"sScoutDescription", kValues.callstackCrc}}) {
    const auto* part = post.Part(name);
    EXPECT_EQ(part != nullptr ? part->data : "<missing>", value) << name;
  }
}

TEST_F(Upload, FileOneCarriesTheReportByteForByteAndOnlySuccessDeletesTheSavedFile) {
  ASSERT_TRUE(Deliver());
  const TRecordedRequest post = NewCase();
  const auto* file = post.Part("File1");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->fileName, "bugreport.txt");
  EXPECT_EQ(file->data, kReportFile);
  EXPECT_FALSE(Platform::FileExists(savedFile_));
  EXPECT_EQ(TestSupport::ReadFile(CopyPath()), kReportFile);
}

// The crash dump follows the report as the case's second file, and goes with it.
TEST_F(Upload, DumpIsTheSecondFileByteForByteAndDeletedWithTheSavedReport) {
  const std::string dump = std::string("MDMP\x93\xA7\0\0", 8) + std::string(70000, '\xFF');
  dumpFile_ = tracker_.Folder().Join("bugreport.dmp");
  TestSupport::WriteFile(dumpFile_, dump);
  ASSERT_TRUE(Deliver());
  const TRecordedRequest post = NewCase();
  EXPECT_EQ(post.Part("nFileCount") ? post.Part("nFileCount")->data : "", "2");
  ASSERT_NE(post.Part("File1"), nullptr);
  EXPECT_EQ(post.Part("File1")->data, kReportFile);
  const auto* file = post.Part("File2");
  ASSERT_NE(file, nullptr) << ::testing::PrintToString(post.PartNames());
  EXPECT_EQ(file->fileName, "bugreport.dmp");
  EXPECT_TRUE(file->data == dump) << "the dump differs from the one saved";
  EXPECT_FALSE(Platform::FileExists(savedFile_));
  EXPECT_FALSE(Platform::FileExists(dumpFile_));
}

TEST_F(Upload, FailedUploadKeepsTheSavedFile) {
  dumpFile_ = tracker_.Folder().Join("bugreport.dmp");
  TestSupport::WriteFile(dumpFile_, "MDMP");
  tracker_.Configure({"casemarker <nothing/>"});
  EXPECT_FALSE(Deliver());
  EXPECT_TRUE(Platform::FileExists(savedFile_));
  EXPECT_TRUE(Platform::FileExists(dumpFile_));
  EXPECT_EQ(markedSent_, 0);
  EXPECT_EQ(tracker_.Commands(), kWholeDialogue) << "logoff follows a failed post too";
  EXPECT_EQ(LastHttpError().text, "the tracker created no case");
}

TEST_F(Upload, SuccessMarkerCountsInAnyCase) {
  tracker_.Configure({"casemarker <CASE IXBUG=\"7\"></CASE>"});
  EXPECT_TRUE(Deliver());
}

TEST_F(Upload, ServerUrlWithAndWithoutTrailingSlashGiveTheSameRequests) {
  ASSERT_TRUE(Deliver());
  std::vector<std::string> withSlash;
  for (const auto& request : tracker_.Requests()) withSlash.push_back(request.path);

  settings_->Texts["HttpServer"] = "https://127.0.0.1/fb";
  ASSERT_TRUE(Deliver());
  std::vector<std::string> both;
  for (const auto& request : tracker_.Requests()) both.push_back(request.path);
  ASSERT_EQ(both.size(), 2 * withSlash.size());
  EXPECT_EQ(std::vector<std::string>(both.begin() + withSlash.size(), both.end()), withSlash);
  EXPECT_EQ(withSlash.front(), "/fb/api.xml");
}

TEST_F(Upload, HostOnlyUrlAsksForApiXmlAtTheRoot) {
  settings_->Texts["HttpServer"] = "https://127.0.0.1";
  ASSERT_TRUE(Deliver());
  EXPECT_EQ(tracker_.Requests().front().path, "/api.xml");
  EXPECT_EQ(NewCase().path, "/api.asp");
}

TEST_F(Upload, MinimumVersionNineStopsBeforeLogon) {
  tracker_.Configure({"minversion 9"});
  EXPECT_FALSE(Deliver());
  EXPECT_EQ(tracker_.Commands(), std::vector<std::string>{"api.xml"});
  EXPECT_TRUE(Platform::FileExists(savedFile_));
}

TEST_F(Upload, LogonErrorIsRecordedDecodedOnceAndNotLoggedOff) {
  tracker_.Configure({"logonerror Wrong &amp;lt;user&amp;gt; &amp; password"});
  EXPECT_FALSE(Deliver());
  EXPECT_EQ(tracker_.Commands(), (std::vector<std::string>{"api.xml", "logon"}));
  EXPECT_EQ(LastHttpError().number, static_cast<std::uint32_t>(-1));
  EXPECT_EQ(LastHttpError().text, "Wrong &lt;user&gt; & password");
}

TEST_F(Upload, AreaTheProjectLacksFallsBackToNotSpamThenToNone) {
  settings_->Texts["BugTrArea"] = "Misc";  // an area of another project
  ASSERT_TRUE(Deliver());
  ASSERT_NE(NewCase().Part("sArea"), nullptr);
  EXPECT_EQ(NewCase().Part("sArea")->data, "not spam");

  tracker_.Configure({"areas QuillTally:Other|Inbox:not spam"});
  ASSERT_TRUE(Deliver());
  const auto requests = tracker_.Requests();
  EXPECT_EQ(requests[requests.size() - 2].Part("sArea"), nullptr);
}

TEST_F(Upload, UnknownProjectLeavesProjectAndAreaOutAndTheAssigneeIsOneOfThePeople) {
  settings_->Texts["BugTrProject"] = "Elsewhere";
  settings_->Texts["BugTrAssignTo"] = "ada admin";
  ASSERT_TRUE(Deliver());
  EXPECT_EQ(NewCase().Part("sProject"), nullptr);
  EXPECT_EQ(NewCase().Part("sArea"), nullptr);
  ASSERT_NE(NewCase().Part("sPersonAssignedTo"), nullptr);
  EXPECT_EQ(NewCase().Part("sPersonAssignedTo")->data, "Ada Admin");
}

TEST_F(Upload, CategoryListWithoutBugGivesItsFirstEntryAndAFailedListKeepsBug) {
  tracker_.Configure({"categories Feature|Inquiry"});
  ASSERT_TRUE(Deliver());
  EXPECT_EQ(NewCase().Part("sCategory")->data, "Feature");

  tracker_.Configure({"failcommand listCategories"});
  ASSERT_TRUE(Deliver());
  const auto requests = tracker_.Requests();
  ASSERT_NE(requests[requests.size() - 2].Part("sCategory"), nullptr);
  EXPECT_EQ(requests[requests.size() - 2].Part("sCategory")->data, "bug");
}

TEST_F(Upload, CertificateThatDoesNotVerifyIsRefusedUnlessTheCheckIsOff) {
  settings_->Numbers["HttpCheckCert"] = 1;
  EXPECT_FALSE(Deliver());
  EXPECT_TRUE(tracker_.Requests().empty());
  EXPECT_NE(LastHttpError().number, 0u);
  EXPECT_TRUE(Platform::FileExists(savedFile_));

  settings_->Numbers["HttpCheckCert"] = 0;
  EXPECT_TRUE(Deliver());
}

TEST_F(Upload, EmptyReportContactsNobody) {
  EXPECT_FALSE(Deliver(""));
  EXPECT_TRUE(tracker_.Requests().empty());
}

TEST_F(Upload, ServerChallengeIsAnsweredWithBasicCredentialsOnceAndFailsWithoutThem) {
  tracker_.Configure({"auth Basic", "authuser web:secret"});
  EXPECT_FALSE(Deliver());
  EXPECT_EQ(tracker_.Requests().size(), 1u);

  settings_->Texts["HttpAccount"] = "web";
  settings_->Texts["HttpPassword"] = "secret";
  ASSERT_TRUE(Deliver());
  const auto requests = tracker_.Requests();
  ASSERT_GT(requests.size(), 3u);
  EXPECT_TRUE(requests[1].Header("Authorization").empty());
  EXPECT_EQ(requests[2].Header("Authorization"), "Basic d2ViOnNlY3JldA==");
  EXPECT_EQ(requests.back().Header("Authorization"), "Basic d2ViOnNlY3JldA==");
}

TEST_F(Upload, RedirectCountsAsSuccessAndItsTargetIsOpened) {
  tracker_.Configure({"redirect https://example.invalid/moved"});
  EXPECT_FALSE(Deliver()) << "the redirect's empty body names no script";
  EXPECT_EQ(opened_, std::vector<std::string>{"https://example.invalid/moved"});
  EXPECT_EQ(LastRedirectTarget(), "https://example.invalid/moved");
  EXPECT_EQ(tracker_.Commands(), std::vector<std::string>{"api.xml"});
}

TEST_F(Upload, PortWrittenIntoTheServerUrlWinsOverHttpPort) {
  settings_->Texts["HttpServer"] = "https://127.0.0.1:" + std::to_string(tracker_.Port()) + "/fb/";
  settings_->Numbers["HttpPort"] = 1;
  EXPECT_TRUE(Deliver());
  EXPECT_EQ(tracker_.Commands(), kWholeDialogue);
}

// Each answer trickles in well within the time one request may take, but all of them
// together take many times the upload's limit.
TEST_F(Upload, TricklingServerIsLeftWhenTheUploadsTimeIsUp) {
  settings_->Numbers["HttpTimeout"] = 2000;
  tracker_.Configure({"slow 0.02"});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Deliver());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
  EXPECT_EQ(LastHttpError().number, Platform::kHttpErrorTimeout) << LastHttpError().text;
  EXPECT_TRUE(Platform::FileExists(savedFile_));
}

TEST_F(Upload, ReplyLongerThanOneMebibyteFails) {
  tracker_.Configure({"padapi 1048576"});
  ASSERT_TRUE(Deliver());

  tracker_.Configure({"padapi 1048577"});
  EXPECT_FALSE(Deliver());
  EXPECT_EQ(tracker_.Commands().size(), kWholeDialogue.size() + 1) << "nothing after api.xml";
  EXPECT_EQ(LastHttpError().text, "the server's reply is longer than 1048576 bytes");
}

TEST_F(Upload, ServerThatClosesTheConnectionFailsWithoutHanging) {
  tracker_.Configure({"close new"});
  EXPECT_FALSE(Deliver());
  EXPECT_NE(LastHttpError().number, 0u);
  EXPECT_TRUE(Platform::FileExists(savedFile_));
}

TEST_F(Upload, SendingThreadDeliversInTheBackground) {
  std::thread sender;
  EXPECT_TRUE(DeliverBugReport(Request(), &sender));
  ASSERT_TRUE(sender.joinable());
  sender.join();
  EXPECT_EQ(markedSent_, 1);
  EXPECT_EQ(tracker_.Commands(), kWholeDialogue);
}

// The form poster on its own: the declared length against the bytes the tracker read.
class FormPost : public Upload {
 protected:
  std::unique_ptr<TWinHttp> Client(std::string proxyUser = {}) {
    TWinHttpParams params;
    params.url = "https://127.0.0.1/fb";
    params.ssl = true;
    params.port = static_cast<std::uint16_t>(tracker_.Port());
    params.proxyUser = std::move(proxyUser);
    params.proxyPassword = "x";
    params.connectTimeoutMs = 10000;
    params.receiveTimeoutMs = 10000;
    SetCheckCertificates(false);
    return std::make_unique<TWinHttp>(std::move(params));
  }

  bool Post(TWinHttp& client, const std::vector<std::pair<std::string, std::string>>& fields,
            const std::vector<std::string>& files) {
    Settings::TFieldList list;
    list.AcceptData();
    for (const auto& [name, content] : fields) list.SetContent(name, content);
    std::vector<TAttachmentFile> opened;
    int count = 0;
    client.OpenAttachments(files, false, opened, count);
    std::vector<std::string> names, sendAs;
    for (std::size_t i = 0; i < files.size(); ++i) {
      names.push_back("File" + std::to_string(i + 1));
      sendAs.push_back("f\xC3\xBCr " + std::to_string(i + 1) + ".txt");
    }
    std::string reply;
    const bool ok = client.InternalPost("/fb/api.asp", {}, opened, sendAs, names, list, reply);
    if (!ok) ADD_FAILURE() << client.LastErrorNo() << " " << client.LastErrorStr();
    return ok;
  }
};

TEST_F(FormPost, ContentLengthEqualsTheBytesSentForFieldsAndFilesOfEveryKind) {
  const std::string empty = tracker_.Folder().Join("empty.bin");
  TestSupport::WriteFile(empty, "");
  const std::string big = tracker_.Folder().Join("big.bin");
  std::string bigContent;
  for (int i = 0; i < 5000; ++i) bigContent += static_cast<char>(i * 7);
  TestSupport::WriteFile(big, bigContent);

  auto client = Client();
  EXPECT_TRUE(Post(*client, {}, {}));
  EXPECT_TRUE(Post(*client, {{"cmd", "new"}}, {empty}));
  EXPECT_TRUE(Post(*client,
                   {{"Gr\xC3\xB6\xC3\x9F"
                     "e",
                     "Gr\xC3\xBC\xC3\x9F"
                     "e \xE2\x82\xAC"}},
                   {big, tracker_.Folder().Join("missing.bin"), empty}));

  const auto requests = tracker_.Requests();
  ASSERT_EQ(requests.size(), 3u);
  for (const auto& request : requests) {
    EXPECT_EQ(request.Header("Content-Length"), std::to_string(request.bodyLength));
    EXPECT_EQ(request.Header("Content-Type"),
              "multipart/form-data; boundary=exvora_multipart_boundary");
  }
  EXPECT_TRUE(requests[0].parts.empty());
  ASSERT_EQ(requests[1].parts.size(), 2u);
  EXPECT_EQ(requests[1].parts[1].data, "");
  ASSERT_EQ(requests[2].parts.size(), 3u);
  const auto& field = requests[2].parts[0];
  EXPECT_EQ(field.name, HeaderWord("Gr\xC3\xB6\xC3\x9F"
                                   "e",
                                   false));
  EXPECT_EQ(field.charset, "utf-8");
  EXPECT_EQ(field.encoding, "base64");
  EXPECT_EQ(field.data,
            "Gr\xC3\xBC\xC3\x9F"
            "e \xE2\x82\xAC");
  EXPECT_EQ(requests[2].parts[1].data, bigContent);
  EXPECT_EQ(requests[2].parts[1].name, "File1");
  // The file that could not be opened is left out.
  EXPECT_EQ(requests[2].parts[2].name, "File3");
}

TEST_F(FormPost, ProxyChallengeThatNeverEndsStopsAfterBoundedSends) {
  tracker_.Configure({"proxyauth 1"});
  auto client = Client("proxy-user");
  EXPECT_EQ(client->Get("/fb/api.xml"), "");
  // The library may answer a challenge itself once per send.
  const auto sends = tracker_.Requests().size();
  EXPECT_GE(sends, 2u);
  EXPECT_LE(sends, static_cast<std::size_t>(2 * TWinHttp::kMaxSends));
}

}  // namespace
}  // namespace Reporter::Delivery
