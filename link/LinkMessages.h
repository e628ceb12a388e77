// Messages the link layer has to show the user. The link only names them;
// the application installs a sink that looks the texts up in the message
// catalogue (current language) and shows a message box.
#pragma once

#include <functional>

enum class LinkMessage {
  WrongConfiguration,     // "Read configuration is wrong." under "ERROR !"
  ConfigurationChecksum,  // "Checksum error in read configuration." under "CHECKSUM ERROR"
};

using LinkMessageSink = std::function<void(LinkMessage)>;

// Replaces the sink; an empty sink drops the messages.
void SetLinkMessageSink(LinkMessageSink sink);
// Passes `message` to the sink, if any. Called on the user-interface thread.
void ReportLinkMessage(LinkMessage message);
