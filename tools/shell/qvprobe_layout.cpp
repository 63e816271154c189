// The probe's look at a dialog's layout and focus from outside its program:
// where each control stands, whether its caption fits it, and where it is on
// the screen.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Text(HWND hwnd) {
    char text[256] = {};
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::string ClassOf(HWND hwnd) {
    char text[128] = {};
    GetClassNameA(hwnd, text, sizeof text);
    return text;
}

// The caption's room: a control's width less what its button library draws
// besides the text (the radio glyph and its gap, a push button's 2-pixel
// edges; a push button's text may run up to its focus rectangle, as
// "Configure" does at 96 dots per inch under Wine, whole and readable).
int TextRoom(HWND hwnd, int width, int dpi, int averageCharWidth) {
    LONG type = GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON) {
        return width - (12 * dpi / 96 + 1) - averageCharWidth / 2;
    }
    return width - 2 * (2 * dpi / 96);
}

void Describe(HWND parent, HDC dc, int dpi, int averageCharWidth) {
    for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        int width = r.right - r.left;
        int height = r.bottom - r.top;
        std::string cls = ClassOf(c);
        std::string text = Text(c);
        int needWidth = 0, needHeight = 0, room = width;
        if (cls == "Button" && !text.empty()) {
            room = TextRoom(c, width, dpi, averageCharWidth);
            RECT need{0, 0, room, 0};
            bool multiLine = (GetWindowLongA(c, GWL_STYLE) & BS_MULTILINE) != 0;
            DrawTextA(dc, text.c_str(), -1, &need,
                      DT_CALCRECT | (multiLine ? DT_WORDBREAK : DT_SINGLELINE));
            needWidth = need.right;
            needHeight = need.bottom;
        }
        // visible class|text|left top width height|room needWidth needHeight
        std::printf("%d %s|%s|%ld %ld %d %d|%d %d %d\n", IsWindowVisible(c) ? 1 : 0, cls.c_str(),
                    text.c_str(), r.left, r.top, width, height, room, needWidth, needHeight);
        Describe(c, dc, dpi, averageCharWidth);
    }
}

}  // namespace

int PrintLayout(HWND dialog) {
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    // The program's font: the dialog font at 8 points of this density.
    HFONT font = CreateFontA(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Shell Dlg");
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    std::printf("dpi %d\n", dpi);
    Describe(dialog, dc, dpi, metrics.tmAveCharWidth);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return 0;
}

// Every control's client area on the screen, for a look at its pixels in a
// screenshot: where its caption or text is drawn.
void PrintScreenRects(HWND parent) {
    for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r{};
        GetClientRect(c, &r);
        MapWindowPoints(c, nullptr, reinterpret_cast<POINT*>(&r), 2);
        // visible class|text|left top width height
        std::printf("%d %s|%s|%ld %ld %ld %ld\n", IsWindowVisible(c) ? 1 : 0, ClassOf(c).c_str(),
                    Text(c).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top);
        PrintScreenRects(c);
    }
}

int PrintFocus(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return 1;
    if (info.hwndFocus == nullptr) return 1;
    std::printf("%s|%s\n", ClassOf(info.hwndFocus).c_str(), Text(info.hwndFocus).c_str());
    return 0;
}
