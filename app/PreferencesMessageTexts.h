// The catalogue's title and text for each message of the preferences and
// setup files, for the message box start-up connects to their sink.
#pragma once

#include "catalogue/MessageCatalogue.h"
#include "app/PreferencesMessages.h"

struct MessageBoxEntries {
  Msg title;
  Msg text;
};

MessageBoxEntries CatalogueEntries(PreferencesMessage message);
