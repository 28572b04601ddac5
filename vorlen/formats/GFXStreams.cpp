// The registry's file streams: reading in place, writing through a temporary file.

#include "platform/rtl/AtomicFile.h"
#include "vorlen/formats/GFXFile.h"

GFXFile::TInputStream::TInputStream(const AnsiString& fileName)
    : TFileStream(fileName, fmOpenRead | fmShareDenyWrite), name(fileName) {}

GFXFile::TOutputStream::TOutputStream(const AnsiString& fileName)
    : TOutputStream(fileName, std::make_unique<AtomicFile>(fileName)) {}

// The stream owns and closes the temporary file's descriptor; the AtomicFile, a member, is
// gone before the base class closes it, so the descriptor is open whenever Commit runs.
GFXFile::TOutputStream::TOutputStream(const AnsiString& fileName, std::unique_ptr<AtomicFile> file)
    : TFileStream(file->ReleaseHandle(), fileName), name(fileName), file_(std::move(file)) {}

GFXFile::TOutputStream::~TOutputStream() = default;

// The buffered bytes go out first: only a file written whole is put in place.
void GFXFile::TOutputStream::Commit() {
  Flush();
  file_->Commit();
}
