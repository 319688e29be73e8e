#include "reporter/report/minidump/minidump_format.h"

#include <string_view>

#include "reporter/report/minidump/dump_buffer.h"
#include "rtl/text.h"

namespace Reporter::Report::Minidump {
namespace {

struct TLocation {
  std::uint32_t Size = 0;
  std::uint32_t Rva = 0;
};

struct TStream {
  std::uint32_t Type = 0;
  TLocation Location;
};

TLocation AppendBlob(TDumpBuffer& file, const void* data, std::size_t size) {
  file.Align(8);
  const std::uint32_t rva = file.Append(data, size);
  return {static_cast<std::uint32_t>(size), rva};
}

// A length-prefixed UTF-16 text with a terminating zero that the length leaves out.
std::uint32_t AppendString(TDumpBuffer& file, std::string_view utf8) {
  const std::u16string text = RTL::Text::Utf8ToUtf16(utf8);
  file.Align(4);
  const std::uint32_t rva = file.Reserve(4 + 2 * (text.size() + 1));
  file.Put32(rva, static_cast<std::uint32_t>(2 * text.size()));
  for (std::size_t i = 0; i < text.size(); ++i) {
    file.Put16(static_cast<std::uint32_t>(rva + 4 + 2 * i), static_cast<std::uint16_t>(text[i]));
  }
  return rva;
}

void PutLocation(TDumpBuffer& file, std::uint32_t at, TLocation location) {
  file.Put32(at, location.Size);
  file.Put32(at + 4, location.Rva);
}

struct TThreadData {
  TLocation Context;
  TLocation Stack;
};

TStream ThreadList(TDumpBuffer& file, const std::vector<TDumpThread>& threads,
                   const std::vector<TThreadData>& data) {
  file.Align(8);
  const std::uint32_t rva = file.Reserve(4 + kThreadSize * threads.size());
  file.Put32(rva, static_cast<std::uint32_t>(threads.size()));
  for (std::size_t i = 0; i < threads.size(); ++i) {
    const std::uint32_t at = static_cast<std::uint32_t>(rva + 4 + kThreadSize * i);
    file.Put32(at, threads[i].Id);
    file.Put64(at + 24, threads[i].StackStart);
    PutLocation(file, at + 32, data[i].Stack);
    PutLocation(file, at + 40, data[i].Context);
  }
  return {kThreadListStream, {file.Size() - rva, rva}};
}

TStream MemoryList(TDumpBuffer& file, const std::vector<TDumpThread>& threads,
                   const std::vector<TThreadData>& data) {
  std::size_t count = 0;
  for (const TThreadData& thread : data) count += thread.Stack.Size != 0 ? 1 : 0;
  file.Align(8);
  const std::uint32_t rva = file.Reserve(4 + kMemoryDescriptorSize * count);
  file.Put32(rva, static_cast<std::uint32_t>(count));
  std::uint32_t at = rva + 4;
  for (std::size_t i = 0; i < threads.size(); ++i) {
    if (data[i].Stack.Size == 0) continue;
    file.Put64(at, threads[i].StackStart);
    PutLocation(file, at + 8, data[i].Stack);
    at += kMemoryDescriptorSize;
  }
  return {kMemoryListStream, {file.Size() - rva, rva}};
}

TStream ModuleList(TDumpBuffer& file, const std::vector<Platform::TDumpModule>& modules) {
  std::vector<std::uint32_t> names;
  std::vector<TLocation> codeViews;
  for (const Platform::TDumpModule& module : modules) {
    names.push_back(AppendString(file, module.Path));
    TLocation codeView;
    if (!module.BuildId.empty()) {
      file.Align(4);
      codeView.Rva = file.Reserve(4);
      file.Put32(codeView.Rva, kElfBuildIdSignature);
      file.Append(module.BuildId.data(), module.BuildId.size());
      codeView.Size = static_cast<std::uint32_t>(4 + module.BuildId.size());
    }
    codeViews.push_back(codeView);
  }
  file.Align(8);
  const std::uint32_t rva = file.Reserve(4 + kModuleSize * modules.size());
  file.Put32(rva, static_cast<std::uint32_t>(modules.size()));
  for (std::size_t i = 0; i < modules.size(); ++i) {
    const std::uint32_t at = static_cast<std::uint32_t>(rva + 4 + kModuleSize * i);
    file.Put64(at, modules[i].Base);
    file.Put32(at + 8, static_cast<std::uint32_t>(modules[i].Size));
    file.Put32(at + 20, names[i]);
    PutLocation(file, at + 76, codeViews[i]);
  }
  return {kModuleListStream, {file.Size() - rva, rva}};
}

TStream Exception(TDumpBuffer& file, const TDumpException& exception, TLocation context) {
  file.Align(8);
  const std::uint32_t rva = file.Reserve(kExceptionStreamSize);
  file.Put32(rva, exception.ThreadId);
  file.Put32(rva + 8, exception.Code);
  file.Put32(rva + 12, exception.Flags);
  file.Put64(rva + 24, exception.Address);
  PutLocation(file, rva + 160, context);
  return {kExceptionStream, {kExceptionStreamSize, rva}};
}

TStream SystemInfo(TDumpBuffer& file, const Platform::TDumpSystem& system) {
  const std::uint32_t description = AppendString(file, system.Description);
  file.Align(8);
  const std::uint32_t rva = file.Reserve(kSystemInfoSize);
  file.Put16(rva, system.Processor == Platform::TDumpProcessor::X86_64 ? kArchitectureAmd64
                                                                       : kArchitectureX86);
  file.Put16(rva + 2, system.ProcessorLevel);
  file.Put16(rva + 4, system.ProcessorRevision);
  file.Put8(rva + 6, system.ProcessorCount);
  file.Put32(rva + 8, system.MajorVersion);
  file.Put32(rva + 12, system.MinorVersion);
  file.Put32(rva + 16, system.BuildNumber);
  file.Put32(rva + 20, kPlatformLinux);
  file.Put32(rva + 24, description);
  for (std::size_t i = 0; i < system.VendorId.size(); ++i) {
    file.Put32(static_cast<std::uint32_t>(rva + 32 + 4 * i), system.VendorId[i]);
  }
  file.Put32(rva + 44, system.VersionInformation);
  file.Put32(rva + 48, system.FeatureInformation);
  return {kSystemInfoStream, {kSystemInfoSize, rva}};
}

TStream Text(TDumpBuffer& file, std::uint32_t type, const std::string& text) {
  return {type, AppendBlob(file, text.data(), text.size())};
}

}  // namespace

std::vector<std::uint8_t> FormatMinidump(const TDumpContents& contents, std::uint32_t timeStamp) {
  TDumpBuffer file;
  file.Reserve(kHeaderSize);
  const Platform::TDumpProcessor processor = contents.System.Processor;

  std::vector<TThreadData> threadData;
  threadData.reserve(contents.Threads.size());
  for (const TDumpThread& thread : contents.Threads) {
    TThreadData data;
    const std::vector<std::uint8_t> context = ContextRecord(thread.Context, processor);
    data.Context = AppendBlob(file, context.data(), context.size());
    if (!thread.Stack.empty())
      data.Stack = AppendBlob(file, thread.Stack.data(), thread.Stack.size());
    threadData.push_back(data);
  }

  std::vector<TStream> streams;
  streams.push_back(ThreadList(file, contents.Threads, threadData));
  streams.push_back(ModuleList(file, contents.Modules));
  streams.push_back(MemoryList(file, contents.Threads, threadData));
  if (contents.Exception) {
    const std::vector<std::uint8_t> context = ContextRecord(contents.Exception->Context, processor);
    const TLocation location = AppendBlob(file, context.data(), context.size());
    streams.push_back(Exception(file, *contents.Exception, location));
  }
  streams.push_back(SystemInfo(file, contents.System));
  if (!contents.MemoryMap.empty()) {
    streams.push_back(Text(file, kLinuxMapsStream, contents.MemoryMap));
  }
  if (!contents.ProcessStatus.empty()) {
    streams.push_back(Text(file, kLinuxProcStatusStream, contents.ProcessStatus));
  }

  file.Align(4);
  const std::uint32_t directory = file.Reserve(kDirectoryEntrySize * streams.size());
  for (std::size_t i = 0; i < streams.size(); ++i) {
    const std::uint32_t at = static_cast<std::uint32_t>(directory + kDirectoryEntrySize * i);
    file.Put32(at, streams[i].Type);
    PutLocation(file, at + 4, streams[i].Location);
  }
  file.Put32(0, kSignature);
  file.Put32(4, kVersion);
  file.Put32(8, static_cast<std::uint32_t>(streams.size()));
  file.Put32(12, directory);
  file.Put32(20, timeStamp);
  return std::move(file.Bytes());
}

}  // namespace Reporter::Report::Minidump
