#pragma once
// Links between image file types and the program, under the registry's classes root. An
// extension's key ".ext" (lower case) names its owner in its default value; the extension is
// the program's when that owner is ProgramId. The key ProgramId keeps, for every extension
// the program took over, the owner it had before (a value named ".ext"), so that giving the
// extension back restores it. Nothing else is touched: no other program's owner is lost, and
// no desktop-entry or MIME file is written.

#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/RegistryApi.h"

inline constexpr const char* ProgramId = "Quillory";

// The access the operations open the classes root with. A store that refuses changes (a
// read-only one) is KEY_READ: every change then fails as the real one would.
extern REGSAM AssociationAccess;

// Takes the next mask off a ";"-separated list ("*.BMP;*.RLE") and returns it without its
// first character (".BMP"); an exhausted list gives the empty string.
AnsiString NextExtension(AnsiString& list);

bool IsExtensionAssociated(const AnsiString& ext);
// Makes the extension the program's, remembering the owner it had. False when the store
// refused a change (the extension then keeps the owner it had).
bool AssociateExtension(const AnsiString& ext);
// Gives back an extension that is the program's: its remembered owner, or without one the
// key the program made goes again. An extension that is not the program's stays as it is.
// False when the store refused a change.
bool UnassociateExtension(const AnsiString& ext);

// How many extensions of a mask list there are and how many of them are the program's.
struct ExtensionCount {
  int total = 0;
  int associated = 0;
};
ExtensionCount CountAssociated(AnsiString masks);
// Links (or unlinks) every extension of a mask list; the ones the store refused are added
// to failed.
void LinkExtensions(AnsiString masks, bool link, std::vector<AnsiString>& failed);

// Makes the key ProgramId (a description, the icon and the open command naming the program
// with "%1") when it is missing, as installing the program would; taking over an extension
// that another program owns needs it. False when it is missing and cannot be made.
bool EnsureProgramKey(const AnsiString& programPath, const AnsiString& description);
