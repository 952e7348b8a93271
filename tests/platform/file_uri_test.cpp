#include "platform/file_uri.h"

#include <gtest/gtest.h>

#include <QUrl>

namespace {

// What a reader of the address (GIO, KDE) takes it for.
std::string ReadBack(const std::string& uri) {
  return QUrl(QString::fromStdString(uri), QUrl::StrictMode).toLocalFile().toStdString();
}

TEST(FileUri, EveryNameReachesTheReaderWhole) {
  EXPECT_EQ(platform::FileUri("/home/eva/Desktop.bmp"), "file:///home/eva/Desktop.bmp");
  EXPECT_EQ(platform::FileUri("/home/eva/foto#1.bmp"), "file:///home/eva/foto%231.bmp");
  EXPECT_EQ(platform::FileUri("/a b/100%?.bmp"), "file:///a%20b/100%25%3F.bmp");
  EXPECT_EQ(platform::FileUri("/Obrázky/léto.bmp"), "file:///Obr%C3%A1zky/l%C3%A9to.bmp");
  for (std::string path : {"/home/eva/foto#1.bmp", "/a b/100%?.bmp", "/Obrázky/léto.bmp", "/x/;a=b&c+d'(e)!@,$.bmp",
                           "/x/%41 %2F.bmp", "/x/tab\there.bmp", "/x/~-._.bmp"}) {
    EXPECT_EQ(ReadBack(platform::FileUri(path)), path) << path;
    EXPECT_TRUE(QUrl(QString::fromStdString(platform::FileUri(path)), QUrl::StrictMode).isValid()) << path;
  }
}

}  // namespace
