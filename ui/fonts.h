#pragma once

#include "ui/form1_description.h"

#include <QFont>

namespace tavrel::ui {

// The font a control asks for: the face's family list (the named Chinese face
// first, then the faces that stand in for it on other systems), at exactly
// the given point size and weight.
//
// The named faces ship with Chinese editions of Windows only. Elsewhere the
// stand-ins matter, and must cover Chinese: under LANG=C the font matcher
// would otherwise settle on a Latin face with no Chinese glyphs at all.
[[nodiscard]] QFont fontFor(const FontRequest &request, const QFont &platformDefault);

} // namespace tavrel::ui
