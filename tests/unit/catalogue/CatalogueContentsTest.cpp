// The catalogue's texts that other parts of the program and the user rely on
// word for word, and the tables.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalogue/CatalogueData.h"
#include "catalogue/MessageCatalogue.h"
#include "unit/catalogue/CatalogueTestSupport.h"

namespace {

struct BoundText {
  Msg entry;
  const char* text;
};

// The English text of every entry: the key callers and users know it by.
constexpr BoundText kEnglishTexts[] = {
    {Msg::LanguageCode, "gb"},
    {Msg::WarningTitle, "WARNING !"},
    {Msg::ErrorTitle, "ERROR !"},
    {Msg::WaitTitle, "WAIT !"},
    {Msg::InformationTitle, "INFORMATION"},
    {Msg::Yes, "Yes"},
    {Msg::No, "No"},
    {Msg::QuitQuestion, "Are you sure you want to quit ORNIKELVARINLAB ?\n"},
    {Msg::InstallingDrivers, "Installation of drivers ..."},
    {Msg::AutosetShortcuts, "F1 : Autoset CH1\rF2 : Autoset CH2\rF3 : Full Autoset\r"},
    {Msg::AdjustShortcuts,
     "F5 : Higher sensitivity of CH1\r"
     "F6 : Lower sensitivity of CH1\r"
     "F7 : Higher sensitivity of CH2\r"
     "F8 : Lower sensitivity of CH2\r"
     "F9 : Lower trigger level\r"
     "F10 : Higher trigger level\r"
     "F11 : Slower time base\r"
     "F12 : Faster time base\r"
     "(If the Zoom is active Page UP & Page Down are used to set the Zoom.)\r"},
    {Msg::ShortcutKeys, "Shortcut Keys"},
    {Msg::FileErrorTitle, "FILE ERROR"},
    {Msg::ChecksumErrorTitle, "CHECKSUM ERROR"},
    {Msg::CannotCreateFile, "Cannot create the file."},
    {Msg::PanelFileNotFound, "FATAL RUNTIME ERROR\n\nUIR File not found !\n"},
    {Msg::WrongIniFile, "Wrong '.ini' file."},
    {Msg::CannotCreateIniFile, "Cannot create '.ini' file."},
    {Msg::WrongConfigurationFile, "Wrong configuration file"},
    {Msg::ConfigurationFileNotFound, "Configuration file not found."},
    {Msg::CannotCreateConfigurationFile, "Cannot create configuration file '*.cfg'."},
    {Msg::ReadConfigurationChecksum, "Checksum error in read configuration."},
    {Msg::ReadConfigurationWrong, "Read configuration is wrong."},
    {Msg::FileLoadError, "Error while loading file.\n"},
    {Msg::CommunicationError, "COMMUNICATION ERROR"},
    {Msg::NoDialogWithScope, "No dialog with the scope!\n"},
    {Msg::SelfTestErrorTitle, "Autotest error!"},
    {Msg::Error, "Error"},
    {Msg::VerticalAutosetImpossible, "Vertical autoset impossible"},
    {Msg::AutosetImpossible, "Autoset impossible :\n - No signal,\n - Frequency too low (<20Hz).\n"},
    {Msg::LoadingSamples, "Loading samples ..."},
    {Msg::Cancel, "__Cancel"},
    {Msg::ConnectionFailedAdvice,
     "The attempt to connect to the oscilloscope failed:\n"
     "\n"
     "- Is the oscilloscope on and connected to the network or USB ?\n"
     "  (When turning the oscilloscope on, wait 10 seconds before trying again)\n"
     "\n"
     "- Has the device already been steered for another application ?\n"
     "  (The device cannot be steered by two applications at the same time)\n"},
    {Msg::FileMenu, "File"},
    {Msg::ChooseChannel, "Choose the channel :"},
    {Msg::SaveTrace, "Save Trace (.txt) ..."},
    {Msg::CopyWindow, "Copy Window"},
    {Msg::PrintEllipsis, "Print..."},
    {Msg::Exit, "Exit"},
    {Msg::Vertical, "Vertical"},
    {Msg::Horizontal, "Horizontal"},
    {Msg::DisplayMenu, "Display"},
    {Msg::Persistence, "Persistence"},
    {Msg::ScreenShot, "ScreenShot"},
    {Msg::Reference, "Reference"},
    {Msg::AutomaticMeasurements, "Automatic measurements"},
    {Msg::Language, "Language"},
    {Msg::Help, "Help"},
    {Msg::About, "About..."},
    {Msg::Source, "Source"},
    {Msg::Level, "Level"},
    {Msg::Trigger, "Trigger"},
    {Msg::Print, "Print"},
    {Msg::Title, "Title"},
    {Msg::SelectWindows, "Select the windows to be printed:"},
    {Msg::SelectPrinter, "Select the printer:"},
    {Msg::Portrait, "Portrait"},
    {Msg::Landscape, "Landscape"},
    {Msg::ControlPanel, "Control panel"},
    {Msg::XyGraph, "XY graph"},
    {Msg::DisconnectInstrument, "You must disconnect your oscilloscope (power supply, USB and Ethernet).\r"},
    {Msg::ConnectInstrument,
     "You can connect now your oscilloscope in USB and/or Ethernet.\r"
     "Also connect the instrument to the mains.\r"
     "Wait 10s, then click 'OK'.\r"},
    {Msg::SaveDialogTitle, "Save..."},
    {Msg::Stop, "STOP"},
    {Msg::AutoMeasurements, "Auto. meas."},
    {Msg::VhighLowLabel, "Vhigh-low ="},
    {Msg::VrmsLabel, "Vrms ="},
    {Msg::VavgLabel, "Vavg ="},
    {Msg::PeriodLabel, "T    ="},
    {Msg::FrequencyLabel, "F    ="},
    {Msg::CursorMeasurements, "Cursor measurements"},
    {Msg::AutosetTooltip,
     "Autoset complete.\n"
     "The time base, vertical sensitivity, couplings,\n"
     "offset and trigger settings can be modified."},
    {Msg::VerticalAutosetTooltip,
     "Vertical autoset.\n"
     "The vertical sensitivity and the offset can be modified."},
    {Msg::Sensitivity, "Sensitivity"},
    {Msg::Position, "Position"},
    {Msg::Coupling, "Coupling"},
    {Msg::TimeBase, "Time base"},
    {Msg::HorizontalPosition, "Horizontal position"},
    {Msg::TriggerLevel, "Trigger level"},
    {Msg::RisingSlope, "Rising slope"},
    {Msg::FallingSlope, "Falling slope"},
};

struct BoundTranslation {
  Msg entry;
  int language;
  const char* text;
};

constexpr BoundTranslation kBoundTranslations[] = {
    {Msg::FileMenu, kGerman, "Datei"},
    {Msg::Trigger, kGerman, "Triggerung"},
    {Msg::AutoMeasurements, kGerman, "Auto. Messungen"},
    {Msg::ScreenShot, kFrench, "Mode Photo"},
    {Msg::Persistence, kFrench, "R\xE9manence"},
    {Msg::Persistence, kGerman, "Remanenz"},
    {Msg::Persistence, kSpanish, "Remanencia"},
    {Msg::Persistence, kItalian, "Rimanenza"},
};

TEST(CatalogueContents, EveryEntryIsDefinedOnceWithFiveTexts) {
  // The entries in use, counted in the list of English keys.
  EXPECT_EQ(kMsgCount, 81);
  EXPECT_EQ(std::size(kEnglishTexts), static_cast<std::size_t>(kMsgCount));
  const auto counts = CatalogueDefinitionCounts();
  for (int id = 0; id < kMsgCount; ++id) EXPECT_EQ(counts[id], 1) << "entry " << id;
  EXPECT_EQ(CatalogueRowCount(MsgTable::AcqStateTexts), kAcqStateRows);
  EXPECT_EQ(CatalogueRowCount(MsgTable::MeasurementLabels), kMeasurementLabelCount);
  for (const TextSet& set : AllTextSets()) {
    for (int language = 0; language < kLanguageCount; ++language) {
      EXPECT_NE(set.texts[language], nullptr) << set.name << " language " << language;
    }
  }
  // Only the blank acquisition row is empty.
  for (Msg entry : AllEntries()) {
    for (int language = 0; language < kLanguageCount; ++language) {
      EXPECT_NE(std::strlen(CatalogueText(entry, language)), 0u) << static_cast<int>(entry) << " " << language;
    }
  }
}

TEST(CatalogueContents, EnglishTextsAreExact) {
  for (const BoundText& bound : kEnglishTexts) {
    EXPECT_STREQ(CatalogueText(bound.entry, kEnglish), bound.text) << "entry " << static_cast<int>(bound.entry);
  }
}

TEST(CatalogueContents, QuotedTranslationsAreExact) {
  for (const BoundTranslation& bound : kBoundTranslations) {
    EXPECT_STREQ(CatalogueText(bound.entry, bound.language), bound.text)
        << "entry " << static_cast<int>(bound.entry) << " language " << bound.language;
  }
}

TEST(CatalogueContents, AcquisitionStateTable) {
  constexpr const char* kRows[kAcqStateRows][kLanguageCount] = {
      {"STOP", "STOP", "STOP", "STOP", "STOP"},
      {"PRE-TRIG", "PRE-TRIG", "PRE-TRIG", "PRE-DISP", "PRE-TRIG"},
      {"PRE-TRIG", "PRE-TRIG", "PRE-TRIG", "PRE-DISP", "PRE-TRIG"},
      {"PRE-TRIG", "PRE-TRIG", "PRE-TRIG", "PRE-DISP", "PRE-TRIG"},
      {"READY", "PRET", "BEREIT", "LISTO", "PRONTO"},
      {"POSTRIG", "POSTRIG", "POSTRIG", "POSTRIG", "POSTRIG"},
      {"RUN", "RUN", "RUN", "RUN", "RUN"},
      {"RUN", "RUN", "RUN", "RUN", "RUN"},
      {"", "", "", "", ""},
  };
  for (int row = 0; row < kAcqStateRows; ++row) {
    for (int language = 0; language < kLanguageCount; ++language) {
      EXPECT_STREQ(CatalogueRow(MsgTable::AcqStateTexts, row, language), kRows[row][language]) << row << " " << language;
    }
  }
}

TEST(CatalogueContents, AcquisitionStateTextClampsThePhase) {
  EXPECT_STREQ(AcquisitionStateText(4, kEnglish), "READY");
  EXPECT_STREQ(AcquisitionStateText(4, kSpanish), "LISTO");
  EXPECT_STREQ(AcquisitionStateText(4, kFrench), "PRET");
  for (int phase = 1; phase <= 3; ++phase) EXPECT_STREQ(AcquisitionStateText(phase, kSpanish), "PRE-DISP");
  EXPECT_STREQ(AcquisitionStateText(8, kEnglish), "RUN");
  EXPECT_STREQ(AcquisitionStateText(9, kEnglish), "RUN");
  EXPECT_STREQ(AcquisitionStateText(1000, kItalian), "RUN");
  // A phase the instrument never reports shows nothing rather than a wrong word.
  EXPECT_STREQ(AcquisitionStateText(-1, kEnglish), "");
  EXPECT_STREQ(AcquisitionStateText(-100000, kGerman), "");
  // A language outside the five reads as English.
  EXPECT_STREQ(AcquisitionStateText(4, 5), "READY");
  EXPECT_STREQ(AcquisitionStateText(4, -1), "READY");
  EXPECT_STREQ(CatalogueText(Msg::Stop, kSpanish), "STOP");
}

TEST(CatalogueContents, MeasurementLabels) {
  constexpr const char* kEnglishLabels[kMeasurementLabelCount] = {
      "Vmin =", "Vmax =", "Vpp  =", "Vlow =", "Vhigh=", "Vhigh-low =", "Vrms =", "Vavg =", "Over+=", "Sum  =",
      "Trise=", "Tfall=", "W+   =", "W-   =", "T    =", "F    =", "DC   =", "N    =", "Over-="};
  struct French {
    int index;
    const char* text;
  };
  constexpr French kFrenchLabels[] = {{5, "Vhaut-bas ="}, {6, "Veff ="}, {7, "Vmoy ="}, {10, "Tm   ="},
                                      {11, "Td   ="},      {12, "L+   ="}, {13, "L-   ="}, {16, "RC   ="},
                                      {8, "Dep+ ="},      {18, "Dep- ="}};
  for (int index = 0; index < kMeasurementLabelCount; ++index) {
    EXPECT_STREQ(MeasurementLabel(index, kEnglish), kEnglishLabels[index]);
    for (int language : {kGerman, kSpanish, kItalian}) {
      EXPECT_STREQ(MeasurementLabel(index, language), kEnglishLabels[index]) << index << " " << language;
    }
  }
  for (const French& label : kFrenchLabels) EXPECT_STREQ(MeasurementLabel(label.index, kFrench), label.text);
  EXPECT_STREQ(MeasurementLabel(-1, kEnglish), "");
  EXPECT_STREQ(MeasurementLabel(kMeasurementLabelCount, kEnglish), "");
  EXPECT_STREQ(CatalogueRow(MsgTable::Count, 0, kEnglish), "");
  // The displayed lines' own entries are the same texts as the table rows.
  struct Shown {
    Msg entry;
    int index;
  };
  for (Shown shown : {Shown{Msg::VhighLowLabel, 5}, Shown{Msg::VrmsLabel, 6}, Shown{Msg::VavgLabel, 7},
                      Shown{Msg::PeriodLabel, 14}, Shown{Msg::FrequencyLabel, 15}}) {
    for (int language = 0; language < kLanguageCount; ++language) {
      EXPECT_STREQ(CatalogueText(shown.entry, language), MeasurementLabel(shown.index, language));
    }
  }
}

TEST(CatalogueContents, LanguageCodes) {
  constexpr const char* kCodes[kLanguageCount] = {"gb", "fr", "de", "es", "it"};
  for (int language = 0; language < kLanguageCount; ++language) EXPECT_STREQ(LanguageCode(language), kCodes[language]);
  EXPECT_STREQ(LanguageCode(kLanguageCount), "gb");
  EXPECT_STREQ(CatalogueText(static_cast<Msg>(kMsgCount), kEnglish), "");
  EXPECT_STREQ(CatalogueText(static_cast<Msg>(-1), kEnglish), "");
}

}  // namespace
