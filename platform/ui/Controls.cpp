#include "platform/ui/Controls.h"

#include <cmath>

#include "platform/ui/Model.h"

using namespace uimodel;

namespace {

// Integer-valued attributes that every kind of control has, by field.
template <class C>
auto IntField(C& control, int attribute) -> decltype(&control.textColor) {
  switch (attribute) {
    case ATTR_TEXT_COLOR: return &control.textColor;
    case ATTR_TEXT_BGCOLOR: return &control.textBackColor;
    case ATTR_FRAME_COLOR: return &control.frameColor;
    case ATTR_ON_COLOR: return &control.onColor;
    case ATTR_OFF_COLOR: return &control.offColor;
    case ATTR_TEXT_POINT_SIZE: return &control.pointSize;
    case ATTR_TEXT_JUSTIFY: return &control.justify;
    case ATTR_TOP: return &control.top;
    case ATTR_LEFT: return &control.left;
    case ATTR_WIDTH: return &control.width;
    case ATTR_HEIGHT: return &control.height;
    case ATTR_SHORTCUT_KEY: return &control.shortcutKey;
    case ATTR_CTRL_MODE: return &control.mode;
    case ATTR_DRAG_AXIS: return &control.dragAxis;
    case ATTR_PRECISION: return &control.precision;
    default: return nullptr;
  }
}

template <class C>
auto FlagField(C& control, int attribute) -> decltype(&control.visible) {
  switch (attribute) {
    case ATTR_VISIBLE: return &control.visible;
    case ATTR_DIMMED: return &control.dimmed;
    case ATTR_LABEL_VISIBLE: return &control.labelVisible;
    case ATTR_TEXT_BOLD: return &control.bold;
    case ATTR_SIZE_TO_TEXT: return &control.sizeToText;
    default: return nullptr;
  }
}

template <class C>
auto TextField(C& control, int attribute) -> decltype(&control.label) {
  switch (attribute) {
    case ATTR_LABEL_TEXT: return &control.label;
    case ATTR_ON_TEXT: return &control.onText;
    case ATTR_OFF_TEXT: return &control.offText;
    case ATTR_TOOLTIP_TEXT: return &control.tooltip;
    case ATTR_IMAGE_FILE: return &control.imageFile;
    case ATTR_CALLBACK_NAME: return &control.callbackName;
    default: return nullptr;
  }
}

int SetNumberAttribute(Control& control, int attribute, double value) {
  if (!std::isfinite(value)) return UIE_INVALID_VALUE;
  if (int* field = IntField(control, attribute)) {
    if ((attribute == ATTR_WIDTH || attribute == ATTR_HEIGHT) && value < 0) return UIE_INVALID_VALUE;
    *field = static_cast<int>(value);
    return 0;
  }
  if (bool* flag = FlagField(control, attribute)) {
    *flag = value != 0.0;
    if (attribute == ATTR_SIZE_TO_TEXT && *flag) control.width = TextWidthEstimate(control.text, control.pointSize);
    return 0;
  }
  switch (attribute) {
    case ATTR_CTRL_VAL: return SetControlNumber(control, value);
    case ATTR_MIN_VALUE:
    case ATTR_MAX_VALUE:
      (attribute == ATTR_MIN_VALUE ? control.min : control.max) = value;
      if (control.kind == CTRL_NUMERIC) SetControlNumber(control, control.number);  // coerce into the new range
      return 0;
    case ATTR_INCR_VALUE: control.increment = value; return 0;
    case ATTR_CTRL_INDEX: {
      const int index = static_cast<int>(value);
      if (!HoldsList(control)) return UIE_WRONG_CONTROL_KIND;
      if (index < 0 || index >= static_cast<int>(control.items.size())) return UIE_INDEX_OUT_OF_RANGE;
      control.index = index;
      return 0;
    }
    default: return SetGraphControlAttribute(control, attribute, value);
  }
}

int GetNumberAttribute(const Control& control, int attribute, double* value) {
  if (const int* field = IntField(control, attribute)) {
    *value = *field;
    return 0;
  }
  if (const bool* flag = FlagField(control, attribute)) {
    *value = *flag ? 1.0 : 0.0;
    return 0;
  }
  switch (attribute) {
    case ATTR_CTRL_VAL:
      if (HoldsText(control)) return UIE_WRONG_CONTROL_KIND;
      *value = NumericValue(control);
      return 0;
    case ATTR_MIN_VALUE: *value = control.min; return 0;
    case ATTR_MAX_VALUE: *value = control.max; return 0;
    case ATTR_INCR_VALUE: *value = control.increment; return 0;
    case ATTR_CTRL_INDEX: *value = control.index; return 0;
    case ATTR_CTRL_KIND: *value = control.kind; return 0;
    default: return GetGraphControlAttribute(control, attribute, value);
  }
}

bool ValidListIndex(const Control& control, int index) {
  return index >= 0 && index < static_cast<int>(control.items.size());
}

int ModifyList(int panel, int control, const std::function<int(Control&)>& change) {
  return ModifyControl(panel, control, [&](Control& target) {
    return HoldsList(target) ? change(target) : UIE_WRONG_CONTROL_KIND;
  });
}

int ReadList(int panel, int control, const std::function<int(const Control&)>& read) {
  return ReadControl(panel, control, [&](const Control& target) {
    return HoldsList(target) ? read(target) : UIE_WRONG_CONTROL_KIND;
  });
}

}  // namespace

