#include "reporter/report/sections/location_line.h"

#include "reporter/report/sections/location_resolver.h"
#include "reporter/report/sections/section_format.h"

namespace Reporter::Report {

std::string FormatLocationLine(Tracer::Address address,
                               const std::optional<Tracer::TFinalOutput>& location,
                               const TSectionOptions& options) {
  std::string line = HexAddress(address);
  if (!location) return line + (options.ShowRelAddrs ? " +0 ???" : " ???");
  if (options.ShowRelAddrs) {
    const bool startKnown = location->PublicAddr != 0 && location->PublicAddr <= address;
    line += " +" + HexNumber(startKnown ? address - location->PublicAddr : 0);
  }
  line += " " + location->ModuleName + " " + location->UnitName + " ";
  if (location->Line > 0) line += std::to_string(location->Line) + " ";
  if (options.ShowRelLines) {
    const bool relKnown = location->Line > 0 && location->PublicLine > 0;
    line += "+" + std::to_string(relKnown ? location->Line - location->PublicLine : 0) + " ";
  }
  return line + location->PublicName;
}

std::string LocationLine(Tracer::Address address, const TSectionOptions& options) {
  return FormatLocationLine(address, ResolveAddress(address, options.ShowRelLines), options);
}

}  // namespace Reporter::Report

namespace Reporter::Report {

std::string InternalErrorText(std::string_view producer, Tracer::Address failureAddress,
                              const TSectionOptions& options) {
  std::string text = ">> internal error in " + std::string(producer);
  if (failureAddress != 0) text += ":\r\n" + LocationLine(failureAddress, options);
  return text;
}

std::string FailedTraceText(const Tracer::TTraceResult& result, bool exceptThread,
                            Tracer::Address exceptAddr, const TSectionOptions& options) {
  std::string text = InternalErrorText(result.FailedStage, result.FailureAddress, options);
  if (exceptThread) {
    text += "\r\n>> original exception location: \r\n" + LocationLine(exceptAddr, options);
  }
  return text;
}

}  // namespace Reporter::Report
