#include "platform/ui/qt/QtPrinting.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/ui/qt/QtText.h"

namespace uiqt {
namespace {

using uimodel::PageLayout;
using uimodel::PrintRequest;
using uimodel::RectInches;
using uimodel::ReportImage;

// Points the printer at the named printer, the default one, or a PDF file.
int ChoosePrinter(QPrinter& printer, const std::string& name) {
  if (uimodel::IsPdfFileName(name)) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromLocal8Bit(name.c_str()));
    return 0;
  }
  const QPrinterInfo info = name.empty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(ToQt(name));
  if (info.isNull()) return kNIReportErrPrinterNotFound;
  printer.setOutputFormat(QPrinter::NativeFormat);
  printer.setPrinterName(info.printerName());
  return 0;
}

// Decoded before the job starts, so a bad picture leaves no half-printed job.
int Decode(const PrintRequest& request, std::vector<std::vector<QImage>>* pages) {
  for (const std::vector<ReportImage>& page : request.pages) {
    pages->emplace_back();
    for (const ReportImage& image : page) {
      QImage decoded = QImage::fromData(image.bytes->data(), static_cast<int>(image.bytes->size()));
      if (decoded.isNull()) return kNIReportErrBadImage;
      pages->back().push_back(std::move(decoded));
    }
  }
  return 0;
}

// Every page laid out on this printer's paper, in inches.
int LayOut(const QPrinter& printer, const PrintRequest& request, std::vector<PageLayout>* layouts) {
  const QPageLayout page = printer.pageLayout();
  const QRectF paper = page.fullRect(QPageLayout::Inch);
  const double toInches = paper.width() / page.fullRect().width();  // the minimum margins are in the layout's unit
  const QMarginsF edge = page.minimumMargins() * toInches;
  const uimodel::Margins minimum{edge.top(), edge.left(), edge.bottom(), edge.right()};
  for (const std::vector<ReportImage>& images : request.pages) {
    layouts->emplace_back();
    const int status =
        uimodel::LayoutReportPage(request.settings, paper.width(), paper.height(), minimum, images, &layouts->back());
    if (status < 0) return status;
  }
  return 0;
}

QRectF ToDevice(const RectInches& rect, double dotsPerInch) {
  return {rect.x * dotsPerInch, rect.y * dotsPerInch, rect.width * dotsPerInch, rect.height * dotsPerInch};
}

void DrawTexts(QPainter& painter, const QRectF& area, const std::array<std::string, 3>& texts, const PrintRequest& request,
               int page) {
  static const Qt::Alignment kAlignments[3] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
  const int pageCount = static_cast<int>(request.pages.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (texts[i].empty()) continue;
    const std::string text = uimodel::ExpandReportText(texts[i], request.date, page, pageCount);
    painter.drawText(area, static_cast<int>(kAlignments[i] | Qt::AlignVCenter | Qt::TextSingleLine), ToQt(text));
  }
}

// Pictures go in as they are, scaled by the painter: the printer gets the
// picture at its own resolution, never one huge raster of the page.
int Paint(QPrinter& printer, const PrintRequest& request, const std::vector<std::vector<QImage>>& pictures,
          const std::vector<PageLayout>& layouts) {
  QPainter painter;
  if (!painter.begin(&printer)) return kNIReportErrPrintFailed;
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  QFont font = painter.font();
  font.setPointSize(request.settings.pointSize);
  font.setBold(request.settings.bold);
  painter.setFont(font);
  const double dotsPerInch = printer.resolution();
  for (std::size_t page = 0; page < layouts.size(); ++page) {
    if (page > 0 && !printer.newPage()) {
      painter.end();
      return kNIReportErrPrintFailed;
    }
    for (std::size_t i = 0; i < pictures[page].size(); ++i)
      painter.drawImage(ToDevice(layouts[page].images[i], dotsPerInch), pictures[page][i]);
    const int number = static_cast<int>(page) + 1;
    DrawTexts(painter, ToDevice(layouts[page].header, dotsPerInch), request.settings.header, request, number);
    DrawTexts(painter, ToDevice(layouts[page].footer, dotsPerInch), request.settings.footer, request, number);
  }
  const bool finished = painter.end();
  return finished && printer.printerState() != QPrinter::Error ? 0 : kNIReportErrPrintFailed;
}

}  // namespace

int PrintReport(const PrintRequest& request) {
  QPrinter printer(QPrinter::HighResolution);
  int status = ChoosePrinter(printer, request.printer);
  if (status < 0) return status;
  printer.setFullPage(true);  // the report's margins are measured from the paper's edge
  printer.setPageOrientation(request.settings.orientation == kNIReportLandscape ? QPageLayout::Landscape
                                                                                : QPageLayout::Portrait);
  printer.setDocName(QCoreApplication::applicationName());
  if (request.settings.printDialog) {
    QPrintDialog dialog(&printer);
    if (dialog.exec() != QDialog::Accepted) return kNIReportErrCancelled;
  }
  std::vector<std::vector<QImage>> pictures;
  std::vector<PageLayout> layouts;
  if ((status = Decode(request, &pictures)) < 0 || (status = LayOut(printer, request, &layouts)) < 0) return status;
  return Paint(printer, request, pictures, layouts);
}

std::vector<std::string> PrinterNames(std::string* defaultPrinter) {
  *defaultPrinter = FromQt(QPrinterInfo::defaultPrinterName());
  std::vector<std::string> names;
  for (const QString& name : QPrinterInfo::availablePrinterNames()) names.push_back(FromQt(name));
  return names;
}

}  // namespace uiqt