int SetCtrlVal(int panel, int control, double value) {
  return ModifyControl(panel, control, [value](Control& target) { return SetControlNumber(target, value); });
}

int SetCtrlVal(int panel, int control, const char* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return SetCtrlVal(panel, control, std::string(value));
}

int SetCtrlVal(int panel, int control, const std::string& value) {
  return ModifyControl(panel, control, [&value](Control& target) { return SetControlText(target, value); });
}

int GetCtrlVal(int panel, int control, double* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return ReadControl(panel, control, [value](const Control& target) {
    if (HoldsText(target) || target.kind == CTRL_GRAPH) return UIE_WRONG_CONTROL_KIND;
    *value = NumericValue(target);
    return 0;
  });
}

int GetCtrlVal(int panel, int control, std::string* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return ReadControl(panel, control, [value](const Control& target) {
    if (HoldsText(target)) *value = target.text;
    else if (target.kind == CTRL_PICTURE) *value = target.imageFile;
    else return UIE_WRONG_CONTROL_KIND;
    return 0;
  });
}

int SetCtrlAttribute(int panel, int control, int attribute, double value) {
  return ModifyControl(panel, control,
                       [&](Control& target) { return SetNumberAttribute(target, attribute, value); });
}

int SetCtrlAttribute(int panel, int control, int attribute, const char* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return SetCtrlAttribute(panel, control, attribute, std::string(value));
}

int SetCtrlAttribute(int panel, int control, int attribute, const std::string& value) {
  return ModifyControl(panel, control, [&](Control& target) {
    if (attribute == ATTR_CTRL_VAL) return SetControlText(target, value);
    std::string* field = TextField(target, attribute);
    if (field == nullptr) return UIE_INVALID_ATTRIBUTE;
    *field = value;
    return 0;
  });
}

int SetCtrlAttribute(int panel, int control, int attribute, void* value) {
  if (attribute != ATTR_CALLBACK_DATA) return UIE_INVALID_ATTRIBUTE;
  return ModifyControl(panel, control, [value](Control& target) {
    target.callbackData = value;
    return 0;
  });
}

int GetCtrlAttribute(int panel, int control, int attribute, double* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return ReadControl(panel, control,
                     [&](const Control& target) { return GetNumberAttribute(target, attribute, value); });
}

int GetCtrlAttribute(int panel, int control, int attribute, std::string* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return ReadControl(panel, control, [&](const Control& target) {
    if (attribute == ATTR_CTRL_VAL) {
      if (!HoldsText(target)) return UIE_WRONG_CONTROL_KIND;
      *value = target.text;
      return 0;
    }
    if (attribute == ATTR_CONSTANT_NAME) {
      *value = target.name;
      return 0;
    }
    const std::string* field = TextField(target, attribute);
    if (field == nullptr) return UIE_INVALID_ATTRIBUTE;
    *value = *field;
    return 0;
  });
}

int GetCtrlAttribute(int panel, int control, int attribute, void** value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  if (attribute != ATTR_CALLBACK_DATA) return UIE_INVALID_ATTRIBUTE;
  return ReadControl(panel, control, [value](const Control& target) {
    *value = target.callbackData;
    return 0;
  });
}

int NewCtrl(int panel, int kind, const char* label, int top, int left) {
  if (kind < CTRL_NUMERIC || kind > CTRL_GRAPH) return UIE_INVALID_VALUE;
  Store& store = TheStore();
  int id;
  {
    std::lock_guard lock(store.mutex);
    Panel* owner = store.FindPanel(panel);
    if (owner == nullptr) return UIE_INVALID_PANEL;
    Control control = MakeControl(kind);
    id = owner->nextControlId++;
    control.id = id;
    control.tabPosition = owner->nextTabPosition++;
    control.name = "CTRL" + std::to_string(id);
    control.label = label != nullptr ? label : "";
    control.labelVisible = !control.label.empty() && kind != CTRL_TEXT_MSG;
    control.top = top;
    control.left = left;
    owner->controls.emplace(id, std::move(control));
    store.MarkControl(panel, id);
  }
  NotifyChanged(true);
  return id;
}

