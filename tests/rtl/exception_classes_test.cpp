#include <gtest/gtest.h>

#include <stdexcept>

#include "rtl/class_names.h"
#include "rtl/exceptions.h"
#include "rtl/os_exceptions.h"
#include "updater/work.h"

namespace Outer::Inner {
struct TPlainThing {
  int value = 0;
};
template <class T>
struct TBox {
  T value;
};
}  // namespace Outer::Inner

namespace {

using RTL::ExceptionFactsOf;

template <class T>
std::exception_ptr Raised(T object) {
  try {
    throw object;
  } catch (...) {
    return std::current_exception();
  }
}

std::size_t FakeCapture(std::uintptr_t* buffer, std::size_t capacity, std::size_t) {
  for (std::size_t i = 0; i < 3 && i < capacity; ++i) buffer[i] = 0x1000 + i;
  return capacity < 3 ? capacity : 3;
}

class CaptureInstalled : public testing::Test {
 protected:
  CaptureInstalled() : previous_(RTL::StackCapture()) { RTL::SetStackCapture(&FakeCapture); }
  ~CaptureInstalled() override { RTL::SetStackCapture(previous_); }
  RTL::TStackCapture previous_;
};

TEST(ExceptionClasses, ProgramClassesNameThemselvesAndEveryAncestorWithoutNamespaces) {
  const Update::Work::EUpdateWork work("x");
  EXPECT_EQ(work.ClassName(), "EUpdateWork");
  EXPECT_EQ(work.ClassNames(), (std::vector<std::string>{"EUpdateWork", "Exception", "exception"}));
  const RTL::EFOpenError open("y");
  EXPECT_EQ(open.ClassNames(),
            (std::vector<std::string>{"EFOpenError", "EStreamError", "Exception", "exception"}));
  // Seen through a base reference the dynamic class still counts.
  const RTL::Exception& base = open;
  EXPECT_EQ(base.ClassName(), "EFOpenError");
}

TEST(ExceptionClasses, RaisedProgramObjectGivesItsClassAndMessage) {
  const auto facts = ExceptionFactsOf(Raised(Update::Work::EUpdateWork("Sperrdatei belegt!")));
  EXPECT_TRUE(facts.IsObject);
  EXPECT_TRUE(facts.IsException);
  EXPECT_EQ(facts.ClassName, "EUpdateWork");
  EXPECT_EQ(facts.Message, "Sperrdatei belegt!");
}

TEST(ExceptionClasses, ForeignObjectsGiveTheirTypeNameAndWhat) {
  const auto standard = ExceptionFactsOf(Raised(std::out_of_range("beyond")));
  EXPECT_TRUE(standard.IsObject);
  EXPECT_FALSE(standard.IsException);
  EXPECT_EQ(standard.ClassName, "out_of_range");
  EXPECT_EQ(standard.ClassNames.back(), "exception");
  EXPECT_EQ(standard.Message, "beyond");

  const auto plain = ExceptionFactsOf(Raised(Outer::Inner::TPlainThing{}));
  EXPECT_EQ(plain.ClassName, "TPlainThing");
  EXPECT_EQ(plain.ClassNames.size(), 1u);
  EXPECT_EQ(plain.Message, "");

  const auto boxed = ExceptionFactsOf(Raised(Outer::Inner::TBox<Outer::Inner::TPlainThing>{}));
  EXPECT_EQ(boxed.ClassName, "TBox<Outer::Inner::TPlainThing>");
}

TEST(ExceptionClasses, NonObjectsAndNothingAreUnknown) {
  const auto number = ExceptionFactsOf(Raised(42));
  EXPECT_FALSE(number.IsObject);
  EXPECT_EQ(number.ClassName, "Unknown");
  EXPECT_TRUE(number.ClassNames.empty());
  EXPECT_EQ(ExceptionFactsOf(nullptr).ClassName, "Unknown");
  EXPECT_EQ(RTL::AsException(Raised(42)), nullptr);
}

TEST(ExceptionClasses, NamespacesGoButTemplateArgumentsStay) {
  EXPECT_EQ(RTL::WithoutNamespaces("A::B::EFoo"), "EFoo");
  EXPECT_EQ(RTL::WithoutNamespaces("std::vector<A::B, std::allocator<A::B> >"),
            "vector<A::B, std::allocator<A::B> >");
  EXPECT_EQ(RTL::WithoutNamespaces("EFoo"), "EFoo");
  EXPECT_EQ(RTL::WithoutNamespaces(""), "");
}

TEST(ExceptionClasses, AnExceptionRemembersWhereItWasRaised) {
  const RTL::Exception first("a");
  const RTL::Exception second("b");
  EXPECT_NE(first.RaiseAddress(), 0u);
  EXPECT_NE(first.RaiseAddress(), second.RaiseAddress());
}

TEST_F(CaptureInstalled, TheCaptureFillsThePreparedStack) {
  const RTL::EAbort abort;
  EXPECT_EQ(abort.PreparedStack(), (std::vector<std::uintptr_t>{0x1000, 0x1001, 0x1002}));
  EXPECT_EQ(abort.Message(), "Operation abgebrochen");
  RTL::SetStackCapture(nullptr);
  EXPECT_TRUE(RTL::Exception("no capture").PreparedStack().empty());
}

TEST(OsExceptions, EachFaultBecomesItsClassWithItsGermanMessage) {
  using namespace RTL::FaultCode;
  const struct {
    std::uint32_t code;
    const char* className;
    const char* message;
  } cases[] = {
      {kIntDivideByZero, "EDivByZero", "Division durch Null"},
      {kIntOverflow, "EIntOverflow", "Integer-Überlauf"},
      {kFltDivideByZero, "EZeroDivide", "Gleitkommadivision durch Null"},
      {kFltUnderflow, "EUnderflow", "Gleitkommaunterlauf"},
      {kFltInexactResult, "EInvalidOp", "Ungültige Gleitkommaoperation"},
      {kStackOverflow, "EStackOverflow", "Stapelüberlauf"},
      {kPrivilegedInstruction, "EPrivilege", "Privilegierte Anweisung"},
      {kIllegalInstruction, "EInvalidOpCode", "Ungültige Anweisung"},
      {0xE0001234, "EExternalException", "Externe Exception E0001234"},
  };
  for (const auto& c : cases) {
    RTL::TFault fault;
    fault.Code = c.code;
    const auto facts = ExceptionFactsOf(RTL::MakeExternalException(fault));
    EXPECT_EQ(facts.ClassName, c.className);
    EXPECT_EQ(facts.Message, c.message) << c.className;
    EXPECT_NE(std::find(facts.ClassNames.begin(), facts.ClassNames.end(), "EExternal"),
              facts.ClassNames.end());
  }
}

TEST(OsExceptions, AccessViolationNamesBothAddressesAndTheAccess) {
  RTL::TFault fault;
  fault.Code = RTL::FaultCode::kAccessViolation;
  fault.Address = 0x401a2c;
  fault.AccessAddress = 0x10;
  fault.Context.Ip = 0x401a2c;
  fault.HasContext = true;
  const std::exception_ptr raised = RTL::MakeExternalException(fault);
  const auto* object = dynamic_cast<const RTL::EAccessViolation*>(RTL::AsException(raised));
  ASSERT_NE(object, nullptr);
  const std::string digits(sizeof(void*) * 2 - 6, '0');
  EXPECT_EQ(object->Message(), "Zugriffsverletzung bei Adresse " + digits + "401A2C. Lesen von " +
                                   "Adresse " + digits + "000010.");
  EXPECT_EQ(object->Code(), RTL::FaultCode::kAccessViolation);
  ASSERT_NE(object->Context(), nullptr);
  EXPECT_EQ(object->Context()->Ip, 0x401a2cu);
  fault.Access = RTL::TAccessKind::Write;
  EXPECT_NE(RTL::FaultMessage(fault).find("Schreiben"), std::string::npos);
}

}  // namespace
