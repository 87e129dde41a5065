// The Windows icon file holds exactly the three images the program ships:
// 32 x 32 monochrome, and 32 x 32 and 16 x 16 in 16 colours. Qt's icon reader
// converts every image to 32 bits, so the directory and the bitmap headers
// are read here directly.

#include <QFile>
#include <QTest>

#include <cstdint>

namespace {

std::uint32_t littleEndian(const QByteArray &bytes, qsizetype at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes.at(at + i));
    return value;
}

} // namespace

class WindowsIconTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void holdsTheThreeImages();
};

void WindowsIconTest::holdsTheThreeImages()
{
    QFile file(QStringLiteral(TAVREL_ICON_FILE));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray ico = file.readAll();
    QVERIFY(ico.size() >= 6);
    QCOMPARE(littleEndian(ico, 0, 2), 0U); // reserved
    QCOMPARE(littleEndian(ico, 2, 2), 1U); // an icon, not a cursor
    QCOMPARE(littleEndian(ico, 4, 2), 3U); // images

    struct Expected
    {
        std::uint32_t size, bits;
    };
    const Expected expected[] = {{32, 1}, {32, 4}, {16, 4}};
    for (int i = 0; i < 3; ++i) {
        const qsizetype entry = 6 + 16 * i;
        QVERIFY(ico.size() >= entry + 16);
        const std::uint32_t width = littleEndian(ico, entry, 1);
        const std::uint32_t height = littleEndian(ico, entry + 1, 1);
        const std::uint32_t colours = littleEndian(ico, entry + 2, 1);
        const std::uint32_t bitCount = littleEndian(ico, entry + 6, 2);
        const std::uint32_t length = littleEndian(ico, entry + 8, 4);
        const std::uint32_t offset = littleEndian(ico, entry + 12, 4);
        QCOMPARE(width, expected[i].size);
        QCOMPARE(height, expected[i].size);
        QCOMPARE(colours, 1U << expected[i].bits);
        QCOMPARE(bitCount, expected[i].bits);
        QVERIFY(offset + length <= static_cast<std::uint32_t>(ico.size()));

        // The image itself: a BITMAPINFOHEADER, its height doubled for the mask.
        QCOMPARE(littleEndian(ico, offset, 4), 40U);
        QCOMPARE(littleEndian(ico, offset + 4, 4), expected[i].size);
        QCOMPARE(littleEndian(ico, offset + 8, 4), 2 * expected[i].size);
        QCOMPARE(littleEndian(ico, offset + 14, 2), expected[i].bits);
    }
}

QTEST_GUILESS_MAIN(WindowsIconTest)
#include "windows_icon_test.moc"
