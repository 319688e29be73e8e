#pragma once

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/http_session.h"
#include "reporter/delivery/win_http.h"

// A connection whose answers a test scripts: the status of each answer, its Location header
// and its body by the requested path; it counts what the client sent.
namespace Reporter::Delivery::Testing {

struct TScriptedState {
  std::deque<std::uint32_t> statuses{200};  // one per answer; the last one repeats
  std::uint32_t offered = 0;
  std::string location;                                      // none when empty
  std::function<std::string(const std::string& path)> body;  // none: empty bodies
  int sends = 0;
  std::uint64_t announced = 0;
  std::uint64_t written = 0;
  std::vector<std::uint32_t> serverSchemes;
  std::vector<std::string> paths;
};

class TScriptedSession : public Platform::HttpSession {
 public:
  explicit TScriptedSession(TScriptedState& state) : state_(state) {}

  bool Connect(const Platform::HttpConnectOptions&) override { return true; }
  bool OpenRequest(const std::string&, const std::string& path) override {
    path_ = path;
    return true;
  }
  void SetTimeLimit(std::uint32_t) override {}
  bool AddHeader(const std::string&) override { return true; }
  bool SetProxy(const Platform::HttpProxy&) override { return true; }
  bool SetCredentials(Platform::HttpAuthTarget target, std::uint32_t scheme, const std::string&,
                      const std::string&) override {
    if (target == Platform::HttpAuthTarget::Server) state_.serverSchemes.push_back(scheme);
    return true;
  }
  bool SendRequest(std::uint64_t total) override {
    ++state_.sends;
    state_.paths.push_back(path_);
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
    body_ = state_.body ? state_.body(path_) : std::string();
    bodyRead_ = 0;
    return true;
  }
  std::uint32_t StatusCode() override { return status_; }
  std::optional<std::string> Header(const std::string& name) override {
    if (name != "Location" || state_.location.empty()) return std::nullopt;
    return state_.location;
  }
  std::uint32_t OfferedAuthSchemes(Platform::HttpAuthTarget) override { return state_.offered; }
  // The body comes in pieces, as from a network.
  bool QueryDataAvailable(std::size_t& size) override {
    size = std::min<std::size_t>(body_.size() - bodyRead_, 4096);
    return true;
  }
  bool ReadData(void* buffer, std::size_t size, std::size_t& read) override {
    read = std::min(size, body_.size() - bodyRead_);
    std::memcpy(buffer, body_.data() + bodyRead_, read);
    bodyRead_ += read;
    return true;
  }
  std::optional<Platform::HttpProxy> DiscoverProxy(const std::string&) override {
    return std::nullopt;
  }
  Platform::HttpError LastError() override { return {}; }

 private:
  TScriptedState& state_;
  std::string path_;
  std::uint32_t status_ = 0;
  std::string body_;
  std::size_t bodyRead_ = 0;
};

inline TWinHttpParams ScriptedParams(TScriptedState& state,
                                     std::string url = "https://tracker.example.com/fb") {
  TWinHttpParams params;
  params.url = std::move(url);
  params.sessionFactory = [&state] { return std::make_unique<TScriptedSession>(state); };
  return params;
}

}  // namespace Reporter::Delivery::Testing
