#include "catalogue/MessageCatalogue.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "catalogue/CatalogueData.h"

namespace {

// Read by the acquisition thread while the user-interface thread may set it.
std::atomic<int> currentLanguage{kEnglish};

constexpr int kLastAcqStateRow = 7;
constexpr int kEmptyAcqStateRow = 8;

bool ValidLanguage(int language) { return language >= 0 && language < kLanguageCount; }

int UsableLanguage(int language) { return ValidLanguage(language) ? language : kEnglish; }

template <typename Visit>
void ForEachDefinition(Visit visit) {
  for (auto entries : {MessageEntries(), LabelEntries(), TableEntries()}) {
    for (const CatalogueEntryData& entry : entries) visit(entry);
  }
}

using EntryIndex = std::array<const CatalogueTexts*, kMsgCount>;

const EntryIndex& Index() {
  static const EntryIndex index = [] {
    EntryIndex built{};
    ForEachDefinition([&](const CatalogueEntryData& entry) {
      const int id = static_cast<int>(entry.id);
      if (id >= 0 && id < kMsgCount && built[id] == nullptr) built[id] = &entry.texts;
    });
    return built;
  }();
  return index;
}

}  // namespace

int CurrentLanguage() { return currentLanguage.load(std::memory_order_relaxed); }

void SetCurrentLanguage(int language) {
  currentLanguage.store(UsableLanguage(language), std::memory_order_relaxed);
}

const char* CatalogueText(Msg entry) { return CatalogueText(entry, CurrentLanguage()); }

const char* CatalogueText(Msg entry, int language) {
  const int id = static_cast<int>(entry);
  if (id < 0 || id >= kMsgCount || Index()[id] == nullptr) return "";
  return (*Index()[id])[UsableLanguage(language)];
}

int CatalogueRowCount(MsgTable table) { return static_cast<int>(TableRows(table).size()); }

const char* CatalogueRow(MsgTable table, int row) { return CatalogueRow(table, row, CurrentLanguage()); }

const char* CatalogueRow(MsgTable table, int row, int language) {
  const auto rows = TableRows(table);
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return "";
  return rows[row][UsableLanguage(language)];
}

const char* AcquisitionStateText(int state, int language) {
  const int row = state < 0 ? kEmptyAcqStateRow : (state > kLastAcqStateRow ? kLastAcqStateRow : state);
  return CatalogueRow(MsgTable::AcqStateTexts, row, language);
}

const char* LanguageCode(int language) { return CatalogueText(Msg::LanguageCode, language); }

const char* MeasurementLabel(int index, int language) {
  return CatalogueRow(MsgTable::MeasurementLabels, index, language);
}

std::array<int, kMsgCount> CatalogueDefinitionCounts() {
  std::array<int, kMsgCount> counts{};
  ForEachDefinition([&](const CatalogueEntryData& entry) {
    const int id = static_cast<int>(entry.id);
    if (id >= 0 && id < kMsgCount) ++counts[id];
  });
  return counts;
}

std::string catalogue_detail::FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<std::size_t>(length));
    // Writing the terminator into the string's own final slot is allowed.
    std::vsnprintf(text.data(), text.size() + 1, format, args);
  }
  va_end(args);
  return text;
}

std::string MeasurementTitleText(int referenceChannel) {
  return FormatCatalogue(kChannelTitleFormat, Msg::AutoMeasurements, referenceChannel + 1);
}

std::string ShortcutKeysText() {
  return FormatCatalogue(kJoinedTextsFormat, Msg::AutosetShortcuts, Msg::AdjustShortcuts);
}
