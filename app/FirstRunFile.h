// The first-run file: whether the first-run sequence (language choice, driver
// installation) has run, and the user's language.
#pragma once

#include <string>

inline constexpr const char* kFirstRunFileName = "setupD.7up";

struct FirstRunState {
  bool fileRead = false;   // the file existed and held at least its flag
  int firstRunDone = 0;    // 0: the first-run sequence still has to run
  int language = 0;        // 0..4, in catalogue order
};

// A missing or unreadable file (or anything but a regular file) counts as a
// fresh install: the first-run sequence runs and the language stays English.
// A missing language, or one outside 0..4, becomes 0.
FirstRunState ReadFirstRunFile(const std::string& path);
// "1\n<language>\n", replaced atomically.
bool WriteFirstRunFile(const std::string& path, int language);
