// The main panel's handle for the display code, which also runs on the
// acquisition thread. The start-up sets it once the main panel is loaded;
// 0 before that (writes to panel 0 are refused by the toolkit).
#pragma once

#include <atomic>

inline std::atomic<int> MainPanelHandle{0};
