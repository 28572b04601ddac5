#pragma once
// The framework's folder choosers, both through the shell's folder browser (BrowseFolder.h):
//
// SelectDirectory(caption, root, directory): caption is the text above the tree, root (when
// it names a folder) the top of the tree, directory the folder selected at the start and,
// when the user accepts, the folder chosen (without a trailing '/').
//
// SelectDirectory(directory, options, helpContext): a "Select Directory" dialog with a name
// edit. A name typed there is taken from the selected folder unless it starts with '/'. A
// folder that is not there is refused unless sdAllowCreate; with sdPrompt the user is asked
// whether it is to be made; with sdPerformCreate it is made (with its parents) before the
// dialog answers. The help context is kept for the program's help; there is no Help button.

#include "platform/rtl/AnsiString.h"
#include "platform/vcl/SetOf.h"
#include "platform/vcl/TypInfo.h"

enum TSelectDirOpt { sdAllowCreate, sdPerformCreate, sdPrompt };
using TSelectDirOpts = SetOf<TSelectDirOpt>;
QUILLO_DECLARE_ENUM_TYPE(TSelectDirOpt)

bool SelectDirectory(const AnsiString& caption, const AnsiString& root, AnsiString& directory);
bool SelectDirectory(AnsiString& directory, TSelectDirOpts options, int helpContext);

namespace FileCtrlText {
inline constexpr const char* SelectDirCaption = "Select Directory";
inline constexpr const char* ConfirmCreateDir = "The specified directory does not exist. Create it?";
inline constexpr const char* CannotCreateDir = "Unable to create directory";
}  // namespace FileCtrlText
