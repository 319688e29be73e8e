// HttpProbe: loads the platform's HTTP library as the upload does and says whether it got a
// session from it.
#include <cstdio>

#include "platform/http_session.h"

int main() {
  const auto session = Platform::CreateHttpSession();
  std::fputs(session ? "session" : "no session", stdout);
  return 0;
}
