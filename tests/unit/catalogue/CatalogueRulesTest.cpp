// Rules every translation keeps: really translated, same printf conversions,
// same line breaks, Latin-1, the words that must survive; the current
// language and composed texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "catalogue/MessageCatalogue.h"
#include "unit/catalogue/CatalogueTestSupport.h"

namespace {

// A language keeps the English text only where that is its own word too, or
// where the instrument's words are shared by every language.
struct SharedText {
  Msg entry;
  std::vector<int> languages;
};
const SharedText kSharedTexts[] = {
    {Msg::Stop, {kFrench, kGerman, kSpanish, kItalian}},  // instrument status word
    {Msg::InformationTitle, {kFrench}},                    // "INFORMATION" is French
    {Msg::No, {kSpanish, kItalian}},                       // "No" is Spanish and Italian
    {Msg::Error, {kSpanish}},                              // "Error" is Spanish
    {Msg::FileMenu, {kItalian}},                           // Italian menus say "File"
    {Msg::Vertical, {kFrench, kSpanish}},
    {Msg::Horizontal, {kFrench, kGerman, kSpanish}},
    {Msg::Source, {kFrench}},
    {Msg::Portrait, {kFrench}},
    {Msg::Trigger, {kItalian}},                            // the Italian technical term
    {Msg::Position, {kFrench, kGerman}},
    // Physical symbols: German, Spanish and Italian use the English labels.
    {Msg::VhighLowLabel, {kGerman, kSpanish, kItalian}},
    {Msg::VrmsLabel, {kGerman, kSpanish, kItalian}},
    {Msg::VavgLabel, {kGerman, kSpanish, kItalian}},
    {Msg::PeriodLabel, {kFrench, kGerman, kSpanish, kItalian}},
    {Msg::FrequencyLabel, {kFrench, kGerman, kSpanish, kItalian}},
};

bool MaySharedEnglish(Msg entry, int language) {
  for (const SharedText& shared : kSharedTexts) {
    if (shared.entry == entry) {
      return std::find(shared.languages.begin(), shared.languages.end(), language) != shared.languages.end();
    }
  }
  return false;
}

// The printf conversions of a text in order, e.g. "%i%s" for "CH%i : %s";
// "%%" is a literal percent sign and not a conversion.
std::string Conversions(std::string_view text) {
  std::string found;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '%') continue;
    const std::size_t start = at++;
    while (at < text.size() && std::strchr("-+ #0123456789.*hlLqjzt", text[at]) != nullptr) ++at;
    if (at >= text.size()) {
      found += "%<unterminated>";
      break;
    }
    if (text[at] == '%' && at == start + 1) continue;
    found.append(text.substr(start, at - start + 1));
  }
  return found;
}

int CountOf(std::string_view text, char c) { return static_cast<int>(std::count(text.begin(), text.end(), c)); }

bool EndsWithBreak(std::string_view text) { return !text.empty() && (text.back() == '\n' || text.back() == '\r'); }

TEST(CatalogueRules, TranslationsDifferFromEnglish) {
  for (Msg entry : AllEntries()) {
    for (int language = kFrench; language < kLanguageCount; ++language) {
      if (MaySharedEnglish(entry, language)) continue;
      EXPECT_STRNE(CatalogueText(entry, language), CatalogueText(entry, kEnglish))
          << "entry " << static_cast<int>(entry) << " language " << language << " is not translated";
    }
  }
  // The allow-list holds only texts that really are the same.
  for (const SharedText& shared : kSharedTexts) {
    for (int language : shared.languages) {
      EXPECT_STREQ(CatalogueText(shared.entry, language), CatalogueText(shared.entry, kEnglish))
          << "entry " << static_cast<int>(shared.entry) << " language " << language;
    }
  }
}

TEST(CatalogueRules, ConversionParser) {
  EXPECT_EQ(Conversions("CH%i : %s"), "%i%s");
  EXPECT_EQ(Conversions("%s n\xB0 0x%x"), "%s%x");
  EXPECT_EQ(Conversions("100%% at %-5.2f"), "%-5.2f");
  EXPECT_EQ(Conversions("50 %"), "%<unterminated>");
  EXPECT_EQ(Conversions("plain"), "");
}

