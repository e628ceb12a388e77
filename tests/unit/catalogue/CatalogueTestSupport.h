// Walks over the message catalogue in the catalogue tests.
#pragma once

#include <string>
#include <vector>

#include "catalogue/MessageCatalogue.h"

inline std::vector<Msg> AllEntries() {
  std::vector<Msg> entries;
  for (int id = 0; id < kMsgCount; ++id) entries.push_back(static_cast<Msg>(id));
  return entries;
}

// Every text of the catalogue, one-dimensional entries and table rows alike,
// as five texts with a name for failure messages.
struct TextSet {
  std::string name;
  CatalogueTexts texts;
};

inline std::vector<TextSet> AllTextSets() {
  std::vector<TextSet> sets;
  for (Msg entry : AllEntries()) {
    TextSet set{"entry " + std::to_string(static_cast<int>(entry)), {}};
    for (int language = 0; language < kLanguageCount; ++language) set.texts[language] = CatalogueText(entry, language);
    sets.push_back(set);
  }
  for (int table = 0; table < kMsgTableCount; ++table) {
    const auto id = static_cast<MsgTable>(table);
    for (int row = 0; row < CatalogueRowCount(id); ++row) {
      TextSet set{"table " + std::to_string(table) + " row " + std::to_string(row), {}};
      for (int language = 0; language < kLanguageCount; ++language) set.texts[language] = CatalogueRow(id, row, language);
      sets.push_back(set);
    }
  }
  return sets;
}
