// Builds without libcurl have no HTTP client: every upload fails with a clear error.
#include "platform/http_session.h"

namespace Platform {

std::unique_ptr<HttpSession> CreateHttpSession() {
  return nullptr;
}

}  // namespace Platform
