// The in-process dialog driver.
#include "DialogDriver.h"

#include <algorithm>

namespace {
DialogDriver* g_driver = nullptr;

struct Found {
    std::vector<HWND> windows;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM param) {
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(hwnd))
        reinterpret_cast<Found*>(param)->windows.push_back(hwnd);
    return TRUE;
}
}  // namespace

DialogDriver::DialogDriver() {
    g_driver = this;
    m_timer = SetTimer(nullptr, 0, 15, Tick);
}

DialogDriver::~DialogDriver() {
    KillTimer(nullptr, m_timer);
    g_driver = nullptr;
}

void DialogDriver::On(const std::string& caption, Action action) {
    m_pending.push_back(Pending{caption, std::move(action)});
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_driver) g_driver->Poll();
}

void DialogDriver::Poll() {
    Found found;
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&found));
    for (HWND hwnd : found.windows) {
        if (std::find(m_known.begin(), m_known.end(), hwnd) != m_known.end()) continue;
        std::string caption = Caption(hwnd);
        if (!IsWindowEnabled(hwnd)) continue;
        m_known.push_back(hwnd);
        m_seen.push_back(caption);
        if (!m_pending.empty() && (m_pending.front().caption.empty() || m_pending.front().caption == caption)) {
            Action action = std::move(m_pending.front().action);
            m_pending.pop_front();
            action(hwnd);
        }
    }
}

void DialogDriver::Click(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void DialogDriver::Key(HWND dialog, UINT virtualKey) {
    HWND target = GetFocus();
    if (!target || (target != dialog && !IsChild(dialog, target))) target = dialog;
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(target, WM_KEYUP, virtualKey, 0xC0000001);
}

void DialogDriver::CloseBox(HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

void DialogDriver::Type(HWND dialog, int id, const std::string& text) {
    HWND edit = GetDlgItem(dialog, id);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CLEAR, 0, 0);
    for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

std::string DialogDriver::Text(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    int n = GetWindowTextLengthA(control);
    std::string text(n + 1, '\0');
    GetWindowTextA(control, &text[0], n + 1);
    text.resize(lstrlenA(text.c_str()));
    return text;
}

std::string DialogDriver::Caption(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}
