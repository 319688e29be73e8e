#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file.h"

namespace RTL {

// The file handed out by TWaitForFileWritable: open in the mode it was opened with until
// the stream is released.
class TFileStream {
 public:
  TFileStream(Platform::File file, std::string fileName)
      : file_(std::move(file)), fileName_(std::move(fileName)) {}
  Platform::File& File() { return file_; }
  const std::string& FileName() const { return fileName_; }

 private:
  Platform::File file_;
  std::string fileName_;
};

// A file's whole content in memory, read from its start.
class TBytesStream {
 public:
  explicit TBytesStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  std::size_t Position() const { return position_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

}  // namespace RTL
