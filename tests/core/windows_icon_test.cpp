// The Windows icon file holds exactly the three images the program ships:
// 32 x 32 monochrome, and 32 x 32 and 16 x 16 in 16 colours. An icon reader
// that converts every image to 32 bits would hide the depths, so the
// directory and the bitmap headers are read here directly.

#include <doctest/doctest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

namespace {

std::vector<unsigned char> fileBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The little-endian number of `size` bytes at `at`; zero past the end, which
// the size checks below report first.
std::uint32_t littleEndian(const std::vector<unsigned char> &bytes, std::size_t at,
                           std::size_t size)
{
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;)
        value = (value << 8) | (at + i < bytes.size() ? bytes[at + i] : 0U);
    return value;
}

} // namespace

TEST_CASE("the icon file holds the three images")
{
    const std::vector<unsigned char> ico = fileBytes(TAVREL_ICON_FILE);
    INFO("icon file ", TAVREL_ICON_FILE);
    REQUIRE(ico.size() >= 6);
    CHECK(littleEndian(ico, 0, 2) == 0U); // reserved
    CHECK(littleEndian(ico, 2, 2) == 1U); // an icon, not a cursor
    REQUIRE(littleEndian(ico, 4, 2) == 3U); // images

    struct Row
    {
        std::string_view name;
        std::uint32_t size, bits;
    };
    const Row rows[]{
        {"32x32-monochrome", 32, 1},
        {"32x32-16-colours", 32, 4},
        {"16x16-16-colours", 16, 4},
    };
    std::size_t entry = 6;
    for (const Row &row : rows) {
        INFO("image ", row.name);
        REQUIRE(ico.size() >= entry + 16);
        CHECK(littleEndian(ico, entry, 1) == row.size); // width
        CHECK(littleEndian(ico, entry + 1, 1) == row.size); // height
        CHECK(littleEndian(ico, entry + 2, 1) == 1U << row.bits); // colours
        CHECK(littleEndian(ico, entry + 6, 2) == row.bits); // bits per pixel
        const std::uint32_t length = littleEndian(ico, entry + 8, 4);
        const std::uint32_t offset = littleEndian(ico, entry + 12, 4);
        REQUIRE(std::uint64_t{offset} + length <= ico.size());

        // The image itself: a BITMAPINFOHEADER, its height doubled for the mask.
        CHECK(littleEndian(ico, offset, 4) == 40U);
        CHECK(littleEndian(ico, offset + 4, 4) == row.size);
        CHECK(littleEndian(ico, offset + 8, 4) == 2 * row.size);
        CHECK(littleEndian(ico, offset + 14, 2) == row.bits);
        entry += 16;
    }
}
