// The manuals the build typesets: one per language, naming the program's
// menus, buttons and messages as the catalogue has them, and the
// distributor's edition without the maker's addresses.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "catalogue/MessageCatalogue.h"
#include "support/PdfTools.h"
#include "unit/datafiles/DataFilesTestSupport.h"

namespace {

std::filesystem::path ManualPath(const std::string& suffix) {
  return datafiles::BuildDirectory() / "help" / ("ORNIKELVARINLAB_" + suffix + ".pdf");
}

// The manual's text in drawing order (each table cell in one piece), whitespace
// collapsed; "" when it cannot be read.
std::string ManualText(const std::filesystem::path& pdf) {
  if (!std::filesystem::exists(pdf)) return "";
  return datafiles::CollapseWhitespace(
      testsupport::CommandOutput("pdftotext -raw -enc UTF-8 '" + pdf.string() + "' - 2>/dev/null"));
}

// The texts a user looks for in the manual: menus, toolbar, dialogs, messages.
constexpr Msg kNamedTexts[] = {
    Msg::FileMenu,       Msg::SaveTrace,        Msg::CopyWindow,     Msg::PrintEllipsis,
    Msg::Exit,           Msg::DisplayMenu,      Msg::Persistence,    Msg::AutomaticMeasurements,
    Msg::Language,       Msg::Help,             Msg::About,          Msg::Reference,
    Msg::ScreenShot,     Msg::ShortcutKeys,     Msg::ChooseChannel,  Msg::SaveDialogTitle,
    Msg::SelectWindows,  Msg::SelectPrinter,    Msg::ControlPanel,   Msg::XyGraph,
    Msg::Portrait,       Msg::Landscape,        Msg::Sensitivity,    Msg::Coupling,
    Msg::TimeBase,       Msg::HorizontalPosition, Msg::RisingSlope,  Msg::FallingSlope,
    Msg::InformationTitle, Msg::WaitTitle,      Msg::InstallingDrivers, Msg::ConfigurationFileNotFound,
    Msg::CommunicationError, Msg::SelfTestErrorTitle, Msg::FileErrorTitle, Msg::CannotCreateFile,
    Msg::FileLoadError,  Msg::LoadingSamples,   Msg::VerticalAutosetImpossible,
};

// A catalogue text as the manual quotes it: line ends as spaces, without the
// dialog's accelerator marks.
std::string AsQuoted(const char* latin1) {
  std::string text = datafiles::Latin1ToUtf8(latin1);
  if (text.starts_with("__")) text.erase(0, 2);
  text = datafiles::CollapseWhitespace(text);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

void ExpectNamesTheProgramsTexts(const std::string& manual, int language) {
  for (const Msg entry : kNamedTexts) {
    const std::string text = AsQuoted(CatalogueText(entry, language));
    EXPECT_NE(manual.find(text), std::string::npos) << "missing: " << text;
  }
  EXPECT_NE(manual.find(AsQuoted(CatalogueText(Msg::QuitQuestion, language))), std::string::npos);
  EXPECT_NE(manual.find(MeasurementTitleText(0)), std::string::npos) << "missing the measurement title";
}

// Every function key's meaning, as the Shortcut Keys window words it.
void ExpectExplainsTheFunctionKeys(const std::string& manual, int language) {
  const std::string keys = datafiles::Latin1ToUtf8(CatalogueText(Msg::AutosetShortcuts, language)) +
                           datafiles::Latin1ToUtf8(CatalogueText(Msg::AdjustShortcuts, language));
  size_t start = 0;
  for (size_t end; (end = keys.find('\r', start)) != std::string::npos; start = end + 1) {
    const std::string line = keys.substr(start, end - start);
    const size_t colon = line.find(" : ");
    if (colon == std::string::npos) continue;  // the closing note on the zoom keys
    EXPECT_NE(manual.find(line.substr(colon + 3)), std::string::npos) << "missing: " << line;
  }
}

class LanguageManual : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { SetCurrentLanguage(GetParam()); }
  void TearDown() override { SetCurrentLanguage(kEnglish); }
};

TEST_P(LanguageManual, ExistsAndNamesEveryMenuButtonAndMessageInItsLanguage) {
  const int language = GetParam();
  const std::string manual = ManualText(ManualPath(LanguageCode(language)));
  ASSERT_FALSE(manual.empty()) << ManualPath(LanguageCode(language));
  ExpectNamesTheProgramsTexts(manual, language);
  ExpectExplainsTheFunctionKeys(manual, language);
  EXPECT_NE(manual.find("https://www.kelvarinlab.example/"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(EveryLanguage, LanguageManual,
                         ::testing::Values(kEnglish, kFrench, kGerman, kSpanish, kItalian));

// Its German texts are checked above; no English is left in it.
TEST(Manuals, GermanIsNotEnglishUnderAnotherName) {
  const std::string german = ManualText(ManualPath("de"));
  ASSERT_FALSE(german.empty());
  EXPECT_EQ(german.find("Save Trace"), std::string::npos);
  EXPECT_EQ(german.find("Exit"), std::string::npos);
}

TEST(Manuals, DistributorEditionIsEnglishForTheModel71WithoutTheMakersAddresses) {
  const std::string manual = ManualText(ManualPath("MAREVO"));
  ASSERT_FALSE(manual.empty());
  ExpectNamesTheProgramsTexts(manual, kEnglish);
  ExpectExplainsTheFunctionKeys(manual, kEnglish);
  EXPECT_NE(manual.find("model 71"), std::string::npos);
  EXPECT_NE(manual.find("25mV"), std::string::npos);
  EXPECT_EQ(manual.find("kelvarinlab.example"), std::string::npos);
  EXPECT_EQ(manual.find("KVX162"), std::string::npos);
  EXPECT_EQ(manual.find(" 5mV"), std::string::npos);  // the KVX162's smallest range
}

}  // namespace
