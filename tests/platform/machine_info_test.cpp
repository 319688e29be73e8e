// The machine facts: the readers of the Linux system files on made-up texts (every build), and
// what this machine answers, checked loosely.

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/machine_info.h"

namespace {

using namespace Platform;

TEST(LanguageNameOfLocale, LanguageCodeBeforeTerritoryAndCodeset) {
  EXPECT_EQ(LanguageNameOfLocale("de_DE.UTF-8"), "German");
  EXPECT_EQ(LanguageNameOfLocale("fr_FR@euro"), "French");
  EXPECT_EQ(LanguageNameOfLocale("en"), "English");
  EXPECT_EQ(LanguageNameOfLocale("pt_BR.utf8"), "Portuguese");
}

TEST(LanguageNameOfLocale, ThePortableLocaleIsEnglish) {
  EXPECT_EQ(LanguageNameOfLocale(""), "English");
  EXPECT_EQ(LanguageNameOfLocale("C"), "English");
  EXPECT_EQ(LanguageNameOfLocale("C.UTF-8"), "English");
  EXPECT_EQ(LanguageNameOfLocale("POSIX"), "English");
}

TEST(LanguageNameOfLocale, UnknownCodesStayAsWritten) {
  EXPECT_EQ(LanguageNameOfLocale("tlh_QO.UTF-8"), "tlh");
}

TEST(RemoteClientOfSsh, FirstWordOfTheClientElseOfTheConnection) {
  EXPECT_EQ(RemoteClientOfSsh("192.168.1.7 53412 22", "10.0.0.1 1 10.0.0.2 22"), "192.168.1.7");
  EXPECT_EQ(RemoteClientOfSsh("", "10.0.0.1 53412 10.0.0.2 22"), "10.0.0.1");
  EXPECT_EQ(RemoteClientOfSsh("  ", ""), "");
}

TEST(ProcessorsOfCpuInfo, FirstNameAndNumberOfEntries) {
  const TProcessorInfo info = ProcessorsOfCpuInfo(
      "processor\t: 0\nmodel name\t: Intel(R) Core(TM)  i5-8250U\nflags\t: fpu\n\n"
      "processor\t: 1\nmodel name\t: Intel(R) Core(TM)  i5-8250U\n");
  EXPECT_EQ(info.Name, "Intel(R) Core(TM)  i5-8250U");
  EXPECT_EQ(info.Count, 2);
}

TEST(ProcessorsOfCpuInfo, CountStopsAtSixteen) {
  std::string text;
  for (int i = 0; i < 64; ++i) text += "model name : Xeon\n";
  EXPECT_EQ(ProcessorsOfCpuInfo(text).Count, kMaxProcessorCount);
}

TEST(ProcessorsOfCpuInfo, NoModelNameNoProcessor) {
  const TProcessorInfo info = ProcessorsOfCpuInfo("processor : 0\nHardware : BCM2835\n");
  EXPECT_EQ(info.Count, 0);
  EXPECT_EQ(info.Name, "");
}

TEST(PhysicalMemoryOfMemInfo, AvailableCountsAsFree) {
  const auto memory = PhysicalMemoryOfMemInfo(
      "MemTotal:       16318360 kB\nMemFree:          524288 kB\nMemAvailable:    8159180 kB\n");
  ASSERT_TRUE(memory);
  EXPECT_EQ(memory->TotalBytes, 16318360ull * 1024);
  EXPECT_EQ(memory->FreeBytes, 8159180ull * 1024);
}

TEST(PhysicalMemoryOfMemInfo, OldKernelsGiveOnlyFree) {
  const auto memory = PhysicalMemoryOfMemInfo("MemTotal: 2048 kB\nMemFree: 1024 kB\n");
  ASSERT_TRUE(memory);
  EXPECT_EQ(memory->FreeBytes, 1024u * 1024);
}

TEST(PhysicalMemoryOfMemInfo, WithoutATotalThereIsNothing) {
  EXPECT_FALSE(PhysicalMemoryOfMemInfo(""));
  EXPECT_FALSE(PhysicalMemoryOfMemInfo("MemTotal: lots\nMemFree: 1 kB\n"));
}

TEST(PrettyNameOfOsRelease, QuotesAndEscapesRemoved) {
  EXPECT_EQ(PrettyNameOfOsRelease("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 "
                                  "(bookworm)\"\nID=debian\n"),
            "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(PrettyNameOfOsRelease("PRETTY_NAME='It\\'s \\\"ours\\\"'\n"), "It's \"ours\"");
  EXPECT_EQ(PrettyNameOfOsRelease("PRETTY_NAME=Plain\n"), "Plain");
}

