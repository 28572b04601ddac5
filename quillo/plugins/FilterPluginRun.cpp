#include "quillo/plugins/FilterPluginRun.h"

#include <cstring>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Language.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/Progress.h"
#include "quillo/document/Zoom.h"
#include "quillo/plugins/FilterPluginHost.h"
#include "quillo/plugins/FilterPluginList.h"
#include "quillo/plugins/FilterPluginProbe.h"
#include "quillo/plugins/FilterSharedPictures.h"
#include "quillo/tools/BrushModel.h"

namespace {

constexpr UINT kWarningBox = MB_OK | MB_ICONEXCLAMATION;
// A filter works on pictures whose sides fit the interface's 16-bit rectangles.
constexpr int kLargestSide = 32767;

void ShowFailure(const char* key, const AnsiString& title) {
  Application()->MessageBox(Format(LangMessage(key).c_str(), title.c_str()), LangMessage("Err"), kWarningBox);
}

void ReportOutcome(const FilterChildResult& result, const AnsiString& title) {
  switch (result.outcome) {
    case FilterOutcome::Done:
    case FilterOutcome::Cancelled:
      return;
    case FilterOutcome::Failed:
      if (result.failure == FilterFailure::Memory) {
        LangMessageBox("NoMem", "Err", kWarningBox);
      } else if (result.failure == FilterFailure::Load || result.failure == FilterFailure::Request) {
        ShowFailure(LangKey("PlugNoLoad"), title);
      } else {
        ShowFailure(LangKey("PlugFailed"), title);
      }
      return;
    case FilterOutcome::Crashed:
      ShowFailure(LangKey("PlugCrashed"), title);
      return;
    case FilterOutcome::Unanswered:
      ShowFailure(LangKey("PlugNoAnswer"), title);
      return;
  }
}

// The filter's result becomes the picture, as one undo step over the area.
void TakeResult(const FilterSharedPictures& shared, UDBuffer& picture, const Rect& area, const AnsiString& title) {
  if (!picture.PushUndo(title, nullptr, area.left, area.top, area.right, area.bottom)) return;
  shared.CopyResult(picture, area);
  MarkPictureChanged();
  TheDocumentHost().UndoHistoryChanged();
  if (ImageForm != nullptr) ImageForm->ShowBuf->Invalidate();
}

}  // namespace

FilterChildResult RunAdobePlugin(const FilterSharedPictures& pictures, const FilterRunOptions& options) {
  FilterChildResult failed;
  failed.failure = FilterFailure::Load;
  FilterRunRequest q;
  const AnsiString path = FilterIdentifierFile(options.identifier);
  const AnsiString entry = FilterIdentifierEntry(options.identifier);
  if (path.size() >= sizeof q.path || entry.empty() || entry.size() >= sizeof q.entry) return failed;
  std::memcpy(q.path, path.data(), path.size());
  std::memcpy(q.entry, entry.data(), entry.size());
  pictures.Describe(q);
  const Rect area = options.area.value_or(Rect(0, 0, q.width - 1, q.height - 1));
  q.left = area.left;
  q.top = area.top;
  q.right = area.right + 1;
  q.bottom = area.bottom + 1;
  q.background = options.background;
  q.foreground = options.foreground;
  q.alphaMode = options.alphaMode;
  q.bilinear = options.bilinear ? 1 : 0;
  q.window = options.window;
  return RunFilterChildProcess(q, pictures.Descriptor(), options.answers);
}

void RunAdobeFilter(TObject* sender) {
  if (auto* item = dynamic_cast<TMenuItem*>(sender)) RunAdobeFilterAt(item->GetImageIndex());
}

void RunAdobeFilterAt(int index) {
  if (ImageForm == nullptr) return;
  UDBuffer& picture = ImageForm->Picture;
  const AnsiString title = PluginTitle(index);
  if (picture.Width() > kLargestSide || picture.Height() > kLargestSide) {
    LangMessageBox("PlugTooBig", "Err", kWarningBox);
    return;
  }
  const bool selected = picture.HasSelectionBounds();
  FilterSharedPictures shared;
  if (!shared.Create(picture, selected ? &picture.Mask : nullptr)) {
    LangMessageBox("NoMem", "Err", kWarningBox);
    return;
  }
  TheDocumentHost().SuspendTool();
  FilterRunOptions options;
  options.identifier = PluginIdentifier(index);
  options.background = BackgroundColour();
  options.foreground = DrawingColour();
  options.area = selected ? Rect(picture.SelLeft, picture.SelTop, picture.SelRight, picture.SelBottom)
                          : DrawViewArea(picture);
  options.window = reinterpret_cast<std::intptr_t>(TheFilterPluginHost().MainWindowHandle());
  int position = 0;
  options.answers.pump = [&position] { return !ProgressCallback(position); };
  options.answers.progress = [&position](std::int32_t done, std::int32_t total) {
    position = done;
    ProgressSetPos(done, total);
  };
  options.answers.pickColour = [](std::uint32_t start, const std::string& prompt) {
    return TheFilterPluginHost().PickColour(start, prompt.empty() ? LangMessage("SelAdobeCol") : AnsiString(prompt));
  };
  FilterChildResult result;
  {
    // The Cancel button shows for the whole run: a plug-in that never asks still can be stopped.
    CancelButtonShown cancel(ImageForm);
    SetProgressText(LangKey("Procin"));
    ProgressOperation progress(100);
    result = RunAdobePlugin(shared, options);
  }
  // A block no longer whole is no result.
  if (result.outcome == FilterOutcome::Done && !shared.Intact()) result.outcome = FilterOutcome::Crashed;
  if (result.outcome == FilterOutcome::Done) {
    TakeResult(shared, picture, *options.area, title);
  } else {
    ShowTimedStatus("", 0.01f);
    ReportOutcome(result, title);
  }
  TheDocumentHost().ResumeTool();
}
