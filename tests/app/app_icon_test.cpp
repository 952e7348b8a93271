#include <gtest/gtest.h>

#include <QImage>

#include "app/app_icon.h"

TEST(ApplicationIcon, IsDrawnAtEverySizeTheDesktopAsksFor) {
  QIcon icon = ApplicationIcon();
  EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
  for (int size : {16, 32, 48, 64}) {
    QImage image = icon.pixmap(size, size).toImage();
    ASSERT_EQ(image.size(), QSize(size, size)) << size;
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "a rounded corner stays clear at " << size;
    QColor tile = image.pixelColor(size / 2, size * 9 / 10);  // below the ring
    EXPECT_EQ(tile.alpha(), 255) << size;
    EXPECT_GT(tile.blue(), tile.red() + 60) << "a blue tile at " << size;
    QColor bar = image.pixelColor(size / 2, size / 3);
    EXPECT_GT(bar.red(), 200) << "the white bar of the power sign at " << size;
    EXPECT_GT(bar.blue(), 200) << size;
  }
}
