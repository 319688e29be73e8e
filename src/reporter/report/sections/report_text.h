#pragma once

#include <string>

#include "reporter/report/header/field_pairs.h"

namespace Reporter::Report {

// The bug report text: the header lines with their keys padded to one column, then every
// section after an empty line. "\r\n" separates lines; nothing follows the last one.
std::string ComposeReportText(const TFieldPairs& header, const TFieldPairs& sections);

}  // namespace Reporter::Report
