// Acts on the program's real dialogs from inside the test, as a user would:
// once a dialog with the expected caption is up, the queued action runs on it.
// The driver polls from a thread timer, which every modal loop dispatches.
#ifndef SETUP_DIALOG_DRIVER_H
#define SETUP_DIALOG_DRIVER_H

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class DialogDriver {
public:
    using Action = std::function<void(HWND dialog)>;

    DialogDriver();
    ~DialogDriver();

    // Runs action on the next new dialog whose caption is `caption` (any caption when empty).
    void On(const std::string& caption, Action action);

    // Captions of the dialogs the driver met, in order, acted on or not.
    const std::vector<std::string>& Seen() const { return m_seen; }
    bool AllDone() const { return m_pending.empty(); }

    // User inputs. Clicks and keys are posted, so they pass through the
    // dialog's own message loop (and IsDialogMessage) like real input.
    static void Click(HWND dialog, int id);
    static void Key(HWND dialog, UINT virtualKey);   // to the control that has the focus
    static void CloseBox(HWND dialog);
    static void Type(HWND dialog, int id, const std::string& text);  // replaces the control's text
    static std::string Text(HWND dialog, int id);
    static std::string Caption(HWND window);

private:
    struct Pending {
        std::string caption;
        Action action;
    };
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Poll();

    UINT_PTR m_timer;
    std::deque<Pending> m_pending;
    std::vector<HWND> m_known;
    std::vector<std::string> m_seen;
};

#endif
