#pragma once

#include "core/form1_description.h"

#include <QFont>
#include <QSet>
#include <QString>

namespace tavrel::qt {

// The fonts the controls ask for. Each face is a list of families: the named
// Chinese face first, then the faces that stand in for it elsewhere. A font
// asks for the first of them that is installed, so the font matcher never
// has to look for a substitute for a missing family: on Linux that look-up
// costs a fontconfig substitution per font at start-up, and under LANG=C it
// could settle on a face without Chinese glyphs.
class FontFaces
{
public:
    // Reads the installed family names once.
    FontFaces();

    // The font for one control: the face's first installed family, at exactly the
    // given point size and weight, on top of the platform's default font.
    [[nodiscard]] QFont fontFor(const core::FontRequest &request,
                                const QFont &platformDefault) const;

private:
    QSet<QString> installed_; // case-folded family names
};

// For a fixed caption: `font` without font merging where its own face has
// every character of `caption`, else `font` unchanged. Such a caption never
// needs another face, and leaving merging off saves the search for fallback
// faces, one of the costlier steps before the first frame. Text that can
// change (a text box) keeps merging, as does a caption with a character its
// face lacks, so nothing is ever drawn as a missing glyph.
[[nodiscard]] QFont ownFaceWhereItCovers(const QFont &font, const QString &caption);

} // namespace tavrel::qt
