#pragma once

#include "core/form1_description.h"
#include "win32/handles.h"

#include <windows.h>

#include <map>
#include <string>
#include <string_view>

namespace tavrel::win32 {

// The fonts the controls ask for. Each face of the description stands for a
// list of families (font_families.h): the named Chinese face first, then the
// faces that stand in for it elsewhere. A font is made with the first of
// them that is installed, so the system's font mapper never picks a
// stand-in of its own, which may lack Chinese or differ from run to run.
class FontFaces
{
public:
    // The font for `request` at `dpi`: its exact point size as an em height
    // (14.25 pt is -19 at 96 dpi), weight 700 or 400, GB2312 characters.
    // The default face is the system's message font at its own size,
    // provided it has glyphs for `captions`; else the first installed
    // family of the default list at that size.
    [[nodiscard]] win32::UniqueFont create(const core::FontRequest &request, UINT dpi,
                                           std::wstring_view captions);

    // Whether a family of that name (either of the names it has: its own
    // language's and the English one) is installed with GB2312 characters.
    // Asked of the system per name, and remembered: listing every installed
    // family costs more at start-up than the few names a window asks about.
    [[nodiscard]] bool installed(std::wstring_view family);

private:
    [[nodiscard]] std::wstring firstInstalled(core::Face face);

    std::map<std::wstring, bool> known_; // lower-cased family name: installed
};

// The em height in pixels of a font of `points` at `dpi`, negative as
// LOGFONT wants it: -MulDiv(points * 100, dpi, 7200).
[[nodiscard]] int emHeight(double points, UINT dpi);

} // namespace tavrel::win32
