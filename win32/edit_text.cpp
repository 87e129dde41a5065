#include "win32/edit_text.h"

#include "win32/wide_text.h"

#include <new>

namespace tavrel::win32 {

std::u16string readEditText(HWND edit)
{
    const LRESULT length = SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0)
        return {};
    // Room for the terminating null that WM_GETTEXT always writes.
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(edit, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return fromWide(text);
}

void writeEditText(HWND edit, std::u16string_view text)
{
    const std::wstring wide = toWide(text);
    // An edit control refuses a text only when it cannot allocate room for
    // it; the click reports that as a shortage of memory.
    if (SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str())) == FALSE)
        throw std::bad_alloc();
    // A text wider than the box shows its beginning, as the score does in
    // the result box: caret to the start and the view scrolled there.
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

} // namespace tavrel::win32
