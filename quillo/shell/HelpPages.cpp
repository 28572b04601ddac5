// The help pages and their opening in the browser.

#include "quillo/shell/HelpPages.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>

#include "platform/dialogs/ShellExecute.h"
#include "platform/vcl/Application.h"
#include "platform/rtl/SysUtils.h"
#include "quillo/base/Language.h"
#include "quillo/base/ProgramFolder.h"
#include "quillo/document/Progress.h"

namespace {

// Context numbers as the windows set them; several windows may share one.
constexpr HelpPage kPages[] = {
    {100, "tools.html"},            // every tool without a page of its own; F1 in a picture
    {1200, "brush-tools.html"},     // the tools, by group
    {2100, "pens.html"},
    {2200, "lines.html"},
    {2300, "curves.html"},
    {2400, "boxes.html"},
    {2500, "circles.html"},
    {2600, "filled-shapes.html"},
    {2700, "clone.html"},
    {2800, "fills.html"},
    {2900, "spray.html"},
    {3000, "selection.html"},
    {3100, "text.html"},            // the text tool and the Text sheet
    {3200, "picker.html"},
    {3300, "change-colour.html"},
    {3400, "grid.html"},
    {3700, "clear.html"},
    {3800, "move.html"},
    {1000, "colours.html"},         // the colour dialog
    {1030, "palette.html"},         // the tool options window's sheets
    {1080, "histogram.html"},
    {2000, "brush.html"},
    {1110, "new.html"},
    {1120, "open.html"},
    {1130, "browser.html"},
    {1140, "save.html"},
    {1145, "save-options.html"},
    {1150, "send.html"},
    {1160, "print.html"},
    {1210, "drop-shadow.html"},
    {1300, "info.html"},
    {1310, "custom-filter.html"},
    {1320, "components.html"},      // the components' folder browser
    {1370, "batch.html"},
    {1410, "limit-colours.html"},
    {1460, "capture.html"},
    {1510, "preferences.html"},     // the preferences and their pages
    {1530, "prefs-general.html"},
    {1540, "prefs-interface.html"},
    {1550, "prefs-files.html"},
    {1560, "prefs-undo.html"},
    {1570, "prefs-plugins.html"},
    {1580, "prefs-language.html"},
    {1600, "prefs-extensions.html"},
    {1620, "prefs-colours.html"},
    {1630, "prefs-gamma.html"},
    {5000, "filter-factory.html"},
};

bool IsFile(const AnsiString& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool EndsWithHtml(const AnsiString& path) {
  const AnsiString lower = LowerCase(path);
  auto endsWith = [&lower](const char* tail) {
    const size_t n = std::char_traits<char>::length(tail);
    return lower.size() >= n && lower.compare(lower.size() - n, n, tail) == 0;
  };
  return endsWith(".html") || endsWith(".htm");
}

// A component's sheet points the help file at the component's own; one the browser can show
// is opened as it is, whatever the context.
AnsiString ComponentHelpPage() {
  const AnsiString own = ProgramFolder() + LangMessage("HelpFile");
  if (ApplicationHelpFile.empty() || ApplicationHelpFile == own) return {};
  if (!EndsWithHtml(ApplicationHelpFile) || !IsFile(ApplicationHelpFile)) return {};
  return ApplicationHelpFile;
}

bool OpenInBrowser(const AnsiString& page) {
  HWND owner = Application()->GetMainForm() ? Application()->GetMainForm()->GetHandle() : nullptr;
  const auto result = reinterpret_cast<std::intptr_t>(ShellExecute(owner, nullptr, page.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;
  LangMessageBox("CantOpenBrowser", "Err", MB_OK | MB_ICONEXCLAMATION);
  return false;
}

}  // namespace

std::span<const HelpPage> HelpPages() { return kPages; }

const char* HelpPageFile(int context) {
  const auto* found = std::find_if(std::begin(kPages), std::end(kPages), [context](const HelpPage& p) { return p.context == context; });
  return found != std::end(kPages) ? found->file : HelpIndexFile;
}

AnsiString HelpFolder() { return ProgramFolder() + "help/"; }

bool ShowHelp(int context) {
  const AnsiString component = ComponentHelpPage();
  return OpenInBrowser(!component.empty() ? component : HelpFolder() + HelpPageFile(context));
}

bool ShowHelpContents() { return OpenInBrowser(HelpFolder() + HelpIndexFile); }

void InstallHelp() { Application()->OnHelp = [](int context) { return ShowHelp(context); }; }
