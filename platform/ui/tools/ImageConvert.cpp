// Build step: turns the toolbar and logo pictures, kept as reviewable text
// pixel art, into the BMP files the program loads from its bitmap directory.
// Usage: image_convert OUTPUT_DIR SOURCE.xpm...  (each NAME.xpm gives NAME.bmp)
#include <cstdio>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QString>

namespace {

// BMP keeps no transparency: transparent pixels take the button face colour.
constexpr QRgb kButtonFace = 0xFFF0F0F0;

bool Convert(const QString& source, const QString& outputDirectory) {
  QImage picture(source);
  if (picture.isNull()) {
    std::fprintf(stderr, "%s: not a readable picture\n", qPrintable(source));
    return false;
  }
  QImage flat(picture.size(), QImage::Format_RGB32);
  flat.fill(kButtonFace);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      if (qAlpha(picture.pixel(x, y)) != 0) flat.setPixel(x, y, picture.pixel(x, y));
  const QString output = outputDirectory + "/" + QFileInfo(source).completeBaseName() + ".bmp";
  const QString temporary = output + ".tmp";
  QFile::remove(output);
  if (!flat.save(temporary, "BMP") || !QFile::rename(temporary, output)) {
    std::fprintf(stderr, "%s: cannot be written\n", qPrintable(output));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR SOURCE.xpm...\n", argv[0]);
    return 2;
  }
  const QString outputDirectory = QString::fromLocal8Bit(argv[1]);
  for (int i = 2; i < argc; ++i)
    if (!Convert(QString::fromLocal8Bit(argv[i]), outputDirectory)) return 1;
  return 0;
}
