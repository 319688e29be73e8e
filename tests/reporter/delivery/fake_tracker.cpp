#include "fake_tracker.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/file_system.h"
#include "platform/process.h"
#include "support/build_setup.h"
#include "support/helper_process.h"

namespace Reporter::Delivery::Testing {
namespace {

std::string Unhex(const std::string& hex) {
  if (hex == "-") return {};
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return out;
}

bool SameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string TRecordedRequest::Header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (SameAscii(key, name)) return value;
  }
  return {};
}

std::string TRecordedRequest::Parameter(std::string_view name) const {
  const auto question = path.find('?');
  if (question == std::string::npos) return {};
  std::istringstream query(path.substr(question + 1));
  std::string pair;
  while (std::getline(query, pair, '&')) {
    const auto equals = pair.find('=');
    if (pair.substr(0, equals) == name) {
      return equals == std::string::npos ? std::string() : pair.substr(equals + 1);
    }
  }
  return {};
}

std::string TRecordedRequest::Command() const {
  if (path.size() >= 8 && path.compare(path.size() - 8, 8, "/api.xml") == 0) return "api.xml";
  if (const auto* cmd = Part("cmd")) return cmd->data;
  return Parameter("cmd");
}

std::vector<std::string> TRecordedRequest::PartNames() const {
  std::vector<std::string> names;
  for (const auto& part : parts) names.push_back(part.name);
  return names;
}

const TRecordedPart* TRecordedRequest::Part(std::string_view name) const {
  for (const auto& part : parts) {
    if (part.name == name) return &part;
  }
  return nullptr;
}

std::string TFakeTracker::TrackerFile(std::string_view name) const {
  // Join puts the platform's separator between folder and name.
  const std::string joined = folder_.Join("x");
  return trackerFolder_ + joined[folder_.Path().size()] + std::string(name);
}

TFakeTracker::TFakeTracker(int port) {
  trackerFolder_ = folder_.Join("tracker");
  std::string commandLine = TestSupport::Quoted(UPDATE_PYTHON3) + " " +
                            TestSupport::Quoted(TestSupport::BuildSetupValue("fake_tracker")) +
                            " " + TestSupport::Quoted(trackerFolder_);
  if (port != 0) commandLine += " " + std::to_string(port);
  // Files, not pipes: Wine hands a Unix program that a Windows one starts the null device for
  // every pipe.
  if (!Platform::StartProcess(commandLine, false)) {
    ADD_FAILURE() << "the test tracker did not start: " << commandLine;
    return;
  }
  const std::string said = TestSupport::AwaitFileText(
      TrackerFile("port"), [](const std::string& text) { return !text.empty(); });
  if (said.empty()) ADD_FAILURE() << "the test tracker gave no port in time";
  if (!said.empty()) port_ = std::stoi(said);
}

TFakeTracker::~TFakeTracker() {
  if (Platform::DirectoryExists(trackerFolder_)) {
    TestSupport::WriteFile(TrackerFile("stop"), "");
  }
}

void TFakeTracker::Configure(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  TestSupport::WriteFile(TrackerFile("config"), text);
}

std::vector<TRecordedRequest> TFakeTracker::Requests() const {
  std::vector<TRecordedRequest> requests;
  const std::string logFile = TrackerFile("requests.log");
  if (!Platform::FileExists(logFile)) return requests;
  std::istringstream log(TestSupport::ReadFile(logFile));
  std::string line;
  while (std::getline(log, line)) {
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (word == "request") {
      requests.emplace_back();
    } else if (requests.empty() || word == "end") {
      continue;
    } else if (word == "method") {
      words >> requests.back().method;
    } else if (word == "path") {
      std::string hex;
      words >> hex;
      requests.back().path = Unhex(hex);
    } else if (word == "header") {
      std::string name, value;
      words >> name >> value;
      requests.back().headers.emplace_back(Unhex(name), Unhex(value));
    } else if (word == "bodylength") {
      words >> requests.back().bodyLength;
    } else if (word == "part") {
      std::string name, fileName, charset, encoding, data;
      words >> name >> fileName >> charset >> encoding >> data;
      requests.back().parts.push_back(
          {Unhex(name), Unhex(fileName), Unhex(charset), Unhex(encoding), Unhex(data)});
    }
  }
  return requests;
}

std::vector<std::string> TFakeTracker::Commands() const {
  std::vector<std::string> commands;
  for (const auto& request : Requests()) commands.push_back(request.Command());
  return commands;
}

}  // namespace Reporter::Delivery::Testing
