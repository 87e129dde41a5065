#include "win32/dialog_prompt.h"

#include "core/form1_description.h"

#include "win32/dpi.h"
#include "win32/edit_text.h"
#include "win32/wide_text.h"

#include <exception>
#include <new>
#include <string>
#include <vector>

namespace tavrel::win32 {

namespace {

// Builds an extended dialog template (DLGTEMPLATEEX and its items) in
// memory. The layout is a sequence of 16-bit words with each item starting
// on a 32-bit boundary, so the template is kept as words from the start.
class DialogTemplate
{
public:
    struct Item
    {
        DWORD style;
        DWORD exStyle;
        short x, y, cx, cy; // dialog units
        DWORD id;
        WORD classAtom; // 0x0080 button, 0x0081 edit, 0x0082 static
        std::wstring_view text;
    };

    struct Font
    {
        WORD points;
        WORD weight;
        BYTE charSet;
        std::wstring face;
    };

    DialogTemplate(DWORD style, short cx, short cy, std::wstring_view title, const Font &font,
                   WORD itemCount)
    {
        word(1); // dlgVer
        word(0xFFFF); // signature: the extended template
        dword(0); // helpID
        dword(0); // exStyle
        dword(style | DS_SETFONT);
        word(itemCount);
        coordinates(0, 0, cx, cy); // placed over the owner when it opens
        word(0); // no menu
        word(0); // the standard dialog class
        text(title);
        word(font.points);
        word(font.weight);
        word(static_cast<WORD>(font.charSet << 8)); // italic 0 (low byte), charset (high byte)
        text(font.face);
    }

    void add(const Item &item)
    {
        alignToDword();
        dword(0); // helpID
        dword(item.exStyle);
        dword(item.style | WS_CHILD | WS_VISIBLE);
        coordinates(item.x, item.y, item.cx, item.cy);
        dword(item.id);
        word(0xFFFF);
        word(item.classAtom);
        text(item.text);
        word(0); // no creation data
    }

    [[nodiscard]] const DLGTEMPLATE *get() const
    {
        return reinterpret_cast<const DLGTEMPLATE *>(words_.data());
    }

private:
    void word(WORD value) { words_.push_back(value); }
    void dword(DWORD value)
    {
        word(LOWORD(value));
        word(HIWORD(value));
    }
    void coordinates(short x, short y, short cx, short cy)
    {
        for (const short value : {x, y, cx, cy})
            word(static_cast<WORD>(value));
    }
    void text(std::wstring_view value)
    {
        for (const wchar_t unit : value)
            word(static_cast<WORD>(unit));
        word(0);
    }
    void alignToDword()
    {
        if (words_.size() % 2 != 0)
            word(0);
    }

