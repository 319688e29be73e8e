#include "platform/window.h"

#include <dlfcn.h>

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process.h"

namespace Platform {
namespace {

// The few Xlib types and entry points used here. libX11 is opened at run time, so neither
// its headers nor the library are needed to build.
struct Display;
using XWindow = unsigned long;
using Atom = unsigned long;
using Bool = int;
using Status = int;
struct XClassHint {
  char* res_name;
  char* res_class;
};
using ErrorHandler = int (*)(Display*, void*);
using IOErrorHandler = int (*)(Display*);
using IOErrorExitHandler = void (*)(Display*, void*);

constexpr Atom kAnyPropertyType = 0;
constexpr Atom kStringAtom = 31;  // XA_STRING
constexpr Atom kWmNameAtom = 39;  // XA_WM_NAME
constexpr int kPropModeReplace = 0;
constexpr int kSuccess = 0;
constexpr long kMaxPropertyLongs = 1 << 16;

struct Xlib {
  Status (*InitThreads)();
  Display* (*OpenDisplay)(const char*);
  XWindow (*DefaultRootWindow)(Display*);
  Status (*QueryTree)(Display*, XWindow, XWindow*, XWindow*, XWindow**, unsigned int*);
  int (*Free)(void*);
  Status (*GetClassHint)(Display*, XWindow, XClassHint*);
  int (*SetClassHint)(Display*, XWindow, XClassHint*);
  Atom (*InternAtom)(Display*, const char*, Bool);
  int (*GetWindowProperty)(Display*, XWindow, Atom, long, long, Bool, Atom, Atom*, int*,
                           unsigned long*, unsigned long*, unsigned char**);
  int (*ChangeProperty)(Display*, XWindow, Atom, Atom, int, int, const unsigned char*, int);
  ErrorHandler (*SetErrorHandler)(ErrorHandler);
  IOErrorHandler (*SetIOErrorHandler)(IOErrorHandler);
  // libX11 1.7 and later; without it a lost display ends the process.
  void (*SetIOErrorExitHandler)(Display*, IOErrorExitHandler, void*);
  int (*CloseDisplay)(Display*);
  XWindow (*CreateSimpleWindow)(Display*, XWindow, int, int, unsigned int, unsigned int,
                                unsigned int, unsigned long, unsigned long);
  int (*MapWindow)(Display*, XWindow);
  int (*DestroyWindow)(Display*, XWindow);
  int (*Sync)(Display*, Bool);

