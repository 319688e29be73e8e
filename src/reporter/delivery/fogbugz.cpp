// The bug tracker dialogue: the API description, logon, the lists the new case is checked
// against, the new case with its files, logoff.
#include <filesystem>
#include <string>

#include "platform/file_system.h"
#include "reporter/delivery/http_options.h"
#include "reporter/delivery/win_http.h"
#include "reporter/delivery/xml_extract.h"
#include "rtl/case_folding.h"

namespace Reporter::Delivery {
namespace {

int DecimalValue(const std::string& text) {
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
    if (value > 1000000) return value;
  }
  return value;
}

}  // namespace

std::string PercentEncode(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(utf8.size() * 3);
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        (byte >= '0' && byte <= '9')) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
  }
  return out;
}

bool TWinHttp::CheckListValue(std::string& value, const std::vector<std::string>& list) {
  for (const std::string& item : list) {
    if (RTL::Text::SameIgnoreCase(item, value)) {
      value = item;
      return true;
    }
  }
  return false;
}

bool TWinHttp::CheckDoubleListValue(std::string& value1, const std::vector<std::string>& list1,
                                    const std::string& value2,
                                    const std::vector<std::string>& list2) {
  for (std::size_t i = 0; i < list1.size() && i < list2.size(); ++i) {
    if (RTL::Text::SameIgnoreCase(list1[i], value1) &&
        RTL::Text::SameIgnoreCase(list2[i], value2)) {
      value1 = list1[i];
      return true;
    }
  }
  return false;
}

bool TWinHttp::OpenAttachments(const std::vector<std::string>& files, bool mail,
                               std::vector<TAttachmentFile>& opened, int& openedCount) {
  FPA->ClearAreas();
  FPA->AddArea(SettingText(Settings::Keys::PrepAttMsg), 500);
  if (mail) {
    FPA->AddArea(SettingText(Settings::Keys::ConnMsg), 500);
    FPA->AddArea(SettingText(Settings::Keys::SendMailMsg), 100);
  } else {
    FPA->AddArea(SettingText(Settings::Keys::ConnMsg), 5000);
  }
  opened.clear();
  openedCount = 0;
  for (const std::string& name : files) {
    TAttachmentFile file;
    if (Platform::FileExists(name)) {
      const std::u8string u8(name.begin(), name.end());
      auto stream = std::make_unique<std::ifstream>(std::filesystem::path(u8), std::ios::binary);
      if (stream->is_open()) {
        stream->seekg(0, std::ios::end);
        const std::streamoff size = stream->tellg();
        stream->seekg(0);
        if (size >= 0) {
          file.size = static_cast<std::uint64_t>(size);
          file.stream = std::move(stream);
          FPA->AddArea(SettingText(Settings::Keys::SendAttMsg), file.size / 16);
          ++openedCount;
        }
      }
    }
    opened.push_back(std::move(file));
  }
  FPA->AddArea(SettingText(Settings::Keys::SendFinalMsg), 1000);
  FPA->AreaDone();
  return openedCount > 0 || files.empty();
}

bool TWinHttp::FogBugzCall(const std::string& command, std::string& reply,
                           const std::vector<std::string>& names,
                           const std::vector<std::string>& values) {
  std::string path = FUrl + FScript + "?cmd=" + command;
  for (std::size_t i = 0; i < names.size(); ++i) {
    path += "&" + names[i] + "=" + PercentEncode(i < values.size() ? values[i] : std::string());
  }
  reply = Get(path);
  if (!reply.empty()) {
    const std::string error = ExtractXml(reply, "error");
    if (!error.empty()) {
      SetLastErrorStr(error);
      reply.clear();
    } else {
      reply = ExtractXmlContent(reply, "response>");
    }
  }
  return !reply.empty();
}

