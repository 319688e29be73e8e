#include "platform/path_style.h"

namespace Platform {

PathStyle NativePathStyle() {
  return PathStyle::Windows;
}

}  // namespace Platform