  Display* display = nullptr;
  Atom utf8String = 0;
  Atom netWmName = 0;
};

template <typename Function>
bool Resolve(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

// A window that went away between listing and asking would otherwise end the process.
int IgnoreError(Display*, void*) {
  return 0;
}

// Set when the connection broke, by Xlib inside a call made under XLock.
bool gDisplayLost = false;

// Xlib's own handlers print a line to standard error and end the process when the
// connection to the display breaks (its server ended, or the network went). Here the call
// that met it fails instead, the probe sees no window, and the next call connects anew.
int IgnoreLostDisplay(Display*) {
  return 0;
}
void NoteLostDisplay(Display*, void*) {
  gDisplayLost = true;
}

std::optional<Xlib> Connect() {
  if (EnvironmentValue("DISPLAY").empty()) return std::nullopt;
  void* library = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return std::nullopt;
  Xlib x;
  const bool resolved =
      Resolve(library, "XInitThreads", x.InitThreads) &&
      Resolve(library, "XOpenDisplay", x.OpenDisplay) &&
      Resolve(library, "XDefaultRootWindow", x.DefaultRootWindow) &&
      Resolve(library, "XQueryTree", x.QueryTree) && Resolve(library, "XFree", x.Free) &&
      Resolve(library, "XGetClassHint", x.GetClassHint) &&
      Resolve(library, "XSetClassHint", x.SetClassHint) &&
      Resolve(library, "XInternAtom", x.InternAtom) &&
      Resolve(library, "XGetWindowProperty", x.GetWindowProperty) &&
      Resolve(library, "XChangeProperty", x.ChangeProperty) &&
      Resolve(library, "XSetErrorHandler", x.SetErrorHandler) &&
      Resolve(library, "XCreateSimpleWindow", x.CreateSimpleWindow) &&
      Resolve(library, "XMapWindow", x.MapWindow) &&
      Resolve(library, "XDestroyWindow", x.DestroyWindow) && Resolve(library, "XSync", x.Sync) &&
      Resolve(library, "XSetIOErrorHandler", x.SetIOErrorHandler) &&
      Resolve(library, "XCloseDisplay", x.CloseDisplay);
  if (!resolved) {
    dlclose(library);
    return std::nullopt;
  }
  if (!Resolve(library, "XSetIOErrorExitHandler", x.SetIOErrorExitHandler)) {
    x.SetIOErrorExitHandler = nullptr;
  }
  x.InitThreads();
  x.display = x.OpenDisplay(nullptr);
  if (x.display == nullptr) {
    dlclose(library);
    return std::nullopt;
  }
  x.SetErrorHandler(IgnoreError);
  // An older library still ends the process; its own handler then says why.
  if (x.SetIOErrorExitHandler != nullptr) {
    x.SetIOErrorHandler(IgnoreLostDisplay);
    x.SetIOErrorExitHandler(x.display, NoteLostDisplay, nullptr);
  }
  x.utf8String = x.InternAtom(x.display, "UTF8_STRING", 0);
  x.netWmName = x.InternAtom(x.display, "_NET_WM_NAME", 0);
  // The library and the connection stay for the life of the process: the updater asks often.
  return x;
}

std::mutex& XLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

// The connection, opened on first use and again after it was lost; null without a display
// or libX11. Caller holds XLock.
const Xlib* Connection() {
  static std::optional<Xlib>* connection = new std::optional<Xlib>(Connect());
  if (gDisplayLost) {
    if (connection->has_value()) (*connection)->CloseDisplay((*connection)->display);
    gDisplayLost = false;
    *connection = Connect();
  }
  return connection->has_value() ? &connection->value() : nullptr;
}

std::string Latin1ToUtf8(std::string_view text) {
  std::string utf8;
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (code >> 6));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return utf8;
}

// ICCCM's STRING is Latin-1; a caption outside it goes as UTF8_STRING.
std::optional<std::string> Utf8ToLatin1(std::string_view utf8) {
  std::string latin1;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto code = static_cast<unsigned char>(utf8[i]);
    if (code < 0x80) {
      latin1 += utf8[i];
    } else if ((code == 0xC2 || code == 0xC3) && i + 1 < utf8.size() &&
               (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
      latin1 += static_cast<char>(((code & 0x03) << 6) | (utf8[++i] & 0x3F));
    } else {
      return std::nullopt;
    }
  }
  return latin1;
}

// An 8-bit text property as UTF-8; false when the window has none.
bool TextProperty(const Xlib& x, XWindow window, Atom property, bool utf8Only, std::string& text) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  if (x.GetWindowProperty(x.display, window, property, 0, kMaxPropertyLongs, 0, kAnyPropertyType,
                          &type, &format, &count, &remaining, &data) != kSuccess) {
    return false;
  }
  const bool found = data != nullptr && format == 8 && (!utf8Only || type == x.utf8String);
  if (found) {
    text.assign(reinterpret_cast<const char*>(data), count);
    if (type == kStringAtom) text = Latin1ToUtf8(text);
  }
  if (data != nullptr) x.Free(data);
  return found;
}

bool ClassMatches(const Xlib& x, XWindow window, const std::string& windowClass) {
  XClassHint hint{nullptr, nullptr};
  if (!x.GetClassHint(x.display, window, &hint)) return false;
  const bool same = hint.res_class != nullptr && windowClass == hint.res_class;
  if (hint.res_name != nullptr) x.Free(hint.res_name);
  if (hint.res_class != nullptr) x.Free(hint.res_class);
  return same;
}

bool CaptionMatches(const Xlib& x, XWindow window, const std::string& caption) {
  std::string text;
  if (!TextProperty(x, window, x.netWmName, true, text) &&
      !TextProperty(x, window, kWmNameAtom, false, text)) {
    return false;
  }
  return text == caption;
}

bool Matches(const Xlib& x, XWindow window, const std::string* windowClass,
             const std::string* caption) {
  return (windowClass == nullptr || ClassMatches(x, window, *windowClass)) &&
         (caption == nullptr || CaptionMatches(x, window, *caption));
}

// The children of a window; empty when it has none or has gone.
std::vector<XWindow> Children(const Xlib& x, XWindow window) {
  XWindow root = 0;
  XWindow parent = 0;
  XWindow* children = nullptr;
  unsigned int count = 0;
  std::vector<XWindow> result;
  if (x.QueryTree(x.display, window, &root, &parent, &children, &count) && children != nullptr) {
    result.assign(children, children + count);
  }
  if (children != nullptr) x.Free(children);
  return result;
}

void SetText(const Xlib& x, XWindow window, Atom property, Atom type, const std::string& text) {
  x.ChangeProperty(x.display, window, property, type, 8, kPropModeReplace,
                   reinterpret_cast<const unsigned char*>(text.data()),
                   static_cast<int>(text.size()));
}

}  // namespace

