#include "qt/fonts.h"

#include "core/font_families.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

#include <algorithm>

namespace tavrel::qt {

namespace {

QStringList qtFamiliesFor(core::Face face)
{
    QStringList families;
    for (const core::FamilyName family : core::familiesFor(face))
        families.append(QStringView(family).toString());
    return families;
}

} // namespace

FontFaces::FontFaces()
{
    for (const QString &family : QFontDatabase::families())
        installed_.insert(family.toCaseFolded());
}

QFont FontFaces::fontFor(const core::FontRequest &request, const QFont &platformDefault) const
{
    // Only the first installed family is asked for. A list of several makes
    // the font matcher look up every fallback face as soon as the font is
    // first used; with one family it does so only when a character is
    // missing, and the face is the same.
    const QStringList candidates = qtFamiliesFor(request.face);
    const auto first = std::find_if(candidates.begin(), candidates.end(), [this](const QString &f) {
        return installed_.contains(f.toCaseFolded());
    });

    QFont font = platformDefault;
    if (first != candidates.end()) // else the platform's own choice, as for any missing family
        font.setFamilies({*first});
    if (request.points > 0)
        font.setPointSizeF(request.points);
    font.setWeight(request.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // Set, not inherited: a text box inside a captioned frame must keep
    // merging faces even where the frame's own font does not.
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

QFont ownFaceWhereItCovers(const QFont &font, const QString &caption)
{
    QFont ownFace = font;
    ownFace.setStyleStrategy(QFont::NoFontMerging);
    const QFontMetrics metrics(ownFace);
    const QList<uint> characters = caption.toUcs4();
    const bool covered = std::all_of(characters.begin(), characters.end(),
                                     [&metrics](uint c) { return metrics.inFontUcs4(c); });
    return covered ? ownFace : font;
}

} // namespace tavrel::qt
