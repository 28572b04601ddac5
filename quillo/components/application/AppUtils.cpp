#include "quillo/components/application/AppUtils.h"

#include <cctype>
#include <algorithm>
#include <climits>
#include <cstring>
#include <map>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Grids.h"
#include "platform/vcl/Screen.h"
#include "quillo/components/persistence/SettingsStore.h"
#include "quillo/components/utilities/ComponentErrors.h"
#include "quillo/components/utilities/VclUtils.h"

namespace {

constexpr size_t kMaxIniLine = 4096;
const char* const kMDISection = "MDI Children";
constexpr int kMaxMDIChildren = 4096;

std::map<AnsiString, std::pair<TClass, TFormFactory>>& FormClasses() {
  static std::map<AnsiString, std::pair<TClass, TFormFactory>> classes;
  return classes;
}

TCustomForm* MakeForm(TClass formClass) {
  for (const auto& [name, entry] : FormClasses())
    if (entry.first == formClass) return entry.second(Application());
  throw EInvalidOperation(Format("Form class %s is not registered", formClass->Name));
}

}  // namespace

void RegisterFormClass(TClass cls, TFormFactory factory) {
  FormClasses()[UpperCase(cls->Name)] = {cls, std::move(factory)};
}

TClass FindFormClass(const AnsiString& name) {
  auto it = FormClasses().find(UpperCase(name));
  return it == FormClasses().end() ? nullptr : it->second.first;
}

TCustomForm* FindForm(TClass formClass) {
  for (int i = 0; i < Screen()->FormCount(); ++i)
    if (Screen()->Forms(i)->InheritsFrom(formClass)) return Screen()->Forms(i);
  return nullptr;
}

TCustomForm* FindShowForm(TClass formClass, const AnsiString& caption) {
  TCustomForm* form = nullptr;
  for (int i = 0; i < Screen()->FormCount() && !form; ++i) {
    TCustomForm* f = Screen()->Forms(i);
    if (f->InheritsFrom(formClass) && (caption.empty() || f->GetCaption() == caption)) form = f;
  }
  if (!form) {
    form = MakeForm(formClass);
    if (!caption.empty()) form->SetCaption(caption);
  }
  if (form->GetWindowState() == wsMinimized) form->SetWindowState(wsNormal);
  form->Show();
  return form;
}

bool ShowDialog(TClass formClass) {
  TCustomForm* form = MakeForm(formClass);
  TModalResult result = mrNone;
  try {
    result = form->ShowModal();
  } catch (...) {
    FreeObject(form);
    throw;
  }
  FreeObject(form);
  return result == mrOk || result == mrYes;
}

TCustomForm* InstantiateForm(TClass formClass, TCustomForm*& reference) {
  if (!reference) reference = MakeForm(formClass);
  return reference;
}

AnsiString StrToIniStr(const AnsiString& s) {
  if (s.size() > kMaxIniLine) throw EInvalidOperation(ComponentsText::LineTooLong);
  AnsiString out;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\r' || c == '\n') {
      out += "\\n";
      // CR LF and LF CR are one break.
      if (i + 1 < s.size() && (s[i + 1] == '\r' || s[i + 1] == '\n') && s[i + 1] != c) ++i;
    } else {
      out += c;
    }
  }
  return out;
}

AnsiString IniStrToStr(const AnsiString& s) {
  if (s.size() > kMaxIniLine) throw EInvalidOperation(ComponentsText::LineTooLong);
  AnsiString out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'n') {
      out += "\r\n";
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

void SaveMDIChildren(TCustomForm* mainForm, TObject* store) {
  if (!mainForm || mainForm->GetFormStyle() != fsMDIForm) throw EInvalidOperation(VclText::NoMDIForm);
  IniEraseSection(store, kMDISection);
  const int count = mainForm->MDIChildCount();
  if (count == 0) return;
  IniWriteInteger(store, kMDISection, "Count", count);
  for (int i = 0; i < count; ++i)
    IniWriteString(store, kMDISection, Format("Item%d", i), mainForm->MDIChildren(i)->ClassName());
}

void RestoreMDIChildren(TCustomForm* mainForm, TObject* store) {
  if (!mainForm || mainForm->GetFormStyle() != fsMDIForm) throw EInvalidOperation(VclText::NoMDIForm);
  StartWait();
  try {
    // A damaged count is not trusted beyond what a program could have had open.
    const int count = std::min(IniReadInteger(store, kMDISection, "Count", 0), kMaxMDIChildren);
    for (int i = count - 1; i >= 0; --i) {
      const AnsiString name = IniReadString(store, kMDISection, Format("Item%d", i), "");
      TClass cls = FindFormClass(name);
      if (!cls) continue;  // a class this program no longer has
      TCustomForm* form = FindForm(cls);
      if (!form) form = MakeForm(cls);
      form->Show();
    }
  } catch (...) {
    StopWait();
    throw;
  }
  StopWait();
}

void SaveGridLayout(TCustomGrid* grid, TObject* store) {
  if (!grid) return;
  const AnsiString section = GetDefaultSection(grid);
  for (int i = 0; i < grid->GetColCount(); ++i)
    IniWriteInteger(store, section, Format("Item%d", i), grid->GetColWidths(i));
}

void RestoreGridLayout(TCustomGrid* grid, TObject* store) {
  if (!grid) return;
  const AnsiString section = GetDefaultSection(grid);
  for (int i = 0; i < grid->GetColCount(); ++i)
    grid->SetColWidths(i, IniReadInteger(store, section, Format("Item%d", i), grid->GetColWidths(i)));
}

namespace {

// Whether a name format holds exactly one integer conversion and nothing else that reads
// an argument.
bool OneIntegerConversion(const AnsiString& format) {
  int conversions = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    if (i + 1 < format.size() && format[i + 1] == '%') {
      ++i;
      continue;
    }
    size_t j = i + 1;
    while (j < format.size() && (std::strchr("-+ #0", format[j]) || std::isdigit(static_cast<unsigned char>(format[j])))) ++j;
    if (j >= format.size() || !std::strchr("diuxX", format[j])) return false;
    ++conversions;
    i = j;
  }
  return conversions == 1;
}

}  // namespace

AnsiString GetUniqueFileNameInDir(const AnsiString& path, const AnsiString& nameFormat) {
  if (!OneIntegerConversion(nameFormat)) return {};
  const AnsiString folder = IncludeTrailingPathDelimiter(path);
  for (long counter = 0; counter < INT_MAX; ++counter) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const AnsiString name = Format(nameFormat.c_str(), static_cast<int>(counter));
#pragma GCC diagnostic pop
    if (!FileExists(folder + name)) return name;
  }
  return {};
}

LRESULT AppBroadcast(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  for (int i = 0; i < Screen()->FormCount(); ++i) {
    TCustomForm* form = Screen()->Forms(i);
    if (form->HandleAllocated()) result = SendMessage(form->GetHandle(), msg, wParam, lParam);
  }
  return result;
}

void AppTaskbarIcons(bool appOnly) {
  HWND app = Application()->GetHandle();
  LONG_PTR style = GetWindowLongPtr(app, GWL_STYLE);
  if (appOnly) {
    SetWindowLongPtr(app, GWL_STYLE, style | WS_CAPTION);
    ShowWindow(app, SW_SHOW);
  } else {
    SetWindowLongPtr(app, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION));
  }
}
