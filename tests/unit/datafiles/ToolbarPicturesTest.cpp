// The toolbar pictures and the maker's logo the build makes from their sources.
#include <set>
#include <string>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include "unit/datafiles/DataFilesTestSupport.h"

namespace {

struct Picture {
  const char* name;
  int size;
};

constexpr Picture kPictures[] = {
    {"remanence", 20}, {"xy", 20},    {"cursors", 20}, {"screenshot", 20},
    {"print", 20},     {"astuce", 20}, {"help", 20},   {"logo", 48},
};

QString PicturePath(const Picture& picture) {
  return QString::fromStdString((datafiles::BuildDirectory() / "bitmap" / (std::string(picture.name) + ".bmp")).string());
}

int ColourCount(const QImage& image) {
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
  return static_cast<int>(colours.size());
}

TEST(ToolbarPictures, EachIsASquareBmpOfItsSizeWithADrawing) {
  for (const Picture& picture : kPictures) {
    SCOPED_TRACE(picture.name);
    QImageReader reader(PicturePath(picture));
    EXPECT_EQ(reader.format(), QByteArray("bmp"));
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(image.width(), picture.size);
    EXPECT_EQ(image.height(), picture.size);
    // A background, an outline and a drawing at the least.
    EXPECT_GE(ColourCount(image), 3);
  }
}

TEST(ToolbarPictures, NoTwoPicturesAreTheSame) {
  std::vector<QImage> images;
  for (const Picture& picture : kPictures) images.emplace_back(PicturePath(picture));
  for (size_t a = 0; a < images.size(); ++a)
    for (size_t b = a + 1; b < images.size(); ++b)
      EXPECT_NE(images[a], images[b]) << kPictures[a].name << " and " << kPictures[b].name;
}

}  // namespace