TEST(CatalogueRules, EveryLanguageKeepsTheConversions) {
  for (const TextSet& set : AllTextSets()) {
    const std::string english = Conversions(set.texts[kEnglish]);
    for (int language = kFrench; language < kLanguageCount; ++language) {
      EXPECT_EQ(Conversions(set.texts[language]), english) << set.name << " language " << language;
    }
  }
}

TEST(CatalogueRules, LineBreaksMatchEnglish) {
  for (const TextSet& set : AllTextSets()) {
    const std::string_view english = set.texts[kEnglish];
    for (int language = kFrench; language < kLanguageCount; ++language) {
      const std::string_view text = set.texts[language];
      EXPECT_EQ(CountOf(text, '\n'), CountOf(english, '\n')) << set.name << " language " << language;
      EXPECT_EQ(CountOf(text, '\r'), CountOf(english, '\r')) << set.name << " language " << language;
      EXPECT_EQ(EndsWithBreak(text), EndsWithBreak(english)) << set.name << " language " << language;
    }
  }
  // The first-run messages and the shortcut lists break lines with "\r".
  for (Msg entry : {Msg::DisconnectInstrument, Msg::ConnectInstrument, Msg::AutosetShortcuts, Msg::AdjustShortcuts}) {
    for (int language = 0; language < kLanguageCount; ++language) {
      EXPECT_EQ(CountOf(CatalogueText(entry, language), '\n'), 0);
      EXPECT_GT(CountOf(CatalogueText(entry, language), '\r'), 0);
    }
  }
}

TEST(CatalogueRules, TextsAreLatin1) {
  for (const TextSet& set : AllTextSets()) {
    for (int language = 0; language < kLanguageCount; ++language) {
      const std::string_view text = set.texts[language];
      for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const bool printable = (byte >= 0x20 && byte < 0x7F) || byte >= 0xA0 || byte == '\n' || byte == '\r';
        EXPECT_TRUE(printable) << set.name << " language " << language << " byte " << int(byte);
        // No UTF-8 lead byte followed by a continuation byte.
        if (byte >= 0xC2 && byte <= 0xF4 && at + 1 < text.size()) {
          const auto next = static_cast<unsigned char>(text[at + 1]);
          EXPECT_FALSE(next >= 0x80 && next <= 0xBF) << set.name << " language " << language << " looks like UTF-8";
        }
      }
    }
  }
  EXPECT_NE(std::strchr(kNumberedErrorFormat, '\xB0'), nullptr);
  EXPECT_NE(std::strchr(CatalogueText(Msg::CannotCreateFile, kFrench), '\xE9'), nullptr);      // e acute
  EXPECT_NE(std::strchr(CatalogueText(Msg::ChecksumErrorTitle, kGerman), '\xDC'), nullptr);    // U umlaut
  EXPECT_EQ(CatalogueText(Msg::QuitQuestion, kSpanish)[0], '\xBF');                            // inverted question mark
  EXPECT_NE(std::strchr(CatalogueText(Msg::ReadConfigurationWrong, kItalian), '\xE8'), nullptr);  // e grave
}

TEST(CatalogueRules, FixedWordsSurviveTranslation) {
  struct Kept {
    Msg entry;
    std::vector<const char*> words;
  };
  const Kept kKept[] = {
      {Msg::QuitQuestion, {"ORNIKELVARINLAB"}},
      {Msg::PanelFileNotFound, {"UIR"}},
      {Msg::WrongIniFile, {"'.ini'"}},
      {Msg::CannotCreateIniFile, {"'.ini'"}},
      {Msg::CannotCreateConfigurationFile, {"'*.cfg'"}},
      {Msg::AutosetImpossible, {"(<20Hz)", "\n - "}},
      {Msg::SaveTrace, {"(.txt)"}},
      {Msg::ConnectionFailedAdvice, {"USB", "10", "\n\n- ", "\n  ("}},
      {Msg::DisconnectInstrument, {"USB", "Ethernet"}},
      {Msg::ConnectInstrument, {"USB", "Ethernet", "10s", "'OK'"}},
      {Msg::AutosetShortcuts, {"F1 : ", "\rF2 : ", "\rF3 : ", "CH1", "CH2"}},
      {Msg::AdjustShortcuts,
       {"F5 : ", "\rF6 : ", "\rF7 : ", "\rF8 : ", "\rF9 : ", "\rF10 : ", "\rF11 : ", "\rF12 : ", "CH1", "CH2"}},
      {Msg::Cancel, {"__"}},  // the mnemonic marker
      {Msg::XyGraph, {"XY"}},
  };
  for (const Kept& kept : kKept) {
    for (int language = 0; language < kLanguageCount; ++language) {
      const std::string text = CatalogueText(kept.entry, language);
      for (const char* word : kept.words) {
        EXPECT_NE(text.find(word), std::string::npos)
            << "entry " << static_cast<int>(kept.entry) << " language " << language << " lost \"" << word << "\"";
      }
    }
  }
}

