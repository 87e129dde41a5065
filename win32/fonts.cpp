#include "win32/fonts.h"

#include "core/font_families.h"
#include "win32/dpi.h"
#include "win32/wide_text.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>
#include <vector>

namespace tavrel::win32 {

namespace {

std::wstring lowerCased(std::wstring_view name)
{
    std::wstring lowered(name);
    if (!lowered.empty())
        CharLowerBuffW(lowered.data(), static_cast<DWORD>(lowered.size()));
    return lowered;
}

int CALLBACK noteFamily(const LOGFONTW * /*font*/, const TEXTMETRICW * /*metrics*/, DWORD /*type*/,
                        LPARAM found)
{
    *reinterpret_cast<bool *>(found) = true;
    return 0; // one face of the family is enough
}

// Whether `font` itself has a glyph for every character of `text` (font
// linking, which may draw them from another face, is not asked).
bool hasGlyphsFor(HFONT font, std::wstring_view text)
{
    if (text.empty())
        return true;
    const win32::WindowDC screen(nullptr);
    const win32::SelectedObject selected(screen.get(), font);
    std::vector<WORD> glyphs(text.size());
    const DWORD found = GetGlyphIndicesW(screen.get(), text.data(), static_cast<int>(text.size()),
                                         glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    if (found == GDI_ERROR)
        return false;
    return std::ranges::none_of(glyphs, [](WORD glyph) { return glyph == 0xFFFF; });
}

win32::UniqueFont createFont(int height, int weight, std::wstring_view family)
{
    const std::wstring face(family);
    return win32::UniqueFont(CreateFontW(
        height, 0, 0, 0, weight, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

} // namespace

int emHeight(double points, UINT dpi)
{
    // Hundredths of a point are exact for every size of the description
    // (14.25, 21.75, 26.25 ...), so the rounding is MulDiv's alone.
    const int hundredths = static_cast<int>(std::lround(points * 100.0));
    return -MulDiv(hundredths, static_cast<int>(dpi), 7200);
}

bool FontFaces::installed(std::wstring_view family)
{
    std::wstring key = lowerCased(family);
    if (const auto known = known_.find(key); known != known_.end())
        return known->second;
    bool found = false;
    LOGFONTW wanted{};
    // Only a family with the character set the fonts ask for: the font
    // mapper would pass over one without it for another face. The system's
    // Latin message font so fails here, without a font made to find out.
    wanted.lfCharSet = GB2312_CHARSET;
    if (!family.empty() && family.size() < std::size(wanted.lfFaceName) && family.front() != L'@') {
        family.copy(wanted.lfFaceName, family.size());
        const win32::WindowDC screen(nullptr);
        EnumFontFamiliesExW(screen.get(), &wanted, noteFamily, reinterpret_cast<LPARAM>(&found), 0);
    }
    known_.emplace(std::move(key), found);
    return found;
}

std::wstring FontFaces::firstInstalled(core::Face face)
{
    const auto families = core::familiesFor(face);
    for (const core::FamilyName family : families) {
        std::wstring wide = win32::toWide(family);
        if (installed(wide))
            return wide;
    }
    // None installed: the named face, and the font mapper's choice among the
    // faces with GB2312 characters.
    return win32::toWide(families.front());
}

win32::UniqueFont FontFaces::create(const core::FontRequest &request, UINT dpi,
                                    std::wstring_view captions)
{
    const int weight = request.bold ? FW_BOLD : FW_NORMAL;
    if (request.face != core::Face::Default)
        return createFont(emHeight(request.points, dpi), weight, firstInstalled(request.face));

    LOGFONTW message = win32::messageFont(dpi);
    message.lfWeight = weight;
    message.lfItalic = FALSE;
    message.lfUnderline = FALSE;
    message.lfStrikeOut = FALSE;
    // The message font's face only where it is an installed family whose
    // own glyphs cover the captions: a name that is no family, or a Latin
    // face, would leave the captions to whatever the font mapper or font
    // linking picks.
    if (installed(message.lfFaceName)) {
        win32::UniqueFont system(CreateFontIndirectW(&message));
        if (system != nullptr && hasGlyphsFor(system.get(), captions))
            return system;
    }
    return createFont(message.lfHeight, weight, firstInstalled(core::Face::Default));
}

} // namespace tavrel::win32
