// HttpProbe: loads the platform's HTTP library as the upload does and says whether it got a
// session from it and where the Windows library came from: "session elsewhere" when one came
// from anywhere but this program's folder, "... beside" when it came from there.
#include <cstdio>
#include <string>

#include "platform/http_session.h"
#include "platform/process.h"
#include "platform/system_lists.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return text;
}

}  // namespace

int main() {
  const auto session = Platform::CreateHttpSession();
  std::string programFolder = Lower(Platform::ExecutableDirectory());
  while (!programFolder.empty() && (programFolder.back() == '\\' || programFolder.back() == '/'))
    programFolder.pop_back();
  std::string library = "missing";
  for (const Platform::TModuleRecord& module : Platform::ListModules()) {
    if (Lower(module.FileName) != "winhttp.dll") continue;
    library = Lower(module.Directory) == programFolder ? "beside" : "elsewhere";
  }
  std::fputs(((session ? "session " : "no session ") + library).c_str(), stdout);
  return 0;
}
