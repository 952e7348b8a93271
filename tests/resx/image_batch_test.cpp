#include "resx/image_batch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/read_batch.h"
#include "resx/resource_walk.h"
#include "tests/resx/fixtures.h"
#include "tests/support/open_files.h"
#include "tests/support/temp_root.h"

namespace {

// What a listing shows of the image: why it could not be opened, or its
// nodes, then the walk's errors.
std::string Listing(TExeImage& image) {
  if (image.Opening().Found()) return "not opened: " + image.Opening().Message();
  std::string text;
  std::vector<Damage> damages;
  Damage none = WalkResources(
      image,
      [&](const WalkNode& n) { text += n.path + ' ' + std::to_string(n.offset) + ' ' + std::to_string(n.size) + '\n'; },
      damages);
  if (none.Found()) damages.insert(damages.begin(), none);
  for (const Damage& d : damages) text += "error: " + d.Message() + '\n';
  return text;
}

std::string Alone(const std::string& path, std::optional<std::uint16_t> language) {
  TExeImage image(path);
  if (language) image.SetLanguage(language);
  return Listing(image);
}

// Each way a batch reads: through the kernel's ring, and one call at a time.
class ImageBatchTest : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam() && !platform::ReadBatch(true).UsesRing())
      GTEST_SKIP() << "the kernel refuses an io_uring ring here: the ring's way cannot be tested";
  }
};

// Images opened in batches list as each opened alone does, over more files
// than a batch holds, those that cannot be opened among them; the files
// are closed with the batches.
TEST_P(ImageBatchTest, ListsAsAnImageOpenedAlone) {
  TempRoot root;
  std::string pages(3 * 4096, 'x');
  const std::string library =
      BuildPe({Dir(2u, {Named(1u, Bitmap(40, 2, 2, 24))}), Dir(10u, {Named(1u, pages), Named(2u, "b")}),
               Dir(24u, {Dir(1u, {Leaf(1033u, "<en/>"), Leaf(1029u, "<cz/>")})})})
          .bytes;
  std::vector<std::string> paths;
  auto file = [&](const std::string& name, const std::string& bytes) {
    paths.push_back((root.dir() / name).string());
    root.Write(paths.back(), bytes);
  };
  file("a.dll", library);
  file("empty.dll", "");
  paths.push_back((root.dir() / "none.dll").string());
  file("text.dll", "not a library");
  file("cut.dll", library.substr(0, library.size() - 100));
  file("b.dll", library);
  paths.push_back(root.dir().string());
  std::vector<const char*> names;
  for (const std::string& p : paths) names.push_back(p.c_str());
  for (std::optional<std::uint16_t> language : {std::optional<std::uint16_t>(), std::optional<std::uint16_t>(1029)}) {
    {
      ImageBatch batch(GetParam());
      for (std::size_t done = 0; done < names.size(); done += ImageBatch::kSize) {
        std::span<const char* const> some =
            std::span(names).subspan(done, std::min(ImageBatch::kSize, names.size() - done));
        batch.Open(some, language);
        for (std::size_t i = 0; i < some.size(); ++i) {
          SCOPED_TRACE(some[i]);
          ASSERT_TRUE(batch.Image(i).has_value());
          EXPECT_EQ(Listing(*batch.Image(i)), Alone(some[i], language));
          // a file that cannot be opened keeps its damage, its message made when shown
          if (std::string_view(some[i]).ends_with("none.dll")) {
            EXPECT_EQ(batch.Image(i)->Opening().Message(), std::string("Couldn't open: ") + some[i]);
          }
        }
      }
    }
    EXPECT_FALSE(OpenInThisProcess(paths[0]));
    EXPECT_FALSE(OpenInThisProcess(paths.back()));
  }
}

INSTANTIATE_TEST_SUITE_P(Ways, ImageBatchTest, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& way) { return way.param ? "Ring" : "OneCallEach"; });

}  // namespace
