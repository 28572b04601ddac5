#pragma once
// The printer service's own texts, as the dialogs show them.

namespace PrinterText {
inline constexpr const char* PdfFilter = "PDF document (*.pdf)\0*.pdf\0All files (*.*)\0*\0";
inline constexpr const char* SavePdf = "Print to PDF File";
inline constexpr const char* Properties = "Document Properties";
inline constexpr const char* Setup = "Print Setup";
inline constexpr const char* Printer = "Printer";
inline constexpr const char* Name = "&Name:";
inline constexpr const char* PropertiesButton = "&Properties...";
inline constexpr const char* Where = "Where:";
inline constexpr const char* Comment = "Comment:";
inline constexpr const char* Paper = "Paper";
inline constexpr const char* Size = "Si&ze:";
inline constexpr const char* Orientation = "Orientation";
inline constexpr const char* Portrait = "P&ortrait";
inline constexpr const char* Landscape = "L&andscape";
inline constexpr const char* Copies = "&Copies:";
inline constexpr const char* Ok = "OK";
inline constexpr const char* Cancel = "Cancel";
}  // namespace PrinterText
