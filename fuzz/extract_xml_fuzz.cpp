// libFuzzer target: the tracker's replies are read by a text scan that must take any bytes
// without reading outside them, crashing or hanging. Built and run by scripts/fuzz.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "reporter/delivery/report_text.h"
#include "reporter/delivery/xml_extract.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // The reply as the upload reads it: the elements it looks for, each value decoded after.
  if (Reporter::Delivery::ReplaceEntities(bytes).size() > bytes.size()) __builtin_trap();
  const std::string reply = Reporter::Delivery::ExtractXmlContent(bytes, "response>");
  if (reply.size() > bytes.size()) __builtin_trap();
  for (const char* key : {"minversion>", "version>", "url>", "token>", "error"}) {
    const std::string value = Reporter::Delivery::ExtractXml(bytes, key);
    if (value.size() > bytes.size()) __builtin_trap();
  }
  Reporter::Delivery::ExtractXmlList(reply, "area>", "sArea");
  Reporter::Delivery::ExtractXmlList(reply, "project>", "sProject");
  // A key taken from the input itself, up to its first NUL.
  const std::string_view key =
      bytes.substr(0, bytes.find('\0') == std::string_view::npos ? std::min<std::size_t>(size, 8)
                                                                 : bytes.find('\0'));
  Reporter::Delivery::ExtractXml(bytes, key);
  Reporter::Delivery::ExtractXmlList(bytes, key, key);
  // The same bytes as a bug report whose sections are read back.
  Reporter::Delivery::FindReportSection(bytes, "error details");
  return 0;
}
