#include "reporter/core/class_filter.h"

#include <gtest/gtest.h>

#include "platform/process.h"
#include "reporter/core/reported_exception.h"
#include "support/fake_settings.h"
#include "updater/work.h"

namespace {

using TestSupport::TFakeSettings;

using namespace Reporter::Core;
using Reporter::Settings::ssFullBox;
using Reporter::Settings::ssSimpleBox;

// A database form's edit error, and a class the program derives from it.
class EDBEditError : public RTL::Exception {
 public:
  using RTL::Exception::Exception;
};
class EMaskedEditError : public EDBEditError {
 public:
  using EDBEditError::EDBEditError;
};

template <class T>
std::exception_ptr Raised(T object) {
  try {
    throw object;
  } catch (...) {
    return std::current_exception();
  }
}

TEST(ClassList, BlanksAndControlCharactersAroundCommasDoNotCount) {
  EXPECT_EQ(SplitClassList(" EDBEditError ,\tEFoo\r\n,, EBar"),
            (std::vector<std::string>{"EDBEditError", "EFoo", "EBar"}));
  EXPECT_TRUE(SplitClassList("").empty());
  EXPECT_TRUE(SplitClassList(" , ").empty());
  EXPECT_TRUE(ClassListMatches("EFoo , EDBEditError ", {"EDBEditError", "Exception"}));
}

TEST(ClassList, NamesMatchExactlyWithTheirLetterCase) {
  EXPECT_FALSE(ClassListMatches("edbediterror", {"EDBEditError"}));
  EXPECT_FALSE(ClassListMatches("EDBEdit", {"EDBEditError"}));
  EXPECT_FALSE(ClassListMatches("E DBEditError", {"EDBEditError"}));
}

TEST(ClassList, AnAncestorNamedInTheListMatches) {
  EXPECT_TRUE(ClassListMatches("Exception", {"EUpdateWork", "Exception", "exception"}));
  EXPECT_FALSE(ClassListMatches("EUpdateWork", {"Exception", "exception"}));
}

TEST(ClassFilter, FilterOneWinsOverFilterTwoAndTheGeneralValues) {
  TFakeSettings settings;
  settings.SetFilter1Classes("EUpdateWork");
  settings.SetFilter2Classes("Exception, EUpdateWork");
  settings.SetFilter1NoBugReport(true);
  settings.SetFilter1ShowSetting(ssSimpleBox);
  settings.SetFilter1Assistant("One");
  settings.SetFilter2ShowSetting(Reporter::Settings::ssDetailBox);
  settings.SetGeneralNoHandlers(true);

  const auto first = ApplyClassFilter(settings, {"EUpdateWork", "Exception"});
  EXPECT_EQ(first.Rule, 1);
  EXPECT_FALSE(first.CreateBugReport);
  EXPECT_TRUE(first.CallHandlers);
  EXPECT_EQ(first.ShowSetting, ssSimpleBox);
  EXPECT_EQ(first.ShowAssistant, "One");

  const auto second = ApplyClassFilter(settings, {"EFOpenError", "Exception"});
  EXPECT_EQ(second.Rule, 2);
  EXPECT_TRUE(second.CreateBugReport);
  EXPECT_EQ(second.ShowSetting, Reporter::Settings::ssDetailBox);

  const auto general = ApplyClassFilter(settings, {"out_of_range", "exception"});
  EXPECT_EQ(general.Rule, 0);
  EXPECT_FALSE(general.CallHandlers);
}

TEST(ClassFilter, ScreenShotsAndSuspensionNeedTheirSettingsToo) {
  TFakeSettings settings;
  EXPECT_FALSE(ApplyClassFilter(settings, {"Exception"}).CreateScreenShot);
  settings.SetScreenShotDepth(8);
  settings.SetSuspendThreads(true);
  const auto result = ApplyClassFilter(settings, {"Exception"});
  EXPECT_TRUE(result.CreateScreenShot);
  EXPECT_TRUE(result.SuspendThreads);
}

// Update's own settings, which this test program carries.
TEST(ClassFilter, ProgramSettingsGiveAnEditErrorAndItsDescendantsNoReport) {
  for (const std::exception_ptr& raised :
       {Raised(EDBEditError("Feld leer")), Raised(EMaskedEditError("Maske"))}) {
    TExceptionRequest request;
    request.ExceptObject = raised;
    const auto reported = CreateReportedException(std::move(request));
    ASSERT_NE(reported, nullptr);
    EXPECT_FALSE(reported->GetCreateBugReport());
    EXPECT_FALSE(reported->GetCallHandlers());
    EXPECT_EQ(reported->GetShowSetting(), ssSimpleBox);
    EXPECT_EQ(reported->GetBugReport(true, -1), "");
  }
  TExceptionRequest request;
  request.ExceptObject = Raised(Update::Work::EUpdateWork("gesperrt"));
  const auto reported = CreateReportedException(std::move(request));
  ASSERT_NE(reported, nullptr);
  EXPECT_TRUE(reported->GetCreateBugReport());
  EXPECT_TRUE(reported->GetCallHandlers());
  EXPECT_EQ(reported->GetShowSetting(), ssFullBox);
  EXPECT_EQ(reported->GetExceptClass(), "EUpdateWork");
}

}  // namespace
