#include "platform/path_style.h"

namespace Platform {

PathStyle NativePathStyle() {
  return PathStyle::Posix;
}

}  // namespace Platform
