#pragma once
// The toolbar components' own messages (raised with EInvalidOperation) and their version text.

namespace tbx::text {

inline constexpr const char* DockParentNotAllowed =
    "A TDockX control cannot be placed inside a tool window or another TDockX";
inline constexpr const char* DockCannotChangePosition =
    "Cannot change Position of a TDockX if it already contains controls";
inline constexpr const char* ToolwinNameNotSet =
    "Cannot save tool window's position because Name property is not set";
// Loading names its own operation: a user told "Cannot save" while loading would look for a
// failed save.
inline constexpr const char* ToolwinLoadNameNotSet =
    "Cannot load tool window's position because Name property is not set";
inline constexpr const char* ToolwinDockedToNameNotSet =
    "Cannot save tool window's position because DockedTo's Name property not set";
inline constexpr const char* ToolwinParentNotAllowed =
    "A tool window can only be placed on a TDockX or directly on the form";
inline constexpr const char* ToolbarControlNotChildOfToolbar = "Control '%s' is not a child of the toolbar";
inline constexpr const char* SepParentNotAllowed = "TToolbarSepX can only be placed on a TToolbarX";
inline constexpr const char* InvalidImageSize = "Invalid image size";
inline constexpr const char* UnableToReplaceImage = "Unable to Replace Image";

inline constexpr const char* Version = "ToolbarX version 1.75a";

}  // namespace tbx::text
