// The first-run file: whether the first-run sequence (language choice, driver
// installation) has run, and the user's language.
#pragma once

#include <string>

struct FirstRunState {
  bool fileRead = false;   // the file existed and held its two numbers
  int firstRunDone = 0;    // 0: the first-run sequence still has to run
  int language = 0;        // 0..4, in catalogue order
};

// A missing or unreadable file counts as a fresh install: the first-run
// sequence runs and the language stays English. A language outside 0..4
// becomes 0.
FirstRunState ReadFirstRunFile(const std::string& path);
// "1\n<language>\n", replaced atomically.
bool WriteFirstRunFile(const std::string& path, int language);