    std::vector<WORD> words_;
};

constexpr WORD buttonClass = 0x0080;
constexpr WORD editClass = 0x0081;
constexpr WORD staticClass = 0x0082;

// The prompt's texts in the owner's face and size, so its Chinese is drawn
// like the window's own; the system's message font where the owner has
// none.
DialogTemplate::Font fontLike(HWND owner)
{
    const UINT dpi = dpiForWindow(owner);
    LOGFONTW font{};
    auto *const ownerFont = reinterpret_cast<HFONT>(SendMessageW(owner, WM_GETFONT, 0, 0));
    if (ownerFont == nullptr || GetObjectW(ownerFont, sizeof font, &font) == 0)
        font = messageFont(dpi);
    const int height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    const int points = MulDiv(height, 72, static_cast<int>(dpi));
    return {static_cast<WORD>(points > 0 ? points : static_cast<int>(core::defaultPoints)),
            FW_NORMAL, font.lfCharSet, font.lfFaceName};
}

void centreOver(HWND dialog, HWND owner)
{
    RECT ownerRect{};
    RECT dialogRect{};
    if (owner == nullptr || !GetWindowRect(owner, &ownerRect)
        || !GetWindowRect(dialog, &dialogRect))
        return;
    const int width = dialogRect.right - dialogRect.left;
    const int height = dialogRect.bottom - dialogRect.top;
    const int left = ownerRect.left + (ownerRect.right - ownerRect.left - width) / 2;
    const int top = ownerRect.top + (ownerRect.bottom - ownerRect.top - height) / 2;
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// What one prompt hands back from its dialog procedure. An exception cannot
// cross the system's code that calls the procedure, so it waits here until
// the dialog has closed.
struct PromptSession
{
    HWND owner = nullptr;
    std::u16string answer;
    std::exception_ptr failure;
};

INT_PTR CALLBACK promptProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const auto *session = reinterpret_cast<const PromptSession *>(lParam);
        centreOver(dialog, session->owner);
        const HWND answer = GetDlgItem(dialog, promptAnswerId);
        // The edit control's default limit (30,000 characters under Wine)
        // would cut a longer answer without a word, and the rest would be
        // read as a different score: 0 lifts it to the most it can hold.
        SendMessageW(answer, EM_SETLIMITTEXT, 0, 0);
        SetFocus(answer);
        return FALSE; // the focus is set
    }
    case WM_COMMAND: {
        const int command = LOWORD(wParam);
        if (command != IDOK && command != IDCANCEL)
            return FALSE;
        auto *session = reinterpret_cast<PromptSession *>(GetWindowLongPtrW(dialog, DWLP_USER));
        // Esc, "取消" and the close box all arrive as IDCANCEL: the answer
        // stays empty.
        if (command == IDOK) {
            try {
                session->answer = readEditText(GetDlgItem(dialog, promptAnswerId));
            } catch (...) {
                session->failure = std::current_exception();
            }
        }
        EndDialog(dialog, command);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace

std::u16string DialogPrompt::ask(std::u16string_view message, std::u16string_view title)
{
    const std::wstring wideTitle = toWide(title);
    const std::wstring wideMessage = toWide(message);
    const std::wstring confirmCaption = toWide(core::confirmCaption);
    const std::wstring cancelCaption = toWide(core::cancelCaption);

    // Dialog units: the message above a full-width answer field, the two
    // buttons at the lower right, "确定" first.
    constexpr short width = 186;
    constexpr short height = 65;
    constexpr short margin = 7;
    constexpr short fieldWidth = width - 2 * margin;
    constexpr short buttonWidth = 50;
    constexpr short buttonHeight = 14;
    constexpr short buttonGap = 4;
    constexpr short buttonY = height - margin - buttonHeight;
    constexpr short cancelX = width - margin - buttonWidth;
    constexpr short confirmX = cancelX - buttonGap - buttonWidth;
    DialogTemplate dialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, width, height,
                                  wideTitle, fontLike(owner_), 4);
    dialogTemplate.add({SS_LEFT | SS_NOPREFIX, 0, margin, margin, fieldWidth, 10, promptMessageId,
                        staticClass, wideMessage});
    dialogTemplate.add({ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, margin, 21,
                        fieldWidth, 14, promptAnswerId, editClass, L""});
    dialogTemplate.add({BS_DEFPUSHBUTTON | WS_TABSTOP, 0, confirmX, buttonY, buttonWidth,
                        buttonHeight, IDOK, buttonClass, confirmCaption});
    dialogTemplate.add({BS_PUSHBUTTON | WS_TABSTOP, 0, cancelX, buttonY, buttonWidth, buttonHeight,
                        IDCANCEL, buttonClass, cancelCaption});

    PromptSession session{owner_, {}, {}};
    const INT_PTR result
        = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate.get(), owner_,
                                  promptProcedure, reinterpret_cast<LPARAM>(&session));
    if (session.failure)
        std::rethrow_exception(session.failure);
    // The dialog could not be made: the system is out of the memory or
    // handles a window needs.
    if (result == -1 || result == 0)
        throw std::bad_alloc();
    return session.answer;
}

} // namespace tavrel::win32
