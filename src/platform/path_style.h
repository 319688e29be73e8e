#pragma once

// Path rules differ by platform in their separators only. Portable path logic takes the
// style as a parameter so that the Windows rules are tested on every build.
namespace Platform {

enum class PathStyle { Windows, Posix };

// The style of the platform this program was built for.
PathStyle NativePathStyle();

}  // namespace Platform
