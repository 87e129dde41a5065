#pragma once

// What Form1 holds behind its window (form1.h), shared by the window's
// message handling (form1.cpp) and its layout for a dpi (form1_layout.cpp).
// Nothing outside those two files includes it.

#include "core/click_outcome.h"
#include "core/form1_description.h"
#include "win32/dialog_prompt.h"
#include "win32/dpi.h"
#include "win32/fonts.h"
#include "win32/form1.h"
#include "win32/handles.h"

#include <oleacc.h>

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrel::win32 {

inline constexpr std::size_t form1ControlCount = core::form1Controls.size();
// Control IDs are 100 plus the control's row in the description: never 1
// (IDOK) or 2 (IDCANCEL), which IsDialogMessage sends for Enter and Esc.
inline constexpr int firstControlId = 100;

inline constexpr DWORD form1Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
inline constexpr DWORD form1ExStyle = 0;

// The row of the control named `name` in the window description.
[[nodiscard]] std::optional<std::size_t> rowOf(std::string_view name);

// The captions drawn in the default face, which its font must cover.
[[nodiscard]] std::wstring defaultFaceCaptions();

// The program's icon at the size the system metrics `widthMetric` and
// `heightMetric` have at `dpi`; `flags` as LoadImage takes them (LR_SHARED
// for an icon the system keeps for as long as the program runs).
[[nodiscard]] HICON programIcon(HINSTANCE resources, int widthMetric, int heightMetric, UINT dpi,
                                UINT flags);

// The window's outer size for the description's client area at `dpi`, as
// the system computes it (AdjustWindowRectExForDpi): what the window asks
// for before a change of dpi.
[[nodiscard]] SIZE form1WindowSize(UINT dpi);

struct Form1::State
{
    explicit State(HINSTANCE module) : resources(module) { }

    HINSTANCE resources;
    HWND window = nullptr;
    std::array<HWND, form1ControlCount> controls{};
    UINT dpi = win32::standardDpi;
    FontFaces faces;
    std::wstring defaultCaptions = defaultFaceCaptions();
    // One font per distinct request of the description, for the current dpi.
    std::vector<std::pair<core::FontRequest, win32::UniqueFont>> fonts;
    // The window's own font, the default face: what WM_GETFONT answers, and
    // so the face the prompt takes.
    win32::UniqueFont windowFont;
    win32::UniqueBitmap stamp;
    win32::UniqueIcon bigIcon;
    win32::UniqueIcon smallIcon;
    win32::DialogPrompt prompt{nullptr};
    win32::ComPtr<IAccPropServices> accessibility;
    // Whether the boxes have been named for screen readers (they are when
    // first asked, nameBoxesWhenAsked).
    bool boxesNamed = false;
    // The control that had the focus when the window was last deactivated;
    // it gets it back when the window is activated again.
    HWND focus = nullptr;
    // Set when the user closes the window: only then does its end end the
    // program.
    bool closedByUser = false;
    // The click whose handler is running (a prompt or an error box may be
    // open in it); others are dropped meanwhile. The window outlives it: a
    // close asked for meanwhile waits until it has returned.
    core::ClickGate clicks;
    bool closeWhenClicksEnd = false;

    [[nodiscard]] HWND control(std::string_view name) const
    {
        const auto row = rowOf(name);
        return row ? controls[*row] : nullptr;
    }

    // Makes every control, placed for `firstDpi`.
    void createControls(UINT firstDpi);
    // Places every control and gives it its font and picture, and the
    // window its icons, for `newDpi`.
    void layOut(UINT newDpi);
    // The fonts, pictures and icons alone, for `newDpi`.
    void takeFontsAndPicturesFor(UINT newDpi);
    // Sizes the window so that its client area is the description's at the
    // current dpi, keeping its top-left corner where it is.
    void fitToClientArea() const;
    // The boxes are named after their labels for screen readers when one
    // first asks the window or a box for its accessible object: every
    // reader does (WM_GETOBJECT) before it reads a name, and a start without
    // one loads no accessibility services.
    void nameBoxesWhenAsked(HWND box);
    static LRESULT CALLBACK boxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR state);
    void nameBoxesAfterTheirLabels();
    void forgetBoxNames();
};

} // namespace tavrel::win32
