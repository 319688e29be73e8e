// Times complete upload dialogues (api.xml, logon, five lists, logoff, logon, the new case
// with a report file, logoff) against a tracker on loopback. bench/upload_bench.sh starts the
// test tracker and compares with curl doing the same requests.
// Usage: upload_bench PORT REPORT_FILE [REPEAT]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "reporter/delivery/deliver_bug_report.h"
#include "reporter/delivery/http_options.h"

namespace {

using namespace Reporter;

class TBenchSettings : public Settings::IReporterSettings {
 public:
  std::map<std::string, std::string, std::less<>> Texts;
  std::map<std::string, std::int32_t, std::less<>> Numbers;
  bool GetPropBool(std::string_view name) override { return GetPropInt(name) != 0; }
  std::int32_t GetPropInt(std::string_view name) override {
    const auto it = Numbers.find(name);
    return it == Numbers.end() ? 0 : it->second;
  }
  std::uint32_t GetPropDw(std::string_view name) override { return GetPropInt(name); }
  std::string GetPropStr(std::string_view name) override {
    const auto it = Texts.find(name);
    return it == Texts.end() ? std::string() : it->second;
  }
  bool SetPropBool(std::string_view, bool) override { return false; }
  bool SetPropInt(std::string_view, std::int32_t) override { return false; }
  bool SetPropDw(std::string_view, std::uint32_t) override { return false; }
  bool SetPropStr(std::string_view, std::string_view) override { return false; }
  Settings::TReporterSettings* GetSelf() override { return nullptr; }
  void FillFormCache(Settings::IFieldList&) override {}
  void ReadFormCache(Settings::IFieldList&) override {}
  Platform::ModuleHandle Module() override { return 0; }
  std::shared_ptr<Settings::IFieldList> GetAdditionalFields() override { return nullptr; }
  std::shared_ptr<Settings::IAttachmentList> GetAdditionalAttachments() override { return nullptr; }
  std::string VersionVar() override { return {}; }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: upload_bench PORT REPORT_FILE [REPEAT]\n");
    return 2;
  }
  const int port = std::atoi(argv[1]);
  const std::string reportFile = argv[2];
  const int repeat = argc > 3 ? std::atoi(argv[3]) : 20;
  auto settings = std::make_shared<TBenchSettings>();
  settings->Numbers = {{"FogBugz", 1},
                       {"HttpSsl", 1},
                       {"HttpPort", port},
                       {"AttachBugRep", 1},
                       {"AttachBugRepFile", 1}};
  settings->Texts = {{"HttpServer", "https://127.0.0.1/fb/"},
                     {"BugTrAccount", "reports@example.com"},
                     {"BugTrPassword", "p@ss word."},
                     {"BugTrProject", "QuillTally"},
                     {"BugTrArea", "QuillTally"},
                     {"BugTrTitle", "Update.exe, bench"},
                     {"BugRepSendAs", "bugreport.txt"}};
  const std::string report = "computer name : BENCH\r\nversion : 1\r\ncallstack crc : $1\r\n";
  const auto start = std::chrono::steady_clock::now();
  int failures = 0;
  for (int i = 0; i < repeat; ++i) {
    Delivery::TDeliveryRequest request;
    request.settings = settings;
    request.bugReport = report;
    request.values = {"EBench", "bench", "1", "BENCH", "$1"};
    request.savedReportFile = reportFile;
    request.mayUseThread = false;
    request.connectTimeoutMs = 10000;
    request.receiveTimeoutMs = 10000;
    // A tracker with a self-signed certificate.
    settings->Numbers["HttpCheckCert"] = 0;
    if (!Delivery::DeliverBugReport(std::move(request))) ++failures;
  }
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("upload_bench: %d dialogues, %.1f ms each, %d failed\n", repeat, ms / repeat,
              failures);
  return failures == 0 ? 0 : 1;
}
