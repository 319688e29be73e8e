#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Objects that every module of this process finds under one name, so that a library and the
// executable that loaded it share a single instance. Windows appends "$" and the process id in
// lower-case hexadecimal to the name and uses a named mutex and a named file mapping; POSIX
// keeps them in a table of the process, found by the same names.
namespace Platform {

// The name with "$" and this process's id in lower-case hexadecimal appended.
std::string ProcessObjectName(std::string_view baseName);

// Holds the process's named lock from construction to destruction.
class ProcessNamedLock {
 public:
  explicit ProcessNamedLock(std::string_view baseName);
  ~ProcessNamedLock();
  ProcessNamedLock(const ProcessNamedLock&) = delete;
  ProcessNamedLock& operator=(const ProcessNamedLock&) = delete;

  // False when the lock could not be made or taken; the holder then goes on unguarded.
  [[nodiscard]] bool Held() const { return held_; }

 private:
  std::uintptr_t handle_ = 0;
  bool held_ = false;
};

// A pointer-sized cell of the process found by name. The first opener creates it (filled with
// a null pointer); it lives until that opener closes it. Later openers read it and close their
// own view again. Callers serialize Open and Close with a ProcessNamedLock.
class ProcessPointerSlot {
 public:
  ProcessPointerSlot() = default;
  ~ProcessPointerSlot() { Close(); }
  ProcessPointerSlot(const ProcessPointerSlot&) = delete;
  ProcessPointerSlot& operator=(const ProcessPointerSlot&) = delete;

  // Creates or opens the cell; false when neither is possible. `created` tells which.
  [[nodiscard]] bool Open(std::string_view baseName, bool& created);
  void* Get() const;
  void Set(void* value);
  void Close();

 private:
  [[maybe_unused]] std::uintptr_t handle_ = 0;  // the mapping, where the system keeps the cell
  void* view_ = nullptr;
  std::string name_;
  bool creator_ = false;
};

}  // namespace Platform