TEST(PrettyNameOfOsRelease, NameWhenThereIsNoPrettyName) {
  EXPECT_EQ(PrettyNameOfOsRelease("NAME=Alpine\nID=alpine\n"), "Alpine");
  EXPECT_EQ(PrettyNameOfOsRelease("# PRETTY_NAME=commented\nID=x\n"), "");
}

TEST(MachineInfo, ThisMachineAnswersTheBasicFacts) {
  EXPECT_FALSE(CurrentUserAccount().Name.empty());
  EXPECT_FALSE(SystemLanguageName().empty());
  EXPECT_FALSE(CompilerDescription().empty());
  EXPECT_NE(DecimalSeparator(), '\0');
  const TOperatingSystem system = QueryOperatingSystem();
  EXPECT_TRUE(system.Version || !system.Description.empty());
}

TEST(MachineInfo, ThisMachineHasMemoryProcessorsAndADisk) {
  const auto memory = QueryPhysicalMemory();
  ASSERT_TRUE(memory);
  EXPECT_GT(memory->TotalBytes, 0u);
  EXPECT_LE(memory->FreeBytes, memory->TotalBytes);
  const TProcessorInfo processors = QueryProcessors();
  EXPECT_LE(processors.Count, kMaxProcessorCount);
  const std::vector<TDiskSpace> disks = QueryFreeDiskSpace();
  ASSERT_FALSE(disks.empty());
  EXPECT_LE(disks.size(), 2u);
  for (const TDiskSpace& disk : disks) EXPECT_FALSE(disk.Root.empty());
}

TEST(MachineInfo, ThisProcessUsesMemoryAndHasFreeAddressSpace) {
  EXPECT_GT(AllocatedMemoryOutsideModules(), 0u);
  EXPECT_GT(LargestFreeAddressBlock(), 0u);
  const auto upTime = ProcessUpTimeMilliseconds();
  if (upTime) {
    EXPECT_GE(*upTime, 0);
  }
  const auto systemUpTime = SystemUpTimeSeconds();
  ASSERT_TRUE(systemUpTime);
  EXPECT_GE(*systemUpTime, 0);
}

TEST(MachineInfo, ExecutableWriteTimeIsADate) {
  const auto written = ExecutableWriteTime();
  ASSERT_TRUE(written);
  EXPECT_GE(written->Year, 1980);
  EXPECT_GE(written->Month, 1);
  EXPECT_LE(written->Month, 12);
  EXPECT_GE(written->Day, 1);
  EXPECT_LE(written->Day, 31);
}

// Registered a second time to run on a virtual screen of its own, where it must answer.
TEST(MachineInfoDisplay, ScreenAnswersWithItsModeWhenThereIsOne) {
  const auto mode = QueryDisplayMode();
  if (!mode && std::getenv("UPDATE_EXPECT_SCREEN") != nullptr)
    FAIL() << "the screen did not answer";
  if (!mode) GTEST_SKIP() << "no screen to ask";
  EXPECT_GT(mode->Width, 0);
  EXPECT_GT(mode->Height, 0);
  EXPECT_GT(mode->BitsPerPixel, 0);
  EXPECT_LE(mode->BitsPerPixel, 32);
}

TEST(MachineInfo, DatabaseEngineIsNotLoaded) {
  EXPECT_FALSE(LoadedLibraryVersion("idapi32.dll"));
}

}  // namespace
