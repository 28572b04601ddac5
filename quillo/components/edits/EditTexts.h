#pragma once
// The edit components' own texts: the string resources their defaults and errors come from.

namespace edit_text {

inline constexpr const char* DateDialogTitle = "Select a Date";
inline constexpr const char* BrowseTitle = "Browse";
inline constexpr const char* DefaultFilter = "All files (*.*)|*";
inline constexpr const char* InvalidFileName = "Invalid file name - %s";
inline constexpr const char* InvalidDate = "'%s' is not a valid date";

}  // namespace edit_text
