// Controls: values, attributes, rings and lists, focus.
#pragma once

#include <cstddef>
#include <string>
#include <type_traits>

#include "platform/ui/UiConstants.h"

// Numbers passed by value or through a pointer (char is text, not a number).
template <class T>
concept UiNumber = std::is_arithmetic_v<T> && !std::is_same_v<std::remove_cv_t<T>, char>;

// ---- values: numbers for numerics, switches, LEDs and rings (the selected item's
// value); texts for text messages, text boxes, strings and rings of texts.
int SetCtrlVal(int panel, int control, double value);
int SetCtrlVal(int panel, int control, const char* value);
int SetCtrlVal(int panel, int control, const std::string& value);
template <UiNumber T>
int SetCtrlVal(int panel, int control, T value) {
  return SetCtrlVal(panel, control, static_cast<double>(value));
}
int GetCtrlVal(int panel, int control, double* value);
int GetCtrlVal(int panel, int control, std::string* value);
// Integer targets take the value truncated toward zero.
template <UiNumber T>
int GetCtrlVal(int panel, int control, T* value) {
  double number = 0.0;
  const int status = GetCtrlVal(panel, control, &number);
  if (status >= 0) *value = static_cast<T>(number);
  return status;
}
// Copies at most N - 1 bytes and always terminates.
template <std::size_t N>
int GetCtrlVal(int panel, int control, char (&value)[N]);

// ---- attributes (ATTR_* in UiConstants.h)
int SetCtrlAttribute(int panel, int control, int attribute, double value);
int SetCtrlAttribute(int panel, int control, int attribute, const char* value);
int SetCtrlAttribute(int panel, int control, int attribute, const std::string& value);
int SetCtrlAttribute(int panel, int control, int attribute, void* value);  // ATTR_CALLBACK_DATA
template <UiNumber T>
int SetCtrlAttribute(int panel, int control, int attribute, T value) {
  return SetCtrlAttribute(panel, control, attribute, static_cast<double>(value));
}
int GetCtrlAttribute(int panel, int control, int attribute, double* value);
int GetCtrlAttribute(int panel, int control, int attribute, std::string* value);
int GetCtrlAttribute(int panel, int control, int attribute, void** value);  // ATTR_CALLBACK_DATA
template <UiNumber T>
int GetCtrlAttribute(int panel, int control, int attribute, T* value) {
  double number = 0.0;
  const int status = GetCtrlAttribute(panel, control, attribute, &number);
  if (status >= 0) *value = static_cast<T>(number);
  return status;
}
template <std::size_t N>
int GetCtrlAttribute(int panel, int control, int attribute, char (&value)[N]);

// Creates a control at run time (the toolbar builds its items this way).
int NewCtrl(int panel, int kind, const char* label, int top, int left);
int DiscardCtrl(int panel, int control);

// ---- rings and list boxes. Indexes are 0-based; -1 as index appends.
int InsertListItem(int panel, int control, int index, const char* label, double value);
int InsertListItem(int panel, int control, int index, const std::string& label, double value);
int DeleteListItem(int panel, int control, int index, int count);  // count -1: to the end
int ReplaceListItem(int panel, int control, int index, const char* label, double value);
int ClearListCtrl(int panel, int control);
int GetNumListItems(int panel, int control, int* count);
int GetCtrlIndex(int panel, int control, int* index);  // -1 when the list is empty
int SetCtrlIndex(int panel, int control, int index);
int GetLabelFromIndex(int panel, int control, int index, std::string* label);
template <std::size_t N>
int GetLabelFromIndex(int panel, int control, int index, char (&label)[N]);
int GetValueFromIndex(int panel, int control, int index, double* value);
int GetIndexFromValue(int panel, int control, int* index, double value);

// ---- focus
int SetActiveCtrl(int panel, int control);
int GetActiveCtrl(int panel);

namespace uidetail {
inline int CopyBounded(const std::string& text, char* out, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t count = text.size() < size - 1 ? text.size() : size - 1;
  text.copy(out, count);
  out[count] = '\0';
  return 0;
}
}  // namespace uidetail

template <std::size_t N>
int GetCtrlVal(int panel, int control, char (&value)[N]) {
  std::string text;
  const int status = GetCtrlVal(panel, control, &text);
  if (status >= 0) uidetail::CopyBounded(text, value, N);
  return status;
}
template <std::size_t N>
int GetCtrlAttribute(int panel, int control, int attribute, char (&value)[N]) {
  std::string text;
  const int status = GetCtrlAttribute(panel, control, attribute, &text);
  if (status >= 0) uidetail::CopyBounded(text, value, N);
  return status;
}
template <std::size_t N>
int GetLabelFromIndex(int panel, int control, int index, char (&label)[N]) {
  std::string text;
  const int status = GetLabelFromIndex(panel, control, index, &text);
  if (status >= 0) uidetail::CopyBounded(text, label, N);
  return status;
}
