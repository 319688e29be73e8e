#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/scoped_temp_dir.h"

// The test tracker (tracker/fake_tracker.py) running for one test: its own folder, port and
// certificate; stopped when the object goes.
namespace Reporter::Delivery::Testing {

struct TRecordedPart {
  std::string name, fileName, charset, encoding, data;
};

struct TRecordedRequest {
  std::string method;
  std::string path;  // with the query
  std::vector<std::pair<std::string, std::string>> headers;
  std::size_t bodyLength = 0;
  std::vector<TRecordedPart> parts;

  std::string Header(std::string_view name) const;
  // The query's parameter, undecoded; "" when absent.
  std::string Parameter(std::string_view name) const;
  // "api.xml", the query's cmd or the form's cmd.
  std::string Command() const;
  std::vector<std::string> PartNames() const;
  const TRecordedPart* Part(std::string_view name) const;
};

class TFakeTracker {
 public:
  // Port 0 takes any free port; a fixed one serves a program built to report to it.
  explicit TFakeTracker(int port = 0);
  ~TFakeTracker();
  TFakeTracker(const TFakeTracker&) = delete;
  TFakeTracker& operator=(const TFakeTracker&) = delete;

  // 0 when the tracker did not start.
  int Port() const { return port_; }
  // "key value" lines of the tracker's configuration (see fake_tracker.py).
  void Configure(const std::vector<std::string>& lines);
  std::vector<TRecordedRequest> Requests() const;
  std::vector<std::string> Commands() const;
  // A folder of the test's own, beside the tracker's files.
  const TestSupport::ScopedTempDir& Folder() const { return folder_; }

 private:
  std::string TrackerFile(std::string_view name) const;

  TestSupport::ScopedTempDir folder_;
  std::string trackerFolder_;
  int port_ = 0;
};

}  // namespace Reporter::Delivery::Testing
