#include "platform/vcl/PictureDialogs.h"

#include <sys/stat.h>

#include <cstdio>

#include "platform/controls/Button.h"
#include "platform/controls/Static.h"
#include "platform/dialogs/CommDlgIds.h"
#include "platform/gdi/Display.h"
#include "platform/user/UserDraw.h"
#include "platform/vcl/Canvas.h"

QUILLO_DEFINE_PUBLISHED_CLASS(TOpenPictureDialog, TOpenDialog)
QUILLO_DEFINE_PUBLISHED_CLASS(TSavePictureDialog, TOpenPictureDialog)

namespace {

constexpr const char* kNoPicture = "(None)";

// The stc32 marker holds the standard controls; the panel lies to its right.
DialogTemplate PreviewTemplate() {
  DialogTemplate t;
  t.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_CONTROL | DS_3DLOOK;
  t.cx = 132;
  t.cy = 172;
  t.items = {
      {"STATIC", "", stc32, SS_LEFT, 0, 0, 8, 172},
      {"BUTTON", "Preview", kPicturePreviewFrame, WS_VISIBLE | BS_GROUPBOX, 10, 4, 118, 164},
      {"STATIC", "", kPicturePreviewImage, WS_VISIBLE | SS_OWNERDRAW, 16, 16, 106, 130},
      {"STATIC", kNoPicture, kPicturePreviewSize, WS_VISIBLE | SS_CENTER, 16, 152, 106, 9},
  };
  return t;
}

bool IsRegularFile(const AnsiString& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

const TPropTable* TOpenPictureDialog::PublishedProperties() {
  static const TPropTable table = TPublisher<TOpenPictureDialog>().Table();
  return &table;
}

const TPropTable* TSavePictureDialog::PublishedProperties() {
  static const TPropTable table = TPublisher<TSavePictureDialog>().Table();
  return &table;
}

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner)
    : TOpenDialog(owner), template_(PreviewTemplate()), preview_(std::make_unique<TPicture>()) {
  SetFilter(
      "All (*.bmp;*.ico;*.emf;*.wmf)|*.bmp;*.ico;*.emf;*.wmf|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|"
      "Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf");
}

TOpenPictureDialog::~TOpenPictureDialog() = default;

void TOpenPictureDialog::DoSelectionChange() {
  ShowPreview(CurrentPath());
  TOpenDialog::DoSelectionChange();
}

void TOpenPictureDialog::DoClose() {
  preview_->SetGraphic(nullptr);
  child_ = nullptr;
  TOpenDialog::DoClose();
}

void TOpenPictureDialog::ShowPreview(const AnsiString& path) {
  preview_->SetGraphic(nullptr);
  if (IsRegularFile(path)) {
    try {
      preview_->LoadFromFile(path);
    } catch (const Exception&) {
      preview_->SetGraphic(nullptr);  // not a picture this dialog can read: nothing to show
    }
  }
  if (!child_) return;
  const bool shown = preview_->GetGraphic() && preview_->GetWidth() > 0;
  char size[48];
  if (shown) std::snprintf(size, sizeof size, "(%dx%d)", preview_->GetWidth(), preview_->GetHeight());
  else std::snprintf(size, sizeof size, "%s", kNoPicture);
  SetDlgItemText(child_, kPicturePreviewSize, size);
  InvalidateRect(GetDlgItem(child_, kPicturePreviewImage), nullptr, TRUE);
}

void TOpenPictureDialog::DrawPreview(const DRAWITEMSTRUCT& item) {
  RECT r = item.rcItem;
  HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
  FillRect(item.hDC, &r, face);
  DeleteObject(face);
  DrawEdge(item.hDC, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  TGraphic* graphic = preview_->GetGraphic();
  const int w = preview_->GetWidth(), h = preview_->GetHeight();
  if (!graphic || w <= 0 || h <= 0) return;
  // Fit inside the frame keeping the proportions; small pictures keep their own size.
  const int boxW = r.right - r.left - 4, boxH = r.bottom - r.top - 4;
  int drawW = w, drawH = h;
  if (drawW > boxW || drawH > boxH) {
    if (static_cast<long long>(w) * boxH > static_cast<long long>(h) * boxW) {
      drawW = boxW;
      drawH = std::max(1, static_cast<int>(static_cast<long long>(h) * boxW / w));
    } else {
      drawH = boxH;
      drawW = std::max(1, static_cast<int>(static_cast<long long>(w) * boxH / h));
    }
  }
  const int x = r.left + 2 + (boxW - drawW) / 2, y = r.top + 2 + (boxH - drawH) / 2;
  TCanvas canvas;
  TCanvasPaintScope scope(&canvas, item.hDC);
  canvas.StretchDraw(TRect(x, y, x + drawW, y + drawH), graphic);
}

UINT_PTR TOpenPictureDialog::ChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      child_ = child;
      preview_->SetGraphic(nullptr);
      return TRUE;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlID != static_cast<UINT>(kPicturePreviewImage)) break;
      DrawPreview(item);
      return TRUE;
    }
    default: break;
  }
  return TOpenDialog::ChildMessage(child, message, wParam, lParam);
}

TSavePictureDialog::TSavePictureDialog(TComponent* owner) : TOpenPictureDialog(owner) {}

TSavePictureDialog::~TSavePictureDialog() = default;

bool TSavePictureDialog::Execute() { return DoExecute(&GetSaveFileName); }
