// Message boxes, questions and the file dialog. They wait for the user's
// answer on the user-interface thread. Another thread never waits for the
// user-interface thread: a message box asked from there is shown later and
// returns at once; a question or a file dialog is refused with
// UIE_NOT_ON_UI_THREAD (the user-interface thread may itself be waiting for
// the caller, for the instrument link or at quit).
#pragma once

#include <string>

#include "platform/ui/UiConstants.h"

int MessagePopup(const char* title, const char* message);
// Up to three buttons; returns the 1-based number of the button pressed.
// Enter presses `enterButton` (default the first), Escape `escapeButton`
// (default 0: the last button given).
int GenericMessagePopup(const char* title, const char* message, const char* button1,
                        const char* button2 = nullptr, const char* button3 = nullptr, int enterButton = 1,
                        int escapeButton = 0);
// Returns VAL_NO_FILE_SELECTED, VAL_EXISTING_FILE_SELECTED or VAL_NEW_FILE_SELECTED;
// `buttonLabel` VAL_SAVE_BUTTON asks for a file to write. `fileTypeList` is a
// ';'-separated list of patterns ("*.txt").
int FileSelectPopup(const char* defaultDirectory, const char* defaultFileSpec, const char* fileTypeList,
                    const char* title, int buttonLabel, int restrictDirectory, int restrictExtension, int allowCancel,
                    int allowMakeDirectory, std::string* pathName);
template <std::size_t N>
int FileSelectPopup(const char* defaultDirectory, const char* defaultFileSpec, const char* fileTypeList,
                    const char* title, int buttonLabel, int restrictDirectory, int restrictExtension, int allowCancel,
                    int allowMakeDirectory, char (&pathName)[N]) {
  std::string path;
  const int result = FileSelectPopup(defaultDirectory, defaultFileSpec, fileTypeList, title, buttonLabel,
                                     restrictDirectory, restrictExtension, allowCancel, allowMakeDirectory, &path);
  const std::size_t count = path.size() < N - 1 ? path.size() : N - 1;
  path.copy(pathName, count);
  pathName[count] = '\0';
  return result;
}
