// The catalogue's texts, kept as data in one file per topic; MessageCatalogue
// indexes them.
#pragma once

#include <array>
#include <span>

#include "catalogue/MessageCatalogue.h"

struct CatalogueEntryData {
  Msg id;
  CatalogueTexts texts;
};

std::span<const CatalogueEntryData> MessageEntries();  // message boxes, notices, first run
std::span<const CatalogueEntryData> LabelEntries();    // menus, panel labels, toolbar, printing
std::span<const CatalogueEntryData> TableEntries();    // language codes and entries taken from the tables
std::span<const CatalogueTexts> TableRows(MsgTable table);

// How many times each entry is defined across the files; each must be 1.
std::array<int, kMsgCount> CatalogueDefinitionCounts();
