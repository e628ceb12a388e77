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

int ColourCount(const QImage& image) {
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
  return static_cast<int>(colours.size());
}

TEST(ToolbarPictures, EachIsADistinctSquareBmpOfItsSizeWithADrawing) {
  std::vector<QImage> images;
  for (const Picture& picture : kPictures) {
    SCOPED_TRACE(picture.name);
    QImageReader reader(
        QString::fromStdString((datafiles::BuildDirectory() / "bitmap" / (std::string(picture.name) + ".bmp")).string()));
    EXPECT_EQ(reader.format(), QByteArray("bmp"));
    images.push_back(reader.read());
    ASSERT_FALSE(images.back().isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(images.back().size(), QSize(picture.size, picture.size));
    EXPECT_GE(ColourCount(images.back()), 3) << "a background, an outline and a drawing at the least";
  }
  for (size_t a = 0; a < images.size(); ++a)
    for (size_t b = a + 1; b < images.size(); ++b)
      EXPECT_NE(images[a], images[b]) << kPictures[a].name << " and " << kPictures[b].name;
}

}  // namespace
