#pragma once

#include <exception>
#include <string>
#include <typeinfo>
#include <vector>

// The names of classes at run time, as the crash reporter's class filters and reports use
// them: without namespaces, the class itself first and then each ancestor. The compilers
// this program is built with (GCC, MinGW) describe a class's base in its type_info, so no
// class has to declare anything.
namespace RTL {

// "Update::Work::EUpdateWork" -> "EUpdateWork"; template arguments stay as they are.
std::string WithoutNamespaces(const std::string& qualifiedName);

// The demangled name of the type without namespaces.
std::string TypeName(const std::type_info& type);

// The type and its ancestors along the first base of each class; only the type itself for a
// type that is no class.
std::vector<std::string> TypeAndAncestorNames(const std::type_info& type);

// What the reporter knows of any raised object.
struct TExceptionFacts {
  bool IsObject = false;                // a class object; "Unknown" class otherwise
  bool IsException = false;             // one of the program's classes (RTL::Exception)
  std::string ClassName;                // "Unknown" when no object
  std::vector<std::string> ClassNames;  // the class and its ancestors
  std::string Message;                  // Message(), what(), or "" for other objects
};
TExceptionFacts ExceptionFactsOf(const std::exception_ptr& exception);

// The program's exception inside, when the object is one; null otherwise. The pointer lives
// as long as the exception_ptr.
const class Exception* AsException(const std::exception_ptr& exception);

}  // namespace RTL
