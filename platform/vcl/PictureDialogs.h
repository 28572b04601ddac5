#pragma once
// TOpenPictureDialog and TSavePictureDialog: the open and save dialogs with a preview panel
// beside the standard controls (a child template with an stc32 marker) that shows the picture
// under the cursor, scaled to fit, and its size in pixels.

#include <memory>

#include "platform/vcl/FileDialogs.h"
#include "platform/vcl/Picture.h"

// The preview panel's controls, inside the dialog's child window.
constexpr int kPicturePreviewFrame = 0x500, kPicturePreviewImage = 0x501, kPicturePreviewSize = 0x502;

class TOpenPictureDialog : public TOpenDialog {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TOpenPictureDialog(TComponent* owner);
  ~TOpenPictureDialog() override;

  // The picture shown in the preview (empty when the selection is no picture it can read).
  TPicture* GetPreview() const { return preview_.get(); }

protected:
  const DialogTemplate* ChildTemplate() const override { return &template_; }
  void DoSelectionChange() override;
  void DoClose() override;
  UINT_PTR ChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void ShowPreview(const AnsiString& path);
  void DrawPreview(const DRAWITEMSTRUCT& item);

  DialogTemplate template_;
  std::unique_ptr<TPicture> preview_;
  HWND child_ = nullptr;
};

class TSavePictureDialog : public TOpenPictureDialog {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TSavePictureDialog(TComponent* owner);
  ~TSavePictureDialog() override;
  bool Execute() override;
};
