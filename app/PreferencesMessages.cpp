#include "app/PreferencesMessages.h"

#include <utility>

namespace {

PreferencesMessageSink messageSink;

}  // namespace

void SetPreferencesMessageSink(PreferencesMessageSink sink) { messageSink = std::move(sink); }

void ReportPreferencesMessage(PreferencesMessage message) {
  if (messageSink) messageSink(message);
}
