#pragma once
// The registry store's file: a text a person can read and mend, that holds every name and
// every byte of every value exactly.
//
//   quillo registry 1
//
//   [HKEY_CURRENT_USER\Software\Dornick\QL\Preferences]
//   "Clipping"=dword:00000001
//   "UndoDir"="/tmp/undo"
//   @="the key's default value"
//   "Notes"="two\nlines, a \"quote\" and a \\ backslash"
//   "Shape"=hex:00,ff,10
//   "Paths"=hex(7):61,00,00
//
// - The first line names the format and its version. A file of a later version is left alone.
// - "[root\key\...]" starts a key: a root name (HKEY_CURRENT_USER, HKEY_CLASSES_ROOT,
//   HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG, HKEY_DYN_DATA), then the key names,
//   each 1 to 255 bytes without control characters; the header ends at the line's last ']'.
//   Every key is written, an empty one too; a key's values follow its header.
// - A value line is a name, '=' and data. The name is @ for the default value, else quoted.
//   Data is one of
//     "text"        a string (REG_SZ): the bytes of the text and a terminating null
//     dword:hhhhhhhh a 32-bit number (REG_DWORD), in hexadecimal
//     hex:hh,hh     bytes (REG_BINARY)
//     hex(t):hh,hh  bytes of any other type t (hexadecimal), and of a string or number
//                   whose bytes the forms above cannot hold (no terminator, four bytes...)
// - Inside quotes, \\ \" \n \r \t stand for themselves and \xhh for any byte; the writer
//   uses \xhh for the other control bytes. Other bytes stand as they are (UTF-8 text).
// - Blank lines and lines starting with ';' are ignored; spaces around a line are too, and a
//   carriage return before the line end.
//
// A line that breaks these rules makes the file damaged. Reading goes on past it, so that
// everything the file holds in good lines can be kept: a bad value line is dropped, and after
// a bad header the values up to the next good header are dropped (they would land in the
// wrong key).

#include <string>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/RegistryTree.h"

struct RegistryFileContents {
  RegistryTree tree;
  bool laterVersion = false;  // nothing was read: the file is of a later format
  int firstBadLine = 0;       // 1-based; 0 when every line was good
  AnsiString problem;         // what was wrong with that line
  bool Damaged() const { return firstBadLine != 0; }
};

// "" (no file yet) is an empty, sound registry.
RegistryFileContents ParseRegistryText(const std::string& text);
std::string RegistryText(const RegistryTree& tree);
