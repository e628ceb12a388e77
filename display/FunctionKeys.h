// The main panel's function keys: each acts on one instrument control and
// hands it to the main panel's callback as a commit, as a click would.
#pragma once

// True when `key` (EVENT_KEYPRESS's key code) is one of the function keys
// with an action; F4 and every other key are left alone.
bool HandleFunctionKey(int panel, int key);
