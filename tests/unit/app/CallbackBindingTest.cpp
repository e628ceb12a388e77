// Every callback the panel file names is bound to a function of the program:
// a name without one would leave its control, panel or menu item dead.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Startup.h"
#include "platform/ui/Dispatch.h"
#include "platform/ui/PanelFile.h"
#include "platform/ui/UserInterface.h"

namespace {

struct NamedCallback {
  CallbackKind kind;
  std::string name, where;
};

std::vector<NamedCallback> CallbacksOf(const uimodel::PanelFileContent& content) {
  std::vector<NamedCallback> named;
  for (const uimodel::Panel& panel : content.panels) {
    if (!panel.callbackName.empty()) named.push_back({CallbackKind::Panel, panel.callbackName, panel.name});
    for (const auto& [id, control] : panel.controls)
      if (!control.callbackName.empty())
        named.push_back({CallbackKind::Control, control.callbackName, panel.name + "." + control.name});
  }
  for (const uimodel::MenuBar& bar : content.menuBars)
    for (const auto& [id, item] : bar.items)
      if (!item.callbackName.empty()) named.push_back({CallbackKind::Menu, item.callbackName, bar.name + "." + item.name});
  return named;
}

TEST(CallbackBinding, EveryCallbackOfThePanelFileIsBound) {
  uimodel::PanelFileContent content;
  std::string error;
  ASSERT_EQ(uimodel::ReadPanelFile(ORNI_PANEL_FILE, &content, &error), 0) << error;
  uimodel::ResetBindings();
  BindProgramCallbacks();
  const std::vector<NamedCallback> named = CallbacksOf(content);
  EXPECT_GE(named.size(), 3u) << "the main panel, the File and the Display menus have callbacks";
  for (const NamedCallback& callback : named)
    EXPECT_TRUE(CallbackRegistered(callback.kind, callback.name))
        << callback.where << " names \"" << callback.name << "\", which the program does not bind";
  uimodel::ResetBindings();
}

}  // namespace