class CurrentLanguageTest : public ::testing::Test {
 protected:
  void TearDown() override { SetCurrentLanguage(kEnglish); }
};

TEST_F(CurrentLanguageTest, SelectsTheTextsAndRejectsBadIndexes) {
  SetCurrentLanguage(kGerman);
  EXPECT_EQ(CurrentLanguage(), kGerman);
  EXPECT_STREQ(CatalogueText(Msg::FileMenu), "Datei");
  EXPECT_STREQ(CatalogueRow(MsgTable::AcqStateTexts, 4), "BEREIT");
  SetCurrentLanguage(kSpanish);
  EXPECT_STREQ(CatalogueText(Msg::FileMenu), "Archivo");
  for (int bad : {5, 99, -1, -2147483647 - 1}) {
    SetCurrentLanguage(kItalian);
    SetCurrentLanguage(bad);
    EXPECT_EQ(CurrentLanguage(), kEnglish) << bad;
  }
  EXPECT_STREQ(CatalogueText(Msg::FileMenu), "File");
}

TEST_F(CurrentLanguageTest, ComposedTextsTranslateOnlyTheCatalogueParts) {
  SetCurrentLanguage(kGerman);
  EXPECT_EQ(MeasurementTitleText(0), "Auto. Messungen CH1");
  SetCurrentLanguage(kEnglish);
  EXPECT_EQ(MeasurementTitleText(1), "Auto. meas. CH2");
  EXPECT_EQ(FormatCatalogue(kChannelMessageFormat, 2, Msg::VerticalAutosetImpossible),
            "CH2 : Vertical autoset impossible");
  EXPECT_EQ(FormatCatalogue(kNumberedErrorFormat, Msg::Error, 0x1Fu), "Error n\xB0 0x1f");
  SetCurrentLanguage(kFrench);
  EXPECT_EQ(FormatCatalogue(kNumberedErrorFormat, Msg::Error, 0xA5u), "Erreur n\xB0 0xa5");
  EXPECT_EQ(ShortcutKeysText(), std::string(CatalogueText(Msg::AutosetShortcuts)) + CatalogueText(Msg::AdjustShortcuts));
  // Long texts come out whole.
  const std::string advice = CatalogueText(Msg::ConnectionFailedAdvice);
  EXPECT_GT(advice.size(), 256u);
  EXPECT_EQ(FormatCatalogue("%s", Msg::ConnectionFailedAdvice), advice);
  EXPECT_EQ(FormatCatalogue("[%s|%s]", std::string("a"), "b"), "[a|b]");
  EXPECT_EQ(FormatCatalogue(""), "");
}

TEST_F(CurrentLanguageTest, ReadersOnAnotherThreadSeeWholeTexts) {
  std::atomic<bool> done{false};
  std::atomic<int> wrong{0};
  std::thread reader([&] {
    while (!done.load()) {
      const char* text = CatalogueText(Msg::Trigger);
      bool known = false;
      for (int language = 0; language < kLanguageCount; ++language) known |= text == CatalogueText(Msg::Trigger, language);
      if (!known) wrong.fetch_add(1);
    }
  });
  for (int round = 0; round < 2000; ++round) SetCurrentLanguage(round % kLanguageCount);
  done.store(true);
  reader.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
