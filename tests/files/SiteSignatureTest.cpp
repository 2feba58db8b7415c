// The signature area as the desktop tools read it: stored bottom row first, only the ink value is
// ink, and a file that ends inside the area reads as paper from there on.
#include <gtest/gtest.h>

#include <cerrno>

#include "TestFiles.h"
#include "files/SiteSignature.h"

namespace {

// The area bytes for a pad whose ink is given by inkAt(x, y), y = 0 at the top.
template <typename InkFn> std::vector<uint8_t> area(InkFn inkAt, uint32_t paper = 0x00FFFFFFu) {
    std::vector<uint8_t> bytes;
    for (int y = CSiteSignature::kHeight - 1; y >= 0; --y) {
        for (int x = 0; x < CSiteSignature::kWidth; ++x) {
            const uint32_t v = inkAt(x, y) ? 0u : paper;
            for (int i = 0; i < 4; ++i) {
                bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
            }
        }
    }
    return bytes;
}

TEST(SiteSignature, TheBottomRowIsStoredFirst) {
    // An ink stroke along the top row only, and one pixel near the bottom left.
    const std::vector<uint8_t> bytes =
        area([](int x, int y) { return y == 0 || (x == 3 && y == 97); });
    CSiteSignature signature;
    signature.Parse(bytes.data(), bytes.size());
    EXPECT_TRUE(signature.Ink(0, 0));
    EXPECT_TRUE(signature.Ink(199, 0));
    EXPECT_FALSE(signature.Ink(0, 99));
    EXPECT_TRUE(signature.Ink(3, 97));
    EXPECT_FALSE(signature.Ink(3, 2));
    EXPECT_EQ(signature.InkCount(), 201u);
    EXPECT_FALSE(signature.Ink(-1, 0)) << "outside the pad is paper";
    EXPECT_FALSE(signature.Ink(200, 0));
}

TEST(SiteSignature, OnlyTheInkValueIsInk) {
    // Any other pixel value, such as the 0xA5 filler of a made file, is paper.
    const std::vector<uint8_t> bytes = area([](int, int) { return false; }, 0xA5A5A5A5u);
    CSiteSignature signature;
    signature.Parse(bytes.data(), bytes.size());
    EXPECT_FALSE(signature.HasInk());

    const std::vector<uint8_t> inked = area([](int x, int) { return x < 2; });
    signature.Parse(inked.data(), inked.size());
    EXPECT_EQ(signature.InkCount(), 200u);
    signature.Parse(bytes.data(), bytes.size());
    EXPECT_FALSE(signature.HasInk()) << "parsing again forgets the old ink";
}

TEST(SiteSignature, AShortAreaReadsAsPaperBeyondItsEnd) {
    // All ink, but only the bottom 10 rows and 4 pixels of the next are there.
    std::vector<uint8_t> bytes = area([](int, int) { return true; });
    bytes.resize((10 * 200 + 4) * 4 + 3);
    CSiteSignature signature;
    signature.Parse(bytes.data(), bytes.size());
    EXPECT_EQ(signature.InkCount(), 10u * 200u + 4u);
    EXPECT_TRUE(signature.Ink(199, 90));
    EXPECT_TRUE(signature.Ink(3, 89));
    EXPECT_FALSE(signature.Ink(4, 89)) << "a pixel cut off in the middle is paper";
}

TEST(SiteSignature, ReadsTheAreaAtItsOffsetInAFile) {
    CTempDir dir;
    std::vector<uint8_t> file(37, 0xEE);
    const std::vector<uint8_t> bytes = area([](int x, int y) { return x == y; });
    file.insert(file.end(), bytes.begin(), bytes.end());
    WriteAll(dir.File("s.lks"), file);
    CSiteSignature signature;
    int error = -1;
    ASSERT_TRUE(signature.Read(dir.File("s.lks"), 37, error));
    EXPECT_EQ(error, 0);
    EXPECT_EQ(signature.InkCount(), 100u);
    EXPECT_TRUE(signature.Ink(42, 42));

    // An offset past the end reads nothing: a blank pad, not a failure.
    ASSERT_TRUE(signature.Read(dir.File("s.lks"), 1u << 30, error));
    EXPECT_FALSE(signature.HasInk());

    EXPECT_FALSE(signature.Read(dir.File("missing.lks"), 0, error));
    EXPECT_EQ(error, ENOENT);
}

} // namespace