bool TopLevelWindowExists(const std::string* windowClass, const std::string* caption) {
  try {
    std::lock_guard<std::mutex> lock(XLock());
    const Xlib* x = Connection();
    if (x == nullptr) return false;
    for (const XWindow topLevel : Children(*x, x->DefaultRootWindow(x->display))) {
      // Every call on a lost connection fails at once; no need to make them.
      if (gDisplayLost) return false;
      if (Matches(*x, topLevel, windowClass, caption)) return true;
      // A reparenting window manager puts each program's window into a frame of its own.
      for (const XWindow framed : Children(*x, topLevel)) {
        if (Matches(*x, framed, windowClass, caption)) return true;
      }
    }
  } catch (...) {
  }
  return false;
}

struct TopLevelWindow::Impl {
  XWindow window = 0;
};

TopLevelWindow::TopLevelWindow(const std::string& windowClass, const std::string& caption) {
  try {
    std::lock_guard<std::mutex> lock(XLock());
    const Xlib* x = Connection();
    if (x == nullptr) return;
    const XWindow window = x->CreateSimpleWindow(x->display, x->DefaultRootWindow(x->display), 0, 0,
                                                 400, 200, 1, 0, 0xFFFFFF);
    if (window == 0) return;
    std::string name = windowClass;
    XClassHint hint{name.data(), name.data()};
    x->SetClassHint(x->display, window, &hint);
    const std::optional<std::string> latin1 = Utf8ToLatin1(caption);
    if (latin1) {
      SetText(*x, window, kWmNameAtom, kStringAtom, *latin1);
    } else {
      SetText(*x, window, kWmNameAtom, x->utf8String, caption);
    }
    SetText(*x, window, x->netWmName, x->utf8String, caption);
    x->MapWindow(x->display, window);
    x->Sync(x->display, 0);
    impl_ = new Impl{window};
  } catch (...) {
  }
}

TopLevelWindow::~TopLevelWindow() {
  if (impl_ == nullptr) return;
  try {
    std::lock_guard<std::mutex> lock(XLock());
    const Xlib* x = Connection();
    if (x != nullptr) {
      x->DestroyWindow(x->display, impl_->window);
      x->Sync(x->display, 0);
    }
  } catch (...) {
  }
  delete impl_;
}

}  // namespace Platform
