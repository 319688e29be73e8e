#pragma once

#include <string>
#include <vector>

#include "platform/system_lists.h"

// The "modules" section: one line per module image of the process.
namespace Reporter::Report {

// By ascending base address: the base in hexadecimal (at least 8 digits, as many as the
// largest base needs), a space, the file name, the version and the directory, the name and
// version columns one wider than their longest entry.
std::string FormatModuleList(std::vector<Platform::TModuleRecord> modules);

// The list of this process's modules.
std::string ModuleListText();

}  // namespace Reporter::Report
