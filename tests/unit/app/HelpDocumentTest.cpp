// The manual the Help menu opens: chosen by model and language, replaced when the language changes.
#include <gtest/gtest.h>

#include "ProgramTestSupport.h"
#include "app/HelpDocument.h"

namespace {

using programtest::ReadFile;
namespace fs = std::filesystem;

class HelpDocumentTest : public programtest::ProgramTest {
 protected:
  // Each manual holds its own suffix, telling which one was put in place.
  void WriteManuals(std::initializer_list<const char*> suffixes) {
    fs::create_directories(dir_ / "help");
    for (const char* suffix : suffixes) std::ofstream(dir_ / "help" / ("ORNIKELVARINLAB_" + std::string(suffix) + ".pdf")) << suffix;
  }
  std::string Installed() const { return ReadFile(dir_ / "ORNIKELVARINLAB.pdf"); }
};

TEST_F(HelpDocumentTest, ModelAndLanguageChooseTheManual) {
  WriteManuals({"gb", "fr", "MAREVO"});
  std::ofstream(dir_ / "ORNIKELVARINLAB.pdf") << "an older manual, longer than the new ones";
  SetCurrentLanguage(1);
  InstallHelpDocument(162);
  EXPECT_EQ(Installed(), "fr");
  for (int language = 0; language < 5; ++language) {
    SetCurrentLanguage(language);
    InstallHelpDocument(71);
    EXPECT_EQ(Installed(), "MAREVO") << "the distributor's, whatever the language";
  }
  SetCurrentLanguage(2);
  InstallHelpDocument(162);
  EXPECT_FALSE(fs::exists(dir_ / "ORNIKELVARINLAB.pdf")) << "no German manual: the old one is gone all the same";
  EXPECT_TRUE(headless::Popups().empty());
}

TEST_F(HelpDocumentTest, LanguageChangePutsTheNewLanguagesManualInPlace) {
  WriteManuals({"gb", "de"});
  StartOn(162);
  EXPECT_EQ(Installed(), "gb");
  headless::ChooseMenuItem(GetPanelMenuBar(MainPanelHandle.load()), MainMenuBar::GermanItem);
  EXPECT_EQ(Installed(), "de");
}

}  // namespace
