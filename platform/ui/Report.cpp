#include "platform/ui/Report.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/ui/Dispatch.h"
#include "platform/ui/Frontend.h"
#include "platform/ui/HandleTable.h"

using namespace uimodel;

namespace {

constexpr std::size_t kMaxImageFileBytes = 256u << 20;  // far beyond any panel picture
constexpr int kMaxImageSide = 65535;
constexpr double kScreenPixelsPerInch = 96.0;
constexpr double kMinimumBand = 0.25;  // inches of body height a picture needs at least
constexpr double kMaximumMargin = 20.0;

struct Report {
  ReportSettings settings;
  std::vector<std::vector<ReportImage>> pages = std::vector<std::vector<ReportImage>>(1);  // the current page last
};

HandleTable<Report>& TheReports() {
  static HandleTable<Report> reports;
  return reports;
}

int WithReport(NIReportHandle handle, const std::function<int(Report&)>& action) {
  return TheReports().With(handle, kNIReportErrInvalidHandle, action);
}

std::uint32_t ReadLittle(const std::vector<unsigned char>& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

std::uint32_t ReadBig(const std::vector<unsigned char>& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | bytes[at + i];
  return value;
}

// Width and height from a BMP header (core or later header); false when it is not one.
bool BmpSize(const std::vector<unsigned char>& bytes, long long* width, long long* height) {
  if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M') return false;
  const std::uint32_t headerSize = ReadLittle(bytes, 14, 4);
  if (headerSize == 12) {
    *width = ReadLittle(bytes, 18, 2);
    *height = ReadLittle(bytes, 20, 2);
    return true;
  }
  if (headerSize < 40 || bytes.size() < 54) return false;
  *width = static_cast<std::int32_t>(ReadLittle(bytes, 18, 4));
  *height = std::llabs(static_cast<std::int32_t>(ReadLittle(bytes, 22, 4)));  // negative: rows top-down
  return true;
}

bool PngSize(const std::vector<unsigned char>& bytes, long long* width, long long* height) {
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (bytes.size() < 24 || !std::equal(kSignature, kSignature + 8, bytes.begin())) return false;
  if (bytes[12] != 'I' || bytes[13] != 'H' || bytes[14] != 'D' || bytes[15] != 'R') return false;
  *width = ReadBig(bytes, 16);
  *height = ReadBig(bytes, 20);
  return true;
}

int ReadImageFile(const char* fileName, ReportImage* image) {
  std::ifstream file(fileName, std::ios::binary | std::ios::ate);
  if (!file) return kNIReportErrFileNotFound;
  const std::streamoff size = file.tellg();
  if (size < 0) return kNIReportErrFileNotFound;
  if (static_cast<std::uint64_t>(size) > kMaxImageFileBytes) return kNIReportErrBadImage;
  auto bytes = std::make_shared<std::vector<unsigned char>>(static_cast<std::size_t>(size));
  file.seekg(0);
  if (!file.read(reinterpret_cast<char*>(bytes->data()), size)) return kNIReportErrFileNotFound;
  long long width = 0, height = 0;
  if (!BmpSize(*bytes, &width, &height) && !PngSize(*bytes, &width, &height)) return kNIReportErrBadImage;
  if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) return kNIReportErrBadImage;
  image->fileName = fileName;
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  image->bytes = std::move(bytes);
  return 0;
}

bool IsMargin(int attribute) { return attribute >= kNIReportAttrTopMargin && attribute <= kNIReportAttrRightMargin; }

std::string* HeaderFooterText(ReportSettings& settings, int attribute) {
  if (attribute >= kNIReportAttrHeaderLeft && attribute <= kNIReportAttrHeaderRight)
    return &settings.header[static_cast<std::size_t>(attribute - kNIReportAttrHeaderLeft)];
  if (attribute >= kNIReportAttrFooterLeft && attribute <= kNIReportAttrFooterRight)
    return &settings.footer[static_cast<std::size_t>(attribute - kNIReportAttrFooterLeft)];
  return nullptr;
}

std::string ShortDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[64] = {};
  return std::strftime(text, sizeof text, "%x", &local) > 0 ? text : "";
}

void ReplaceAll(std::string& text, const std::string& what, const std::string& with) {
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
}

// The inches one picture takes in a band of `width` x `height`.
std::pair<double, double> FittedSize(const ReportImage& image, int scaling, double width, double height) {
  double scale = std::min(width / image.width, height / image.height);
  if (scaling == kNIReportActualSize) scale = std::min(scale, 1.0 / kScreenPixelsPerInch);
  return {image.width * scale, image.height * scale};
}

}  // namespace

