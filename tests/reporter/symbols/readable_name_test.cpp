#include "reporter/report/symbols/readable_name.h"

#include <gtest/gtest.h>

#include <vector>

#include "reporter/report/symbols/qualified_name.h"

namespace {

using namespace Reporter::Symbols;

struct TNameCase {
  const char* Symbol;
  const char* Unit;
  const char* Function;
};

void PrintTo(const TNameCase& name, std::ostream* out) {
  *out << name.Symbol;
}

class ReadableSymbolNames : public testing::TestWithParam<TNameCase> {};

TEST_P(ReadableSymbolNames, ShowNamespaceAsUnitAndTheRestAsFunction) {
  const TUnitAndFunction readable = ReadableSymbolName(GetParam().Symbol);
  EXPECT_EQ(readable.Unit, GetParam().Unit);
  EXPECT_EQ(readable.Function, GetParam().Function);
}

INSTANTIATE_TEST_SUITE_P(
    Mangled, ReadableSymbolNames,
    testing::Values(
        // What the mangling tells: std, template arguments, constructors, const members.
        TNameCase{"_ZNSt6thread15_M_start_threadESt10unique_ptrINS_6_StateESt14default_"
                  "deleteIS1_EEPFvvE",
                  "std", "thread::_M_start_thread"},
        TNameCase{"_ZNKSt8__detail20_Prime_rehash_policy11_M_next_bktEm", "std.__detail",
                  "_Prime_rehash_policy::_M_next_bkt"},
        TNameCase{"_ZNSt13runtime_errorC2EPKc", "std", "runtime_error::runtime_error"},
        TNameCase{"_ZNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEE9_M_createERmm", "std",
                  "basic_string::_M_create"},
        TNameCase{"_ZSt9terminatev", "std", "terminate"},
        TNameCase{"_ZN9__gnu_cxx27__verbose_terminate_handlerEv", "__gnu_cxx",
                  "__verbose_terminate_handler"},
        TNameCase{"_ZNK6Update5TTextcvbEv", "Update", "TText::operator bool"},
        // Return types and template arguments go, operators stay.
        TNameCase{"_ZNSt6vectorIiSaIiEE17_M_realloc_insertIJRKiEEEvN9__gnu_cxx17__normal_"
                  "iteratorIPiS1_EEDpOT_",
                  "std", "vector::_M_realloc_insert"},
        TNameCase{"_ZStplIcSt11char_traitsIcESaIcEENSt7__cxx1112basic_stringIT_T0_T1_EEPKS5_"
                  "RKS8_",
                  "std", "operator+"},
        // Lambdas, their static invokers and the templates they are handed to.
        TNameCase{"_ZZN6Update4Work12TJobServices4RealEvENKUljE_clEj", "Update.Work",
                  "TJobServices::Real::{lambda}"},
        TNameCase{"_ZZN6Update4Work12TJobServices4RealEvENUljE_4_FUNEj", "Update.Work",
                  "TJobServices::Real::{lambda}"},
        TNameCase{"_ZZN6Update4Work12TJobServices4RealEvENUljE_8__invokeEj", "Update.Work",
                  "TJobServices::Real::{lambda}"},
        TNameCase{"_ZNSt17_Function_handlerIFvjEZN6Update4Work12TJobServices4RealEvEUljE_E9_M_"
                  "invokeERKSt9_Any_dataOj",
                  "std", "_Function_handler::_M_invoke"},
        // Clones and thunks read as their function; anonymous namespaces are left out. Two
        // scopes without a class: the inner one counts as the class.
        TNameCase{"_ZN6Update4Work9RunUpdateEv.cold", "Update", "Work::RunUpdate"},
        TNameCase{"_ZN12_GLOBAL__N_15Probe3RunEv.part.0", "Probe", "Run"},
        TNameCase{"_ZThn8_N6Update4TJobD1Ev", "Update", "TJob::~TJob"},
        // Names that are not mangled, or not well.
        TNameCase{"memcpy", "", "memcpy"}, TNameCase{"main.cold", "", "main"},
        TNameCase{"Run.constprop.0.isra.0", "", "Run"}, TNameCase{"_Zbroken", "", "_Zbroken"},
        TNameCase{"version.2", "", "version.2"}));

TEST(ReadableName, FromTheScopesOfDebugInformation) {
  using K = TScopeKind;
  const std::vector<TScope> lambda = {{"Update", K::Namespace},
                                      {"Work", K::Namespace},
                                      {"TJobServices", K::Class},
                                      {"Real", K::Function},
                                      {"", K::Class}};
  for (const char* member : {"operator()", "_FUN", "__invoke", "<lambda>", "~<lambda>"}) {
    const TUnitAndFunction readable = ReadableName(lambda, member);
    EXPECT_EQ(readable.Unit, "Update.Work");
    EXPECT_EQ(readable.Function, "TJobServices::Real::{lambda}") << member;
  }
  const std::vector<TScope> nested = {
      {"main", K::Function}, {"<lambda()>", K::Class}, {"operator()", K::Function}, {"", K::Class}};
  EXPECT_EQ(ReadableName(nested, "operator()").Function, "main::{lambda}::{lambda}");
  EXPECT_EQ(ReadableName(nested, "operator()").Unit, "");

  const std::vector<TScope> handler = {{"std", K::Namespace},
                                       {"_Function_handler<void (unsigned int), "
                                        "Update::Work::TJobServices::Real()::<lambda(unsigned "
                                        "int)> >",
                                        K::Class}};
  EXPECT_EQ(ReadableName(handler, "_M_invoke").Unit, "std");
  EXPECT_EQ(ReadableName(handler, "_M_invoke").Function, "_Function_handler::_M_invoke");

  const std::vector<TScope> anonymous = {
      {"", K::Namespace}, {"Probe", K::Namespace}, {"TBox<int>", K::Class}};
  EXPECT_EQ(ReadableName(anonymous, "operator< <char>").Unit, "Probe");
  EXPECT_EQ(ReadableName(anonymous, "operator< <char>").Function, "TBox::operator<");
  EXPECT_EQ(ReadableName(anonymous, "operator<<").Function, "TBox::operator<<");
  EXPECT_EQ(ReadableName(anonymous, "Convert<std::vector<int> >").Function, "TBox::Convert");
}

TEST(TopLevelSeparators, NotInsideBracketsOrOperatorNames) {
  const auto pieces = [](std::string_view name) {
    std::string text;
    std::size_t begin = 0;
    for (const std::size_t separator : TopLevelSeparators(name)) {
      text.append(name.substr(begin, separator - begin)).append(" | ");
      begin = separator + 2;
    }
    return text.append(name.substr(begin));
  };
  EXPECT_EQ(pieces("Update::Work::RunUpdate"), "Update | Work | RunUpdate");
  EXPECT_EQ(pieces("main"), "main");
  EXPECT_EQ(pieces("std::map<std::string, int>::find"), "std | map<std::string, int> | find");
  EXPECT_EQ(pieces("Update::Run()::{lambda(std::string const&)#1}::operator()"),
            "Update | Run() | {lambda(std::string const&)#1} | operator()");
  EXPECT_EQ(pieces("std::function<void (A::B)>::operator()"),
            "std | function<void (A::B)> | operator()");
  EXPECT_EQ(pieces("std::operator< <char>"), "std | operator< <char>");
  EXPECT_EQ(pieces("Update::TJob::operator<"), "Update | TJob | operator<");
  EXPECT_EQ(pieces("Update::TJob::operator->"), "Update | TJob | operator->");
  EXPECT_EQ(pieces("Update::TText::operator std::string"), "Update | TText | operator std::string");
}

}  // namespace