bool TWinHttp::InitFogBugz() {
  if (FInitDone) return FServerOk && FLogonOk;
  FInitDone = true;
  const std::string api = Get(FUrl + "/api.xml");
  FServerOk = DecimalValue(ExtractXml(api, "minversion>")) < 9;
  FVersion = ExtractXml(api, "version>");
  FScript = ExtractXml(api, "url>");
  if (!FScript.empty()) FScript.pop_back();
  if (FServerOk && !FScript.empty()) {
    SetProgress(111);
    FScript = "/" + FScript;
    std::string reply;
    std::string token;
    if (FogBugzCall("logon", reply, {"email", "password"},
                    {FBugTrackerUser, FBugTrackerPassword})) {
      token = ExtractXml(reply, "token>");
    }
    SetProgress(222);
    FLogonOk = !token.empty();
    if (FLogonOk) {
      if (FogBugzCall("listProjects", reply, {"fWrite", "token"}, {"1", token})) {
        FProjects = ExtractXmlList(reply, "project>", "sProject");
      }
      SetProgress(333);
      if (!FProjects.empty()) {
        if (FogBugzCall("listAreas", reply, {"fWrite", "token"}, {"1", token})) {
          FAreas = ExtractXmlList(reply, "area>", "sArea");
          FAreaProjects = ExtractXmlList(reply, "area>", "sProject");
        }
        SetProgress(444);
        if (FogBugzCall("listCategories", reply, {"token"}, {token})) {
          FCategories = ExtractXmlList(reply, "category>", "sCategory");
        }
        SetProgress(555);
        if (FogBugzCall("listPriorities", reply, {"token"}, {token})) {
          FPriorities = ExtractXmlList(reply, "priority>", "sPriority");
        }
        SetProgress(666);
        if (FogBugzCall("listPeople", reply, {"token"}, {token})) {
          FUsers = ExtractXmlList(reply, "person>", "sFullName");
        }
        SetProgress(777);
      }
      FogBugzCall("logoff", reply, {"token"}, {token});
      SetProgress(888);
    }
  }
  return FServerOk && FLogonOk;
}

bool TWinHttp::UploadBugToFogBugz(const std::string& title, const std::string& description,
                                  std::string project, std::string area, std::string assignTo,
                                  const std::string& version, const std::string& computer,
                                  const std::string& email, const std::string& crc,
                                  Settings::IFieldList& fields,
                                  const std::vector<std::string>& attachFiles,
                                  const std::vector<std::string>& attachSendAs,
                                  const std::vector<std::string>& attachFields) {
  (void)attachFields;  // the tracker wants its own part names
  std::vector<TAttachmentFile> files;
  int openedCount = 0;
  if (!OpenAttachments(attachFiles, false, files, openedCount)) {
    SetLastErrorStr("none of the attachments could be opened");
    return false;
  }
  if (!InitFogBugz()) return false;

  std::string reply;
  if (!FogBugzCall("logon", reply, {"email", "password"}, {FBugTrackerUser, FBugTrackerPassword})) {
    return false;
  }
  const std::string token = ExtractXml(reply, "token>");
  if (token.empty()) {
    if (FLastErrorStr.empty()) SetLastErrorStr("the tracker gave no token");
    return false;
  }

  std::vector<std::string> partNames(files.size());
  int counted = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (files[i].Valid()) partNames[i] = "File" + std::to_string(++counted);
  }
  FPA->AreaDone();

  if (!CheckListValue(project, FProjects)) {
    project.clear();
    area.clear();
  }
  if (!area.empty() && !CheckDoubleListValue(area, FAreas, project, FAreaProjects)) {
    area = "not spam";
    if (!CheckDoubleListValue(area, FAreas, project, FAreaProjects)) area.clear();
  }
  std::string category = "bug";
  if (!CheckListValue(category, FCategories) && !FCategories.empty()) category = FCategories[0];
  if (!CheckListValue(assignTo, FUsers)) assignTo.clear();

  fields.SetContent("cmd", "new");
  fields.SetContent("token", token);
  fields.SetContent("sTitle", title);
  fields.SetContent("sEvent", description);
  fields.SetContent("sProject", project);
  fields.SetContent("sArea", area);
  fields.SetContent("sCategory", category);
  fields.SetContent("sPersonAssignedTo", assignTo);
  fields.SetContent("sVersion", version);
  fields.SetContent("sComputer", computer);
  fields.SetContent("sCustomerEmail", email);
  fields.SetContent("ixMailbox", email);
  fields.SetContent("sScoutDescription", crc);
  fields.SetContent("nFileCount", std::to_string(openedCount));

  const bool posted =
      InternalPost(FUrl + FScript, {}, files, attachSendAs, partNames, fields, reply);
  const bool ok =
      posted && RTL::Text::AsciiFindIgnoreCase(reply, "<case ixBug=") != std::string::npos;
  if (posted && !ok) SetLastErrorStr("the tracker created no case");
  std::string ignored;
  const std::uint32_t errorNo = FLastErrorNo;
  const std::string errorStr = FLastErrorStr;
  FogBugzCall("logoff", ignored, {"token"}, {token});
  // The logoff's own outcome must not hide why the upload failed.
  if (!ok) {
    FLastErrorNo = errorNo;
    FLastErrorStr = errorStr;
    SetLastHttpError({errorNo, errorStr});
  }
  return ok;
}

}  // namespace Reporter::Delivery
