// The registry's file streams: reading in place, writing through a temporary file.

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/RegularFile.h"
#include "vorlen/formats/GFXFile.h"

// Opened without waiting: a pipe or a device named as an image is refused (EFOpenError), not
// waited on or read without end.
GFXFile::TInputStream::TInputStream(const AnsiString& fileName)
    : TFileStream(OpenRegularFile(fileName), fileName), name(fileName) {}

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
