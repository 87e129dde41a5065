// Text to number against a public corpus of decimal strings with their
// correctly rounded binary values: every line gives the double exactly, and
// the score (that double rounded to single) is the single nearest the double.

#include "runtime/conversions.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <bit>
#include <cmath>
#include <cstdint>

using namespace tavrel;

class DecimalCorpusTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyLineRoundsCorrectly_data();
    void everyLineRoundsCorrectly();
};

void DecimalCorpusTest::everyLineRoundsCorrectly_data()
{
    QTest::addColumn<QString>("path");
    const QDir corpus(QStringLiteral(TAVREL_DECIMAL_CORPUS));
    const QStringList files = corpus.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    if (files.isEmpty())
        QSKIP("the decimal corpus is not beside the repository");
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << corpus.filePath(file);
}

// Each line: F16 F32 F64 F128 STRING, at fixed columns.
void DecimalCorpusTest::everyLineRoundsCorrectly()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    int checked = 0;
    int overflows = 0;
    QStringList twiceRounded;
    QStringList failures;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.size() <= 64)
            continue;
        const std::uint32_t single = line.mid(5, 8).toUInt(nullptr, 16);
        const std::uint64_t bits = line.mid(14, 16).toULongLong(nullptr, 16);
        const QByteArray text = line.mid(64);
        const ParsedNumber parsed
            = parseAsciiNumber(std::string_view(text.constData(), text.size()));
        ++checked;

        const auto expected = std::bit_cast<double>(bits);
        if (std::isinf(expected)) {
            ++overflows;
            if (parsed.status != ParseStatus::Overflow)
                failures << QString::fromLatin1(text.left(40)) + QStringLiteral(": no overflow");
            continue;
        }
        if (parsed.status != ParseStatus::Number
            || std::bit_cast<std::uint64_t>(parsed.value) != bits) {
            failures << QString::fromLatin1(text.left(40)) + QStringLiteral(": wrong double");
            continue;
        }
        const auto score = std::bit_cast<std::uint32_t>(static_cast<float>(parsed.value));
        const auto expectedScore = std::bit_cast<std::uint32_t>(static_cast<float>(expected));
        if (score != expectedScore)
            failures << QString::fromLatin1(text.left(40)) + QStringLiteral(": wrong single");
        else if (score != single) // rounded twice, decimal -> double -> single
            twiceRounded << QString::fromLatin1(text.left(40));
    }
    qInfo("%d lines checked, %d beyond the double range", checked, overflows);
    for (const QString &line : twiceRounded)
        qInfo("rounded twice, differs from the direct single: %s", qPrintable(line));
    QVERIFY(checked > 0);
    QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 10).join(QStringLiteral("; "))));
}

QTEST_GUILESS_MAIN(DecimalCorpusTest)
#include "decimal_corpus_test.moc"
