// Everything the program's code calls to show and drive its panels.
#pragma once

#include "platform/os/Timing.h"
#include "platform/ui/Bitmaps.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Events.h"
#include "platform/ui/Graphs.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Panels.h"
#include "platform/ui/Popups.h"
#include "platform/os/ProjectDir.h"
#include "platform/ui/Report.h"
#include "platform/ui/ThreadPool.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/UiConstants.h"
