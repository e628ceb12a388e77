// Build step: typesets a user manual written in Markdown as an A4 PDF with
// numbered pages, for the help directory beside the program.
// Usage: manual_pdf OUTPUT.pdf SOURCE.md
#include <cstdio>
#include <cstdlib>

#include <QBrush>
#include <QColor>
#include <QFile>
#include <QFont>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

namespace {

constexpr int kBodyPointSize = 10;

bool ReadText(const QString& path, QString* text) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  *text = QString::fromUtf8(file.readAll());
  return true;
}

// Markdown tables come out cramped: full width, thin ruled cells with some air.
void StyleTables(QTextDocument* manual) {
  for (QTextFrame* frame : manual->rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (table == nullptr) continue;
    QTextTableFormat format = table->format();
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderBrush(QBrush(QColor(0x80, 0x80, 0x80)));
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(3);
    table->setFormat(format);
  }
}

// Qt's note about a missing runtime directory is noise in a build log.
void QuietRuntimeDirectoryNote(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (message.startsWith("QStandardPaths:")) return;
  std::fprintf(stderr, "%s\n", qPrintable(message));
  if (type == QtFatalMsg) std::abort();
}

// The first level-one heading names the document.
QString TitleOf(const QTextDocument& manual) {
  for (QTextBlock block = manual.begin(); block.isValid(); block = block.next())
    if (block.blockFormat().headingLevel() == 1) return block.text();
  return QString();
}

bool Typeset(const QString& source, const QString& output) {
  QString markdown;
  if (!ReadText(source, &markdown)) {
    std::fprintf(stderr, "%s: cannot be read\n", qPrintable(source));
    return false;
  }
  QTextDocument manual;
  QFont body("DejaVu Sans", kBodyPointSize);
  // Without ligatures "fi" and "ff" stay two letters a reader can search for and copy.
  body.setStyleStrategy(QFont::PreferNoShaping);
  manual.setDefaultFont(body);
  manual.setBaseUrl(QUrl::fromLocalFile(QFileInfo(source).absolutePath() + "/"));
  manual.setMarkdown(markdown);
  StyleTables(&manual);

  const QString temporary = output + ".tmp";
  {
    QPdfWriter writer(temporary);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(TitleOf(manual));
    writer.setCreator("ORNIKELVARINLAB");
    // Unpaginated, the document is laid out with 2 cm margins and a page number under each page.
    manual.print(&writer);
  }
  QFile::remove(output);
  if (!QFile::rename(temporary, output)) {
    std::fprintf(stderr, "%s: cannot be written\n", qPrintable(output));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s OUTPUT.pdf SOURCE.md\n", argv[0]);
    return 2;
  }
  // Fonts need a GUI application; the build has no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietRuntimeDirectoryNote);
  QGuiApplication application(argc, argv);
  return Typeset(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
