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

// What a listing shows of the image: its nodes, then the walk's errors; or
// why it could not be made.
std::string Listing(std::optional<TExeImage>& image, const std::string& failure) {
  if (!image) return "failed: " + failure;
  std::string text;
  std::vector<Damage> damages;
  std::vector<std::string> errors;
  try {
    WalkResources(
        *image,
        [&](const WalkNode& n) {
          text += n.path + ' ' + std::to_string(n.offset) + ' ' + std::to_string(n.size) + '\n';
        },
        damages)
        .Check();
  } catch (const EExeError& e) {
    errors.push_back(e.what());
  }
  for (const Damage& d : damages) errors.push_back(d.Message());
  for (const std::string& e : errors) text += "error: " + e + '\n';
  return text;
}

std::string Alone(const std::string& path, std::optional<std::uint16_t> language) {
  std::optional<TExeImage> image;
  std::string failure;
  try {
    image.emplace(path);
    if (language) image->SetLanguage(language);
  } catch (const EExeError& e) {
    failure = e.what();
  }
  return Listing(image, failure);
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
          EXPECT_EQ(Listing(batch.Image(i), batch.Failure(i)), Alone(some[i], language));
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
