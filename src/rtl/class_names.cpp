#include "rtl/class_names.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

#include "rtl/exceptions.h"

namespace RTL {

std::string WithoutNamespaces(const std::string& qualifiedName) {
  // The last "::" outside template arguments ends the namespaces.
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < qualifiedName.size(); ++i) {
    const char c = qualifiedName[i];
    if (c == '<' || c == '(') ++depth;
    if ((c == '>' || c == ')') && depth > 0) --depth;
    if (depth == 0 && c == ':' && i + 1 < qualifiedName.size() && qualifiedName[i + 1] == ':') {
      start = i + 2;
      ++i;
    }
  }
  return qualifiedName.substr(start);
}

std::string TypeName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> demangled(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
  return WithoutNamespaces(status == 0 && demangled ? demangled.get() : type.name());
}

std::vector<std::string> TypeAndAncestorNames(const std::type_info& type) {
  std::vector<std::string> names;
  const std::type_info* current = &type;
  // Bounded, should a broken type_info ever point back at itself.
  for (int depth = 0; current != nullptr && depth < 64; ++depth) {
    names.push_back(TypeName(*current));
    if (const auto* single = dynamic_cast<const abi::__si_class_type_info*>(current)) {
      current = single->__base_type;
    } else if (const auto* multiple = dynamic_cast<const abi::__vmi_class_type_info*>(current);
               multiple != nullptr && multiple->__base_count > 0) {
      current = multiple->__base_info[0].__base_type;
    } else {
      current = nullptr;
    }
  }
  return names;
}

const Exception* AsException(const std::exception_ptr& exception) {
  if (!exception) return nullptr;
  try {
    std::rethrow_exception(exception);
  } catch (const Exception& object) {
    return &object;  // GCC rethrows the very object the exception_ptr holds
  } catch (...) {
  }
  return nullptr;
}

TExceptionFacts ExceptionFactsOf(const std::exception_ptr& exception) {
  TExceptionFacts facts;
  facts.ClassName = "Unknown";
  if (!exception) return facts;
  const std::type_info* type = nullptr;
  try {
    std::rethrow_exception(exception);
  } catch (const Exception& object) {
    facts.IsException = true;
    facts.Message = object.Message();
    type = &typeid(object);
  } catch (const std::exception& object) {
    facts.Message = object.what();
    type = &typeid(object);
  } catch (...) {
    type = abi::__cxa_current_exception_type();
  }
  if (type == nullptr || dynamic_cast<const abi::__class_type_info*>(type) == nullptr) {
    return facts;
  }
  facts.IsObject = true;
  facts.ClassNames = TypeAndAncestorNames(*type);
  facts.ClassName = facts.ClassNames.front();
  return facts;
}

}  // namespace RTL
