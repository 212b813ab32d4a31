// Reading the clipboard's text in the tests, in either text format.
#pragma once

#include <windows.h>

#include <string>

namespace gui {

// The clipboard's text in format (CF_TEXT read as char, CF_UNICODETEXT as wchar_t): empty when it
// holds none, whenHeld when another window holds the clipboard open.
template <typename Char>
std::basic_string<Char> ClipboardTextIn(UINT format, const Char* whenHeld) {
    if (!OpenClipboard(nullptr)) {
        return whenHeld;
    }
    std::basic_string<Char> text;
    HANDLE data = GetClipboardData(format);
    if (data) {
        text = static_cast<const Char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

} // namespace gui
