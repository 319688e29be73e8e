#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Reading qualified C++ function names as the symbol data stores them
// ("Update::Work::TJob<int>::operator<", "Update::Work::Run::{lambda()#1}::operator()").
namespace Reporter::Symbols {

// The positions of the "::" separators that are not inside <>, (), [] or {}. The brackets of
// operator names ("operator<", "operator()", "operator->") are no brackets, and a conversion
// operator's type ("operator std::string") is no separator.
std::vector<std::size_t> TopLevelSeparators(std::string_view name);

// The position of the first '(' outside brackets that is not part of an operator name (where
// a parameter list begins); npos when there is none.
std::size_t TopLevelParenthesis(std::string_view name);

// The position of the last ' ' outside brackets and operator names (where a function's
// return type ends); npos when there is none.
std::size_t LastTopLevelSpace(std::string_view name);

// The name without its template argument lists ("vector<int>::push_back<int&>" gives
// "vector::push_back"); operator names keep their brackets ("operator< <char>" gives
// "operator<").
std::string WithoutTemplateArguments(std::string_view name);

}  // namespace Reporter::Symbols
