// Message boxes and the file dialog on the Qt side (user-interface thread).
#pragma once

#include <string>

#include "platform/ui/Frontend.h"

namespace uiqt {

int ShowMessage(const std::string& title, const std::string& text);
int ShowQuestion(const uimodel::GenericPopupRequest& request);
int ShowFileDialog(const uimodel::FileSelectRequest& request, std::string* path);

}  // namespace uiqt
