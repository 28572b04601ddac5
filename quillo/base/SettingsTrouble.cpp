#include "quillo/base/SettingsTrouble.h"

#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "platform/rtl/RegistryStore.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "quillo/base/Language.h"

namespace {

struct TroubleState {
  std::mutex mutex;
  bool installed = false;
  std::thread::id programThread;
  bool showing = false;
  std::vector<RegistryReport> waiting;
  std::set<std::pair<RegistryReport::Kind, AnsiString>> shown;  // kind and file
};

TroubleState& State() {
  static TroubleState state;
  return state;
}

const char* TextKey(RegistryReport::Kind kind) {
  switch (kind) {
    case RegistryReport::Kind::Damaged: return LangKey("SetDamaged");
    case RegistryReport::Kind::Unreadable: return LangKey("SetUnreadable");
    case RegistryReport::Kind::NotSaved: return LangKey("SetNotSaved");
  }
  return LangKey("SetNotSaved");
}

void Show(const RegistryReport& report) {
  {
    TroubleState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.shown.emplace(report.kind, report.fileName).second) return;
  }
  Application()->MessageBox(SettingsTroubleText(report), LangMessage("Warn"), MB_OK | MB_ICONEXCLAMATION);
}

void Receive(const RegistryReport& report) {
  TroubleState& s = State();
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.showing || std::this_thread::get_id() != s.programThread) {
      s.waiting.push_back(report);
      return;
    }
  }
  Show(report);
}

}  // namespace

AnsiString SettingsTroubleText(const RegistryReport& report) {
  AnsiString text = LangMessage(TextKey(report.kind)) + "\n\n" + report.fileName;
  if (report.kind == RegistryReport::Kind::Damaged && !report.keptAs.empty())
    text += "\n\n" + LangMessage("SetKeptAs") + "\n" + report.keptAs;
  else if (!report.reason.empty())
    text += "\n\n" + report.reason;
  return text;
}

void InstallSettingsTroubleReports() {
  TroubleState& s = State();
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.installed) return;  // what waits stays
    s.installed = true;
    s.programThread = std::this_thread::get_id();
    s.showing = false;
    s.waiting.clear();
    s.shown.clear();
  }
  RegistryStore::Process().SetReportHandler(Receive);
}

void ShowSettingsTrouble() {
  TroubleState& s = State();
  std::vector<RegistryReport> waiting;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (std::this_thread::get_id() != s.programThread) return;
    s.showing = true;
    waiting.swap(s.waiting);
  }
  for (const RegistryReport& report : waiting) Show(report);
}

void RemoveSettingsTroubleReports() {
  RegistryStore::Process().SetReportHandler(nullptr);
  TroubleState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.installed = false;
  s.showing = false;
  s.waiting.clear();
}
