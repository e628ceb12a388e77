// Every text the program itself shows the user, in five languages, and the
// current language. Texts are Latin-1, compiled in and never freed.
#pragma once

#include <array>
#include <string>
#include <type_traits>

// Language index, in the fixed order used by the menu, the first-run file and
// the catalogue.
enum LanguageIndex : int { kEnglish = 0, kFrench = 1, kGerman = 2, kSpanish = 3, kItalian = 4 };
inline constexpr int kLanguageCount = 5;

// One text per language, indexed by LanguageIndex.
using CatalogueTexts = std::array<const char*, kLanguageCount>;

// Entries of one text per language, named after their English text.
enum class Msg : int {
  LanguageCode,                   // "gb", "fr", ... (names the help document)
  WarningTitle,                   // "WARNING !"
  ErrorTitle,                     // "ERROR !"
  WaitTitle,                      // "WAIT !"
  InformationTitle,               // "INFORMATION"
  Yes,                            // "Yes"
  No,                             // "No"
  QuitQuestion,                   // "Are you sure you want to quit ORNIKELVARINLAB ?\n"
  InstallingDrivers,              // "Installation of drivers ..."
  AutosetShortcuts,               // "F1 : Autoset CH1\r..."
  AdjustShortcuts,                // "F5 : Higher sensitivity of CH1\r..."
  ShortcutKeys,                   // "Shortcut Keys"
  FileErrorTitle,                 // "FILE ERROR"
  ChecksumErrorTitle,             // "CHECKSUM ERROR"
  CannotCreateFile,               // "Cannot create the file."
  PanelFileNotFound,              // "FATAL RUNTIME ERROR\n\nUIR File not found !\n"
  WrongIniFile,                   // "Wrong '.ini' file."
  CannotCreateIniFile,            // "Cannot create '.ini' file."
  WrongConfigurationFile,         // "Wrong configuration file"
  ConfigurationFileNotFound,      // "Configuration file not found."
  CannotCreateConfigurationFile,  // "Cannot create configuration file '*.cfg'."
  ReadConfigurationChecksum,      // "Checksum error in read configuration."
  ReadConfigurationWrong,         // "Read configuration is wrong."
  FileLoadError,                  // "Error while loading file.\n"
  CommunicationError,             // "COMMUNICATION ERROR"
  NoDialogWithScope,              // "No dialog with the scope!\n"
  SelfTestErrorTitle,             // "Autotest error!"
  Error,                          // "Error"
  VerticalAutosetImpossible,      // "Vertical autoset impossible"
  AutosetImpossible,              // "Autoset impossible :\n - No signal,\n ..."
  LoadingSamples,                 // "Loading samples ..."
  Cancel,                         // "__Cancel"
  ConnectionFailedAdvice,         // "The attempt to connect to the oscilloscope failed:\n..."
  FileMenu,                       // "File"
  ChooseChannel,                  // "Choose the channel :"
  SaveTrace,                      // "Save Trace (.txt) ..."
  CopyWindow,                     // "Copy Window"
  PrintEllipsis,                  // "Print..."
  Exit,                           // "Exit"
  Vertical,                       // "Vertical"
  Horizontal,                     // "Horizontal"
  DisplayMenu,                    // "Display"
  Persistence,                    // "Persistence" (menu item, toolbar and the persistence icon's tooltip)
  ScreenShot,                     // "ScreenShot"
  Reference,                      // "Reference"
  AutomaticMeasurements,          // "Automatic measurements"
  Language,                       // "Language"
  Help,                           // "Help"
  About,                          // "About..."
  Source,                         // "Source"
  Level,                          // "Level"
  Trigger,                        // "Trigger"
  Print,                          // "Print"
  Title,                          // "Title"
  SelectWindows,                  // "Select the windows to be printed:"
  SelectPrinter,                  // "Select the printer:"
  Portrait,                       // "Portrait"
  Landscape,                      // "Landscape"
  ControlPanel,                   // "Control panel"
  XyGraph,                        // "XY graph"
  DisconnectInstrument,           // "You must disconnect your oscilloscope (...).\r"
  ConnectInstrument,              // "You can connect now your oscilloscope ...\r...\r...\r"
  SaveDialogTitle,                // "Save..."
  Stop,                           // "STOP" (the acquisition state's row 0)
  AutoMeasurements,               // "Auto. meas."
  VhighLowLabel,                  // "Vhigh-low =" (measurement label 5)
  VrmsLabel,                      // "Vrms ="      (measurement label 6)
  VavgLabel,                      // "Vavg ="      (measurement label 7)
  PeriodLabel,                    // "T    ="      (measurement label 14)
  FrequencyLabel,                 // "F    ="      (measurement label 15)
  CursorMeasurements,             // "Cursor measurements"
  AutosetTooltip,                 // "Autoset complete.\n..."
  VerticalAutosetTooltip,         // "Vertical autoset.\n..."
  Sensitivity,                    // "Sensitivity" (names of the main panel's unlabelled controls:
  Position,                       // "Position"     read by screen readers, some also shown)
  Coupling,                       // "Coupling"
  TimeBase,                       // "Time base"
  HorizontalPosition,             // "Horizontal position"
  TriggerLevel,                   // "Trigger level"
  RisingSlope,                    // "Rising slope"
  FallingSlope,                   // "Falling slope"
  Count
};
inline constexpr int kMsgCount = static_cast<int>(Msg::Count);

