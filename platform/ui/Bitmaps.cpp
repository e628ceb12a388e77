#include "platform/ui/Bitmaps.h"

#include <algorithm>
#include <fstream>

#include "platform/ui/Frontend.h"
#include "platform/ui/Model.h"

using namespace uimodel;

namespace {

void PutLittleEndian(std::vector<char>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::vector<char> EncodeBmp(const Bitmap& bitmap) {
  const std::uint32_t rowBytes = (static_cast<std::uint32_t>(bitmap.width) * 3 + 3) & ~3u;
  const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(bitmap.height);
  std::vector<char> out;
  out.reserve(54 + imageBytes);
  out.push_back('B');
  out.push_back('M');
  PutLittleEndian(out, 54 + imageBytes, 4);
  PutLittleEndian(out, 0, 4);
  PutLittleEndian(out, 54, 4);
  PutLittleEndian(out, 40, 4);
  PutLittleEndian(out, static_cast<std::uint32_t>(bitmap.width), 4);
  PutLittleEndian(out, static_cast<std::uint32_t>(bitmap.height), 4);  // positive: rows bottom-up
  PutLittleEndian(out, 1, 2);
  PutLittleEndian(out, 24, 2);
  PutLittleEndian(out, 0, 4);
  PutLittleEndian(out, imageBytes, 4);
  PutLittleEndian(out, 2835, 4);  // 72 dpi
  PutLittleEndian(out, 2835, 4);
  PutLittleEndian(out, 0, 4);
  PutLittleEndian(out, 0, 4);
  for (int row = bitmap.height - 1; row >= 0; --row) {
    const std::size_t start = out.size();
    for (int column = 0; column < bitmap.width; ++column) {
      const std::uint32_t pixel = bitmap.pixels[static_cast<std::size_t>(row * bitmap.width + column)];
      out.push_back(static_cast<char>(pixel & 0xFF));
      out.push_back(static_cast<char>((pixel >> 8) & 0xFF));
      out.push_back(static_cast<char>((pixel >> 16) & 0xFF));
    }
    out.resize(start + rowBytes, '\0');
  }
  return out;
}

int WithBitmap(int bitmap, const std::function<int(const Bitmap&)>& use) {
  Store& store = TheStore();
  std::lock_guard lock(store.mutex);
  const auto found = store.bitmaps.find(bitmap);
  if (found == store.bitmaps.end()) return UIE_INVALID_BITMAP;
  return use(found->second);
}

void FillRect(Bitmap& picture, int top, int left, int height, int width, int colour) {
  if (colour == VAL_TRANSPARENT) return;
  const int bottom = std::min(picture.height, top + height), right = std::min(picture.width, left + width);
  for (int y = std::max(0, top); y < bottom; ++y)
    for (int x = std::max(0, left); x < right; ++x)
      picture.pixels[static_cast<std::size_t>(y * picture.width + x)] = static_cast<std::uint32_t>(colour);
}

void OutlineRect(Bitmap& picture, int top, int left, int height, int width, int colour) {
  FillRect(picture, top, left, 1, width, colour);
  FillRect(picture, top + height - 1, left, 1, width, colour);
  FillRect(picture, top, left, height, 1, colour);
  FillRect(picture, top, left + width - 1, height, 1, colour);
}

void DrawControlBox(Bitmap& picture, int top, int left, const Control& control) {
  const int y = top + control.top, x = left + control.left;
  if (control.graph) {
    const PlotArea area = ComputePlotArea(control);
    OutlineRect(picture, y, x, control.height, control.width, control.frameColor);
    FillRect(picture, y + area.top, x + area.left, area.height, area.width, control.graph->plotBackColor);
    return;
  }
  if (control.kind == CTRL_LED) {
    FillRect(picture, y, x, control.height, control.width, control.number != 0.0 ? control.onColor : control.offColor);
    return;
  }
  if (control.kind == CTRL_MARKER || control.kind == CTRL_DECORATION) {
    FillRect(picture, y, x, control.height, control.width, control.frameColor);
    return;
  }
  FillRect(picture, y, x, control.height, control.width, control.textBackColor);
  if (!HoldsText(control)) OutlineRect(picture, y, x, control.height, control.width, control.frameColor);
}

// Caller holds the store's mutex.
void DrawPanel(Store& store, Bitmap& picture, const Panel& panel, int top, int left) {
  FillRect(picture, top, left, panel.height, panel.width, panel.backColor);
  for (const auto& [id, control] : panel.controls)
    if (control.visible) DrawControlBox(picture, top, left, control);
  for (const auto& [handle, child] : store.panels)
    if (child.parent == panel.handle && child.visible) DrawPanel(store, picture, child, top + child.top, left + child.left);
}

}  // namespace

namespace uimodel {

Bitmap SchematicPanelPicture(int panel) {
  Store& store = TheStore();
  std::lock_guard lock(store.mutex);
  Bitmap picture;
  const Panel* target = store.FindPanel(panel);
  if (target == nullptr) return picture;
  picture.width = target->width;
  picture.height = target->height;
  picture.pixels.assign(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height), VAL_WHITE);
  DrawPanel(store, picture, *target, 0, 0);
  return picture;
}

}  // namespace uimodel

int GetPanelDisplayBitmap(int panel, int scope, int* bitmap) {
  if (bitmap == nullptr) return UIE_NULL_POINTER;
  if (scope != VAL_FULL_PANEL && scope != VAL_VISIBLE_AREA) return UIE_INVALID_VALUE;
  if (ReadPanel(panel, [](const Panel&) { return 0; }) < 0) return UIE_INVALID_PANEL;
  std::optional<Bitmap> picture = CurrentFrontend().CapturePanel(panel, scope);
  if (!picture) return UIE_NOT_ON_UI_THREAD;
  Store& store = TheStore();
  std::lock_guard lock(store.mutex);
  *bitmap = store.nextBitmapHandle++;
  store.bitmaps.emplace(*bitmap, std::move(*picture));
  return 0;
}

int SaveBitmapToBMPFile(int bitmap, const char* fileName) {
  if (fileName == nullptr) return UIE_NULL_POINTER;
  std::vector<char> bytes;
  const int status = WithBitmap(bitmap, [&bytes](const Bitmap& picture) {
    bytes = EncodeBmp(picture);
    return 0;
  });
  if (status < 0) return status;
  std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
  if (!file) return UIE_FILE_WRITE_ERROR;
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file.good() ? 0 : UIE_FILE_WRITE_ERROR;
}

int ClipboardPutBitmap(int bitmap) {
  Bitmap copy;
  const int status = WithBitmap(bitmap, [&copy](const Bitmap& picture) {
    copy = picture;
    return 0;
  });
  if (status < 0) return status;
  return CurrentFrontend().ClipboardPutBitmap(copy);
}

int DiscardBitmap(int bitmap) {
  Store& store = TheStore();
  std::lock_guard lock(store.mutex);
  return store.bitmaps.erase(bitmap) == 1 ? 0 : UIE_INVALID_BITMAP;
}

int GetBitmapSize(int bitmap, int* width, int* height) {
  if (width == nullptr || height == nullptr) return UIE_NULL_POINTER;
  return WithBitmap(bitmap, [&](const Bitmap& picture) {
    *width = picture.width;
    *height = picture.height;
    return 0;
  });
}

int GetBitmapPixels(int bitmap, std::vector<std::uint32_t>* pixels) {
  if (pixels == nullptr) return UIE_NULL_POINTER;
  return WithBitmap(bitmap, [pixels](const Bitmap& picture) {
    *pixels = picture.pixels;
    return 0;
  });
}
