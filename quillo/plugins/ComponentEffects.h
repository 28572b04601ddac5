#pragma once
// The components as the effect browser shows them: one group per component subfolder, each
// component of a group run at its default options on a thumbnail of the current image.

#include <vector>

#include "platform/rtl/AnsiString.h"

class TMenuItem;
class UDBuffer;

// The Browse item the browser was opened for (0: none); the main window sets it.
extern TMenuItem* EffectBrowseItem;

// The groups' names as the tree shows them, in scan order.
std::vector<AnsiString> EffectGroups();
// The group of EffectBrowseItem: its menu caption without the "&".
AnsiString EffectInitialGroup();
// The library paths of a group's components; none when no submenu is captioned "&" + group.
std::vector<AnsiString> EffectEntries(const AnsiString& group);
// Entry n of group run on the current image reduced into 120 x 90; the picture and its undo
// chain stay as they were. False (caption empty) when the library does not load.
bool EffectThumbnail(const AnsiString& group, int n, UDBuffer& thumb, AnsiString& caption);
// Entry n becomes the current component; the component tool is the one resumed next.
void ChooseEffect(const AnsiString& group, int n);