namespace uimodel {

int LayoutReportPage(const ReportSettings& settings, double pageWidth, double pageHeight, const Margins& minimum,
                     const std::vector<ReportImage>& images, PageLayout* layout) {
  for (std::size_t side = 0; side < 4; ++side)
    if (settings.margins[side] + 1e-9 < minimum[side]) return kNIReportErrMarginsTooSmall;
  const auto [top, left, bottom, right] = settings.margins;
  const RectInches body{left, top, pageWidth - left - right, pageHeight - top - bottom};
  const double band = body.height / static_cast<double>(std::max<std::size_t>(1, images.size()));
  if (body.width < kMinimumBand || band < kMinimumBand) return kNIReportErrNoRoom;
  layout->body = body;
  layout->header = {left, 0.0, body.width, top};
  layout->footer = {left, pageHeight - bottom, body.width, bottom};
  layout->images.clear();
  for (std::size_t i = 0; i < images.size(); ++i) {
    const auto [width, height] = FittedSize(images[i], settings.imageScaling, body.width, band);
    layout->images.push_back({body.x + (body.width - width) / 2.0, body.y + band * static_cast<double>(i), width, height});
  }
  return 0;
}

std::string ExpandReportText(const std::string& text, const std::string& date, int page, int pageCount) {
  std::string expanded = text;
  ReplaceAll(expanded, kNIReportShortDate, date);
  ReplaceAll(expanded, kNIReportPageOfCount, std::to_string(page) + "/" + std::to_string(pageCount));
  return expanded;
}

bool IsPdfFileName(const std::string& printer) {
  static const std::string kSuffix = ".pdf";
  if (printer.size() <= kSuffix.size()) return false;
  return std::equal(kSuffix.begin(), kSuffix.end(), printer.end() - static_cast<std::ptrdiff_t>(kSuffix.size()),
                    [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

void ResetReports() { TheReports().Clear(); }

}  // namespace uimodel

int NIReport_New(NIReportHandle* report) {
  if (report == nullptr) return kNIReportErrInvalidValue;
  *report = TheReports().Add(std::make_shared<Report>());
  return 0;
}

int NIReport_SetReportAttribute(NIReportHandle report, int attribute, int value) {
  if (IsMargin(attribute)) return NIReport_SetReportAttribute(report, attribute, static_cast<double>(value));
  return WithReport(report, [&](Report& target) {
    switch (attribute) {
      case kNIReportAttrOrientation:
        if (value != kNIReportPortrait && value != kNIReportLandscape) return kNIReportErrInvalidValue;
        target.settings.orientation = value;
        return 0;
      case kNIReportAttrImageScaling:
        if (value != kNIReportFitToPage && value != kNIReportActualSize) return kNIReportErrInvalidValue;
        target.settings.imageScaling = value;
        return 0;
      case kNIReportAttrPrintDialog: target.settings.printDialog = value != 0; return 0;
      default: return kNIReportErrInvalidAttribute;
    }
  });
}

int NIReport_SetReportAttribute(NIReportHandle report, int attribute, double value) {
  if (!IsMargin(attribute)) {
    if (value != std::trunc(value) || std::fabs(value) > 1e6) return kNIReportErrInvalidValue;
    return NIReport_SetReportAttribute(report, attribute, static_cast<int>(value));
  }
  return WithReport(report, [&](Report& target) {
    if (!(value >= 0.0 && value <= kMaximumMargin)) return kNIReportErrInvalidValue;
    target.settings.margins[static_cast<std::size_t>(attribute - kNIReportAttrTopMargin)] = value;
    return 0;
  });
}

int NIReport_SetReportAttribute(NIReportHandle report, int attribute, const char* value) {
  if (value == nullptr) return kNIReportErrInvalidValue;
  return WithReport(report, [&](Report& target) {
    std::string* text = HeaderFooterText(target.settings, attribute);
    if (text == nullptr) return kNIReportErrInvalidAttribute;
    *text = value;
    return 0;
  });
}

int NIReport_SetTextAttribute(NIReportHandle report, int attribute, int value) {
  return WithReport(report, [&](Report& target) {
    switch (attribute) {
      case kNIReportTextAttrPointSize:
        if (value < 4 || value > 72) return kNIReportErrInvalidValue;
        target.settings.pointSize = value;
        return 0;
      case kNIReportTextAttrBold: target.settings.bold = value != 0; return 0;
      default: return kNIReportErrInvalidAttribute;
    }
  });
}

int NIReport_AppendImageFile(NIReportHandle report, const char* fileName) {
  if (fileName == nullptr) return kNIReportErrInvalidValue;
  if (WithReport(report, [](Report&) { return 0; }) < 0) return kNIReportErrInvalidHandle;
  ReportImage image;  // read outside the lock: files may be large
  const int status = ReadImageFile(fileName, &image);
  if (status < 0) return status;
  return WithReport(report, [&image](Report& target) {
    target.pages.back().push_back(std::move(image));
    return 0;
  });
}

int NIReport_NewPage(NIReportHandle report) {
  return WithReport(report, [](Report& target) {
    target.pages.emplace_back();
    return 0;
  });
}

int NIReport_Print(NIReportHandle report, const char* printerName) {
  if (!CurrentFrontend().IsUiThread()) return kNIReportErrNotOnUiThread;
  PrintRequest request;
  const int status = WithReport(report, [&request](Report& target) {
    request.settings = target.settings;
    for (const auto& page : target.pages)
      if (!page.empty()) request.pages.push_back(page);  // pictures are shared, not copied
    return 0;
  });
  if (status < 0) return status;
  if (request.pages.empty()) return kNIReportErrEmpty;
  request.printer = printerName != nullptr ? printerName : "";
  request.date = ShortDate();
  return CurrentFrontend().PrintReport(request);  // no lock held: the print dialog may take its time
}

int NIReport_Discard(NIReportHandle report) {
  return TheReports().Remove(report) ? 0 : kNIReportErrInvalidHandle;
}

int NIReport_GetPrinters(std::string* defaultPrinter, std::vector<std::string>* printers) {
  if (defaultPrinter == nullptr || printers == nullptr) return kNIReportErrInvalidValue;
  if (!CurrentFrontend().IsUiThread()) return kNIReportErrNotOnUiThread;
  *printers = CurrentFrontend().Printers(defaultPrinter);
  return 0;
}
