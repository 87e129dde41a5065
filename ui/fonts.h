#pragma once

#include "ui/form1_description.h"

#include <QFont>
#include <QSet>
#include <QString>

namespace tavrel::ui {

// The fonts the controls ask for. Each face is a list of families: the named
// Chinese face first, then the faces that stand in for it elsewhere. Families
// that are not installed are left out of the request, so the font matcher
// never has to look for a substitute for a missing family: on Linux that
// look-up costs a fontconfig substitution per font at start-up, and under
// LANG=C it could settle on a face without Chinese glyphs.
class FontFaces
{
public:
    // Reads the installed family names once.
    FontFaces();

    // The font for one control: the face's installed families, at exactly the
    // given point size and weight, on top of the platform's default font.
    [[nodiscard]] QFont fontFor(const FontRequest &request, const QFont &platformDefault) const;

private:
    QSet<QString> installed_; // case-folded family names
};

} // namespace tavrel::ui
