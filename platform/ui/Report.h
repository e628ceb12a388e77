// Printed reports: pages of pictures (BMP or PNG files) with a header and a
// footer, sent to a printer or to a PDF file. A report holds the pictures
// themselves: an appended file may be deleted at once.
#pragma once

#include <string>
#include <vector>

using NIReportHandle = int;

// Status codes (0 = success).
inline constexpr int kNIReportErrInvalidHandle = -1;
inline constexpr int kNIReportErrFileNotFound = -2;     // missing or unreadable image file
inline constexpr int kNIReportErrBadImage = -3;         // not a BMP or PNG picture
inline constexpr int kNIReportErrMarginsTooSmall = -4;  // a margin reaches into the printer's unprintable edge
inline constexpr int kNIReportErrNoRoom = -5;           // the margins leave no room for the pictures
inline constexpr int kNIReportErrInvalidAttribute = -6;
inline constexpr int kNIReportErrInvalidValue = -7;
inline constexpr int kNIReportErrPrinterNotFound = -8;
inline constexpr int kNIReportErrPrintFailed = -9;      // the printer or the output file refused the job
inline constexpr int kNIReportErrCancelled = -10;       // the user cancelled the print dialog
inline constexpr int kNIReportErrEmpty = -11;           // nothing to print
inline constexpr int kNIReportErrNotOnUiThread = -12;   // printing is the user-interface thread's, never waited for

// Report attributes (NIReport_SetReportAttribute). Margins are in inches.
inline constexpr int kNIReportAttrOrientation = 1;   // int: kNIReportPortrait or kNIReportLandscape
inline constexpr int kNIReportAttrTopMargin = 2;     // double
inline constexpr int kNIReportAttrLeftMargin = 3;    // double
inline constexpr int kNIReportAttrBottomMargin = 4;  // double
inline constexpr int kNIReportAttrRightMargin = 5;   // double
inline constexpr int kNIReportAttrHeaderLeft = 6;    // texts, see the placeholders below
inline constexpr int kNIReportAttrHeaderCenter = 7;
inline constexpr int kNIReportAttrHeaderRight = 8;
inline constexpr int kNIReportAttrFooterLeft = 9;
inline constexpr int kNIReportAttrFooterCenter = 10;
inline constexpr int kNIReportAttrFooterRight = 11;
inline constexpr int kNIReportAttrImageScaling = 12;  // int: kNIReportFitToPage or kNIReportActualSize
inline constexpr int kNIReportAttrPrintDialog = 13;   // int: 1 lets the user confirm the printer first

inline constexpr int kNIReportPortrait = 0;
inline constexpr int kNIReportLandscape = 1;
inline constexpr int kNIReportFitToPage = 0;   // as large as the page allows
inline constexpr int kNIReportActualSize = 1;  // screen size (96 pixels per inch), shrunk only when too large

// Text attributes of the header and footer (NIReport_SetTextAttribute).
inline constexpr int kNIReportTextAttrPointSize = 1;  // int, 4 to 72
inline constexpr int kNIReportTextAttrBold = 2;       // int, 0 or 1

// Placeholders replaced in header and footer texts when printed.
inline constexpr const char* kNIReportShortDate = "<shortdate>";  // the date, in the user's short form
inline constexpr const char* kNIReportPageOfCount = "<pagenofm>";  // "2/3"

inline constexpr double kNIReportDefaultMargin = 1.0;

// An empty report: one empty page, portrait, 1-inch margins, pictures fitted to the page.
int NIReport_New(NIReportHandle* report);
int NIReport_SetReportAttribute(NIReportHandle report, int attribute, int value);
int NIReport_SetReportAttribute(NIReportHandle report, int attribute, double value);
int NIReport_SetReportAttribute(NIReportHandle report, int attribute, const char* value);
int NIReport_SetTextAttribute(NIReportHandle report, int attribute, int value);
// Reads the picture now and puts it on the current page, below the ones already there.
int NIReport_AppendImageFile(NIReportHandle report, const char* fileName);
// Later pictures go on a new page.
int NIReport_NewPage(NIReportHandle report);
// Prints every page that holds a picture. An empty printer name is the default
// printer; a name ending in ".pdf" is a PDF file written instead of printing.
// kNIReportErrMarginsTooSmall when the printer cannot print that near the edge.
// Printing and the printer list belong to the user-interface thread: another
// thread gets kNIReportErrNotOnUiThread.
int NIReport_Print(NIReportHandle report, const char* printerName);
int NIReport_Discard(NIReportHandle report);
// The printers the system knows and its default one (empty when there is none).
int NIReport_GetPrinters(std::string* defaultPrinter, std::vector<std::string>* printers);