int DiscardCtrl(int panel, int control) {
  Store& store = TheStore();
  {
    std::lock_guard lock(store.mutex);
    Panel* owner = store.FindPanel(panel);
    if (owner == nullptr) return UIE_INVALID_PANEL;
    if (owner->controls.erase(control) == 0) return UIE_INVALID_CONTROL;
    if (owner->activeControl == control) owner->activeControl = 0;
    store.MarkControl(panel, control);
  }
  NotifyChanged(true);
  return 0;
}

int InsertListItem(int panel, int control, int index, const char* label, double value) {
  if (label == nullptr) return UIE_NULL_POINTER;
  return InsertListItem(panel, control, index, std::string(label), value);
}

int InsertListItem(int panel, int control, int index, const std::string& label, double value) {
  return ModifyList(panel, control, [&](Control& target) {
    const int count = static_cast<int>(target.items.size());
    const int at = index < 0 ? count : index;
    if (at > count) return UIE_INDEX_OUT_OF_RANGE;
    target.items.insert(target.items.begin() + at, ListItem{label, value});
    if (target.index < 0) target.index = 0;
    else if (at <= target.index && count > 0) ++target.index;
    return at;
  });
}

int DeleteListItem(int panel, int control, int index, int count) {
  return ModifyList(panel, control, [&](Control& target) {
    const int size = static_cast<int>(target.items.size());
    if (!ValidListIndex(target, index)) return UIE_INDEX_OUT_OF_RANGE;
    const int end = count < 0 ? size : std::min(size, index + count);
    target.items.erase(target.items.begin() + index, target.items.begin() + end);
    if (target.index >= end) target.index -= end - index;
    else if (target.index >= index) target.index = index;
    if (target.index >= static_cast<int>(target.items.size())) target.index = static_cast<int>(target.items.size()) - 1;
    return 0;
  });
}

int ReplaceListItem(int panel, int control, int index, const char* label, double value) {
  if (label == nullptr) return UIE_NULL_POINTER;
  return ModifyList(panel, control, [&](Control& target) {
    if (!ValidListIndex(target, index)) return UIE_INDEX_OUT_OF_RANGE;
    target.items[static_cast<std::size_t>(index)] = ListItem{label, value};
    return 0;
  });
}

int ClearListCtrl(int panel, int control) {
  return ModifyList(panel, control, [](Control& target) {
    target.items.clear();
    target.index = -1;
    return 0;
  });
}

int GetNumListItems(int panel, int control, int* count) {
  if (count == nullptr) return UIE_NULL_POINTER;
  return ReadList(panel, control, [count](const Control& target) {
    *count = static_cast<int>(target.items.size());
    return 0;
  });
}

int GetCtrlIndex(int panel, int control, int* index) {
  if (index == nullptr) return UIE_NULL_POINTER;
  return ReadList(panel, control, [index](const Control& target) {
    *index = target.index;
    return 0;
  });
}

int SetCtrlIndex(int panel, int control, int index) {
  return ModifyList(panel, control, [index](Control& target) {
    if (!ValidListIndex(target, index)) return UIE_INDEX_OUT_OF_RANGE;
    target.index = index;
    return 0;
  });
}

int GetLabelFromIndex(int panel, int control, int index, std::string* label) {
  if (label == nullptr) return UIE_NULL_POINTER;
  return ReadList(panel, control, [&](const Control& target) {
    if (!ValidListIndex(target, index)) return UIE_INDEX_OUT_OF_RANGE;
    *label = target.items[static_cast<std::size_t>(index)].label;
    return 0;
  });
}

int GetValueFromIndex(int panel, int control, int index, double* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return ReadList(panel, control, [&](const Control& target) {
    if (!ValidListIndex(target, index)) return UIE_INDEX_OUT_OF_RANGE;
    *value = target.items[static_cast<std::size_t>(index)].value;
    return 0;
  });
}

int GetIndexFromValue(int panel, int control, int* index, double value) {
  if (index == nullptr) return UIE_NULL_POINTER;
  return ReadList(panel, control, [&](const Control& target) {
    for (std::size_t i = 0; i < target.items.size(); ++i) {
      if (target.items[i].value == value) {
        *index = static_cast<int>(i);
        return 0;
      }
    }
    return UIE_INVALID_VALUE;
  });
}

int SetActiveCtrl(int panel, int control) {
  return ModifyPanel(panel, [control](Panel& target) {
    if (target.controls.count(control) == 0) return UIE_INVALID_CONTROL;
    target.activeControl = control;
    return 0;
  });
}

int GetActiveCtrl(int panel) {
  return ReadPanel(panel, [](const Panel& target) { return target.activeControl; });
}
