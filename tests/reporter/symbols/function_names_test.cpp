#include "function_names.h"

#include <gtest/gtest.h>

namespace {

using namespace SymbolExtractor;

TEST(PlainFunctionName, DropsReturnTypesParameterListsAndNoise) {
  EXPECT_EQ(PlainFunctionName("Update::Work::RunUpdate(Update::Work::TJob const&)"),
            "Update::Work::RunUpdate");
  EXPECT_EQ(PlainFunctionName("void std::vector<int, std::allocator<int> >::_M_realloc_insert<int "
                              "const&>(__gnu_cxx::__normal_iterator<int*, std::vector<int, "
                              "std::allocator<int> > >, int const&)"),
            "std::vector<int, std::allocator<int>>::_M_realloc_insert<int const&>");
  EXPECT_EQ(PlainFunctionName("RTL::Text::Trim[abi:cxx11](std::basic_string_view<char, "
                              "std::char_traits<char> >)"),
            "RTL::Text::Trim");
  EXPECT_EQ(PlainFunctionName("(anonymous namespace)::Probe::Run(int) const"), "Probe::Run");
  EXPECT_EQ(PlainFunctionName("std::__cxx11::basic_string<char, std::char_traits<char>, "
                              "std::allocator<char> >::_M_dispose()"),
            "std::string::_M_dispose");
  EXPECT_EQ(PlainFunctionName("main"), "main");
}

TEST(PlainFunctionName, KeepsOperatorsLambdasAndTemplatesReadable) {
  EXPECT_EQ(
      PlainFunctionName("std::__cxx11::basic_string<char, std::char_traits<char>, "
                        "std::allocator<char> > std::operator+<char, std::char_traits<char>, "
                        "std::allocator<char> >(char const*, std::__cxx11::basic_string<char, "
                        "std::char_traits<char>, std::allocator<char> > const&)"),
      "std::operator+<char, std::char_traits<char>, std::allocator<char>>");
  EXPECT_EQ(PlainFunctionName("bool std::operator< <char>(std::string const&, char const*)"),
            "std::operator< <char>");
  EXPECT_EQ(PlainFunctionName("Update::Work::Run()::{lambda(int)#1}::operator()(int) const"),
            "Update::Work::Run::{lambda(int)#1}::operator()");
  EXPECT_EQ(PlainFunctionName("Update::TText::operator bool() const"),
            "Update::TText::operator bool");
  EXPECT_EQ(PlainFunctionName("operator new(unsigned long)"), "operator new");
  EXPECT_EQ(PlainFunctionName("operator delete[](void*)"), "operator delete[]");
  EXPECT_EQ(PlainFunctionName("std::_Function_handler<void (int), Update::Run()::{lambda(int)#1}"
                              ">::_M_invoke(std::_Any_data const&, int&&)"),
            "std::_Function_handler<void (int), Update::Run()::{lambda(int)#1}>::_M_invoke");
}

TEST(PlainFunctionName, ClonesAndThunksStayDistinguishable) {
  EXPECT_EQ(PlainFunctionName("Update::Work::RunUpdate(int) [clone .cold]"),
            "Update::Work::RunUpdate.cold");
  EXPECT_EQ(PlainFunctionName("Probe::Run(int) [clone .isra.0] [clone .cold]"),
            "Probe::Run.isra.0.cold");
  EXPECT_EQ(PlainFunctionName("Probe::Run(int) [clone .constprop.0]"), "Probe::Run.constprop.0");
  EXPECT_EQ(PlainFunctionName("non-virtual thunk to Update::TJob::~TJob()"),
            "Update::TJob::~TJob.thunk");
}

TEST(QualifiedFunctionName, DemanglesOnlyMangledNames) {
  EXPECT_EQ(QualifiedFunctionName("_ZN6Update4Work9RunUpdateERKNS0_4TJobE"),
            "Update::Work::RunUpdate");
  EXPECT_EQ(QualifiedFunctionName("_ZN6Update4Work9RunUpdateEv.cold"),
            "Update::Work::RunUpdate.cold");
  EXPECT_EQ(QualifiedFunctionName("_ZN12_GLOBAL__N_15Probe3RunEv.part.0"), "Probe::Run.part.0");
  EXPECT_EQ(QualifiedFunctionName("memcpy"), "memcpy");
  EXPECT_EQ(QualifiedFunctionName("_Zbroken"), "_Zbroken");
}

TEST(UndecoratedName, Strips32BitWindowsDecoration) {
  EXPECT_EQ(UndecoratedName("__ZN6Update4WorkEv"), "_ZN6Update4WorkEv");
  EXPECT_EQ(UndecoratedName("_main"), "main");
  EXPECT_EQ(UndecoratedName("_Sleep@4"), "Sleep");
  EXPECT_EQ(UndecoratedName("@Fast@8"), "Fast");
  EXPECT_EQ(UndecoratedName("__ZN8Platform15WindowProcedureEP6HWND__jjl@16"),
            "_ZN8Platform15WindowProcedureEP6HWND__jjl");
  EXPECT_EQ(UndecoratedName("_mail@home"), "mail@home");
}

}  // namespace
