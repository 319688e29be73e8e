#pragma once

#include <string>
#include <string_view>

#include "platform/path_style.h"

// Path texts by the rules of a path style: Windows separates with "\" (and accepts "/"), and
// knows drives ("C:") and the extended-length prefix "\\?\"; POSIX separates with "/" only.
namespace RTL::Paths {

using Platform::PathStyle;

// The separator the style writes.
char Separator(PathStyle style = Platform::NativePathStyle());

// Joins a directory and a name. An empty directory gives the name, an empty name the
// directory; a rooted name (or one with the extended-length prefix) is the result itself;
// otherwise a separator is put between them unless the directory ends with one (Windows: a
// backslash, a slash or a colon). With validation, a forbidden character in either text
// raises EArgumentException "Ungültige Zeichen im Pfad".
std::string Combine(std::string_view directory, std::string_view name, bool validate,
                    PathStyle style = Platform::NativePathStyle());

// The text after the last separator (Windows: backslash or colon; POSIX: slash), or all of it.
std::string ExtractFileName(std::string_view path, PathStyle style = Platform::NativePathStyle());
// The text up to and including that separator; empty when there is none.
std::string ExtractFilePath(std::string_view path, PathStyle style = Platform::NativePathStyle());

// The path with a trailing separator ensured (only the one the style writes counts: a
// Windows path ending with "/" gets a backslash too). An empty path gives a lone separator.
std::string IncludeTrailingSeparator(std::string_view path,
                                     PathStyle style = Platform::NativePathStyle());
// The path with one trailing separator removed, if it has one.
std::string ExcludeTrailingSeparator(std::string_view path,
                                     PathStyle style = Platform::NativePathStyle());

// Windows forbids the codes below 32 and < > " |; POSIX only NUL.
bool HasForbiddenCharacters(std::string_view path, PathStyle style = Platform::NativePathStyle());

// The checks a path passes before a file operation, in this order; each raises its error:
// too long (Windows: 260 UTF-16 units or more without the extended-length prefix; POSIX: 4096
// bytes or more) -> EPathTooLongException; a colon other than a leading drive's, behind the
// extended-length prefix if there is one (Windows) -> ENotSupportedException; empty after
// trimming or a forbidden character -> EArgumentException.
void CheckPath(std::string_view path, PathStyle style = Platform::NativePathStyle());

// The full path of a file name taken relative to the current folder, with "." and ".."
// resolved, for messages; the name itself when the platform cannot expand it.
std::string ExpandFileName(const std::string& path);

}  // namespace RTL::Paths