// Entries of several rows of five texts.
enum class MsgTable : int {
  AcqStateTexts,      // acquisition phase 0..7, row 8 empty
  MeasurementLabels,  // "Vmin =", "Vmax =", ... in the measurement block's order
  Count
};
inline constexpr int kMsgTableCount = static_cast<int>(MsgTable::Count);
inline constexpr int kAcqStateRows = 9;
inline constexpr int kMeasurementLabelCount = 19;

// The current language, 0..4. Only the user-interface thread changes it; any
// thread may read it.
int CurrentLanguage();
// Values outside 0..4 (a damaged first-run file) select English.
void SetCurrentLanguage(int language);

// The entry's text in the current language, or in `language`. A language
// outside 0..4 reads as English; an unknown entry gives "".
const char* CatalogueText(Msg entry);
const char* CatalogueText(Msg entry, int language);

// Number of rows of a two-dimensional entry (0 for an unknown table).
int CatalogueRowCount(MsgTable table);
// Row `row` of a two-dimensional entry; "" for a row outside the table.
const char* CatalogueRow(MsgTable table, int row);
const char* CatalogueRow(MsgTable table, int row, int language);

// The text of an acquisition phase. Phases above 7 show row 7 ("RUN"), as the
// instrument reports 8 and 9 for a running acquisition too. A negative phase
// is not a state the instrument reports: it shows the empty row 8 rather than
// a misleading word.
const char* AcquisitionStateText(int state, int language);
// "gb", "fr", "de", "es", "it".
const char* LanguageCode(int language);
// Measurement label 0..18; "" outside.
const char* MeasurementLabel(int index, int language);

// Composed texts. The format is the same in every language; only the
// catalogue texts passed as arguments are translated.
inline constexpr const char kChannelMessageFormat[] = "CH%i : %s";     // channel number 1 or 2, text
inline constexpr const char kChannelTitleFormat[] = "%s CH%i";         // text, channel number 1 or 2
inline constexpr const char kNumberedErrorFormat[] = "%s n\xB0 0x%x";  // text, code
inline constexpr const char kJoinedTextsFormat[] = "%s%s";

namespace catalogue_detail {
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
inline const char* FormatArgument(Msg entry) { return CatalogueText(entry); }
inline const char* FormatArgument(const std::string& text) { return text.c_str(); }
template <typename T>
  requires std::is_arithmetic_v<T> || std::is_pointer_v<T>
T FormatArgument(T value) {
  return value;
}
}  // namespace catalogue_detail

// snprintf into a string of any length; a Msg argument stands for its text in
// the current language. Example: FormatCatalogue(kChannelMessageFormat, 2,
// Msg::VerticalAutosetImpossible).
template <typename... Args>
std::string FormatCatalogue(const char* format, const Args&... args) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
  return catalogue_detail::FormatText(format, catalogue_detail::FormatArgument(args)...);
#pragma GCC diagnostic pop
}

// "Auto. meas. CH1" (referenceChannel 0) or "... CH2" (1), current language.
std::string MeasurementTitleText(int referenceChannel);
// The Shortcut Keys panel's text: the autoset keys followed by the others.
std::string ShortcutKeysText();
