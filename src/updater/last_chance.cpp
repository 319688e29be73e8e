#include "updater/last_chance.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <typeinfo>

#include "platform/console.h"
#include "updater/strings.h"

namespace Update {
namespace {

// The class name without its namespaces, as a person reads it ("EUpdateWork").
std::string ClassName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
  std::string name = status == 0 && demangled ? demangled.get() : type.name();
  const std::size_t colon = name.rfind("::");
  return colon == std::string::npos ? name : name.substr(colon + 2);
}

void WriteReport(const std::string& className, const std::string& message) {
  Platform::Console::WriteLine(Strings::kApplicationError);
  Platform::Console::WriteLine("");
  Platform::Console::WriteLine("exception class   : " + className);
  Platform::Console::WriteLine("exception message : " + message);
}

}  // namespace

int ReportUnhandledException(std::exception_ptr exception) {
  try {
    std::rethrow_exception(exception);
  } catch (const std::exception& e) {
    WriteReport(ClassName(typeid(e)), e.what());
  } catch (...) {
    WriteReport("unknown", "");
  }
  Platform::Console::Flush();
  return 1;
}

}  // namespace Update
