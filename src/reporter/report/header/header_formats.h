#pragma once

#include <cstdint>
#include <string>

// How the header writes durations and sizes.
namespace Reporter::Report {

// "1 day 1 hour", "2 hours 2 minutes", "59 seconds"; "" for 0 (and below).
std::string DurationToStr(std::int64_t seconds);

// "1023 Bytes", "1,50 KB", "100,00 MB", "2,00 GB" with the given decimal separator.
std::string SizeToStr(std::uint64_t bytes, char decimalSeparator);
// The same with this machine's decimal separator, read once.
std::string SizeToStr(std::uint64_t bytes);
// That separator: the first character of the user's, "," when it cannot be read.
char ReportDecimalSeparator();

}  // namespace Reporter::Report
