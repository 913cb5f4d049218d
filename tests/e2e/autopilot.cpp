// The autopilot: a Win32 program that runs beside the real Setup.exe and works
// its windows as a user would, from a script of steps (one per line):
//   wait KIND [SECONDS]  the next new window of a kind: destination, progress,
//                        filetypes, restart, message, browser or any
//   dump                 log the window's caption and every control
//   click ID | key enter|escape | close | type ID TEXT | browse FOLDER
//   shot NAME            the screen as OUTDIR\NAME.bmp
//   gone [SECONDS]       wait until the window is destroyed
//   use KIND             work the last window found of that kind again
//   visible              log every window of the setup that is up now
//   defaults [SECONDS] [later]
//                        answer every further window with its default (Enter;
//                        OK on message boxes), dumping and shooting each, until
//                        the setup ends; with "later" the restart question is
//                        answered "No, I will restart later"
//   end [SECONDS]        wait until the setup ends; its exit code is logged
//   copy FROM TO         copy a file, before the setup starts: the machine's own
//                        start (which carries out Wininit.ini) is over by then
// Usage: autopilot PROGRAM SCRIPT LOG OUTDIR [shots]: starts PROGRAM and works it.
// Exit code 0 when every step was done and the program ended.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

FILE* g_log = nullptr;
std::string g_outDir;
bool g_shots = false;
HANDLE g_process = nullptr;
int g_shotCount = 0;
std::vector<std::pair<std::string, HWND>> g_byKind;
std::set<HWND> g_used;
HWND g_window = nullptr;

void Log(const std::string& line) {
    fprintf(g_log, "%s\n", line.c_str());
    fflush(g_log);
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\\') out += "\\\\";
        else out += c;
    }
    return out;
}

std::string ClassOf(HWND hwnd) {
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    return cls;
}

std::string TextOf(HWND hwnd) {
    // WM_GETTEXT reaches controls of another process; GetWindowText would not.
    char text[4096] = "";
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> out;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
    return out;
}

bool HasControl(HWND window, int id, const char* cls = nullptr) {
    HWND c = GetDlgItem(window, id);
    return c && (!cls || lstrcmpiA(ClassOf(c).c_str(), cls) == 0);
}

bool HasClass(HWND window, const char* cls) {
    for (HWND c : Children(window))
        if (lstrcmpiA(ClassOf(c).c_str(), cls) == 0) return true;
    return false;
}

std::string KindOf(HWND w) {
    if (HasControl(w, 1025) && HasControl(w, 1032)) return "destination";
    if (HasControl(w, 1027)) return "progress";
    if (HasControl(w, 257, "Edit")) return "filetypes";
    if (HasControl(w, 1030)) return "restart";
    if (HasClass(w, "SysTreeView32")) return "browser";
    return "message";
}

struct Collect {
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTop(HWND hwnd, LPARAM param) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId() && IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32770")
        reinterpret_cast<Collect*>(param)->windows.push_back(hwnd);
    return TRUE;
}

HWND FindNew(const std::string& kind) {
    Collect found;
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&found));
    for (HWND w : found.windows) {
        if (g_used.count(w)) continue;
        if (kind == "any" || KindOf(w) == kind) return w;
    }
    return nullptr;
}

void DumpAll() {
    Collect found;
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&found));
    for (HWND w : found.windows) Log("visible " + KindOf(w) + " caption=" + Escape(TextOf(w)));
}

void Dump(HWND w) {
    Log("window " + KindOf(w) + " caption=" + Escape(TextOf(w)));
    for (HWND c : Children(w)) {
        char line[128];
        snprintf(line, sizeof line, "control id=%d class=%s style=0x%08lX text=", GetDlgCtrlID(c),
                 ClassOf(c).c_str(), static_cast<unsigned long>(GetWindowLongA(c, GWL_STYLE)));
        Log(line + Escape(TextOf(c)));
    }
}

void Key(HWND w, UINT vk) {
    // To the dialog's focused control, through its message loop.
    DWORD thread = GetWindowThreadProcessId(w, nullptr);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND target = w;
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus) target = info.hwndFocus;
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
}

// Puts a text into the other process, so that a message carrying a pointer
// can be sent to its window.
void* RemoteText(HWND w, const std::string& text) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return nullptr;
    void* remote = VirtualAllocEx(process, nullptr, text.size() + 1, MEM_COMMIT, PAGE_READWRITE);
    if (remote) WriteProcessMemory(process, remote, text.c_str(), text.size() + 1, nullptr);
    CloseHandle(process);
    return remote;
}

bool Shot(const std::string& name) {
    HWND desktop = GetDesktopWindow();
    RECT r;
    GetWindowRect(desktop, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    int stride = ((width * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + stride * height;
    std::ofstream out(g_outDir + "\\" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
    out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
    out.write(static_cast<const char*>(bits), stride * height);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return out.good();
}

std::string g_program;

bool Start() {
    // The program starts in its own folder, as from a double click in Explorer.
    std::string folder = g_program.substr(0, g_program.find_last_of('\\'));
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string commandLine = "\"" + g_program + "\"";
    if (!CreateProcessA(g_program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                        &pi)) {
        Log("cannot start " + g_program + ": error " + std::to_string(GetLastError()));
        return false;
    }
    g_process = pi.hProcess;
    CloseHandle(pi.hThread);
    return true;
}

bool Ended(DWORD waitMs) { return WaitForSingleObject(g_process, waitMs) == WAIT_OBJECT_0; }

void Found(HWND w) {
    g_used.insert(w);
    g_window = w;
    g_byKind.push_back({KindOf(w), w});
    Sleep(300);   // let it finish painting
    Log("found " + KindOf(w) + " caption=" + Escape(TextOf(w)));
}

void AutoShot(const std::string& kind) {
    if (!g_shots) return;
    char name[64];
    snprintf(name, sizeof name, "%02d-%s", ++g_shotCount, kind.c_str());
    Shot(name);
}

bool Defaults(double seconds, bool later) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < seconds * 1000;) {
        if (Ended(50)) return true;
        HWND w = FindNew("any");
        if (!w) continue;
        Found(w);
        std::string kind = KindOf(w);
        Dump(w);
        AutoShot(kind);
        if (kind == "progress") continue;
        if (kind == "message") {
            PostMessageA(GetDlgItem(w, IDOK) ? GetDlgItem(w, IDOK) : w, BM_CLICK, 0, 0);
        } else if (kind == "restart" && later) {
            SendMessageA(GetDlgItem(w, 1031), BM_CLICK, 0, 0);
            PostMessageA(GetDlgItem(w, IDOK), BM_CLICK, 0, 0);
        } else {
            Key(w, VK_RETURN);
        }
    }
    Log("timeout: the setup did not end");
    DumpAll();
    return false;
}

bool Step(const std::string& line) {
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    if (verb.empty() || verb[0] == '#') return true;
    Log("step " + line);
    if (verb == "copy") {
        std::string from, to;
        in >> from >> to;
        if (g_process || !CopyFileA(from.c_str(), to.c_str(), FALSE)) {
            Log("copy failed");
            return false;
        }
        return true;
    }
    if (!g_process && !Start()) return false;
    if (verb == "wait") {
        std::string kind;
        double seconds = 30;
        in >> kind >> seconds;
        for (DWORD start = GetTickCount(); GetTickCount() - start < seconds * 1000; Sleep(50)) {
            if (HWND w = FindNew(kind)) {
                Found(w);
                if (kind != "progress") AutoShot(kind);
                return true;
            }
        }
        Log("timeout waiting for " + kind);
        DumpAll();
        return false;
    }
    if (verb == "gone") {
        double seconds = 30;
        in >> seconds;
        for (DWORD start = GetTickCount(); GetTickCount() - start < seconds * 1000; Sleep(50))
            if (!IsWindow(g_window)) return true;
        Log("timeout waiting for the window to go");
        return false;
    }
    if (verb == "defaults" || verb == "end") {
        double seconds = 120;
        std::string option;
        in >> seconds >> option;
        if (verb == "defaults") return Defaults(seconds, option == "later");
        if (Ended(static_cast<DWORD>(seconds * 1000))) return true;
        Log("timeout: the setup did not end");
        DumpAll();
        return false;
    }
    if (verb == "visible") {
        DumpAll();
        return true;
    }
    if (verb == "use") {
        std::string kind;
        in >> kind;
        for (auto it = g_byKind.rbegin(); it != g_byKind.rend(); ++it)
            if (it->first == kind) {
                g_window = it->second;
                return true;
            }
        Log("no window of kind " + kind);
        return false;
    }
    if (!g_window) {
        Log("no window for " + verb);
        return false;
    }
    if (verb == "dump") {
        Dump(g_window);
    } else if (verb == "click") {
        int id = 0;
        in >> id;
        HWND button = GetDlgItem(g_window, id);
        if (!button) {
            Log("no control " + std::to_string(id));
            return false;
        }
        PostMessageA(button, BM_CLICK, 0, 0);
    } else if (verb == "key") {
        std::string key;
        in >> key;
        Key(g_window, key == "enter" ? VK_RETURN : key == "escape" ? VK_ESCAPE : VK_TAB);
    } else if (verb == "close") {
        PostMessageA(g_window, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (verb == "type") {
        int id = 0;
        in >> id;
        std::string text;
        std::getline(in, text);
        if (!text.empty() && text[0] == ' ') text.erase(0, 1);
        HWND edit = GetDlgItem(g_window, id);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        SendMessageA(edit, WM_CLEAR, 0, 0);
        for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    } else if (verb == "browse") {
        std::string folder;
        std::getline(in, folder);
        if (!folder.empty() && folder[0] == ' ') folder.erase(0, 1);
        void* remote = RemoteText(g_window, folder);
        if (!remote) {
            Log("cannot reach the browser's process");
            return false;
        }
        SendMessageA(g_window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(remote));
    } else if (verb == "shot") {
        std::string name;
        in >> name;
        if (!Shot(name)) Log("screenshot failed: " + name);
    } else {
        Log("unknown step " + verb);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        fprintf(stderr, "usage: autopilot PROGRAM SCRIPT LOG OUTDIR [shots]\n");
        return 2;
    }
    g_log = fopen(argv[3], "w");
    if (!g_log) return 2;
    g_outDir = argv[4];
    g_shots = argc > 5 && std::string(argv[5]) == "shots";

    g_program = argv[1];
    std::ifstream script(argv[2]);
    std::string line;
    int failures = 0;
    while (std::getline(script, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!Step(line)) {
            ++failures;
            break;
        }
    }
    if (!failures && !g_process && !Start()) ++failures;
    if (!failures && !Ended(120000)) {
        Log("timeout: the setup did not end");
        DumpAll();
        ++failures;
    }
    if (g_process && Ended(0)) {
        DWORD code = 0;
        GetExitCodeProcess(g_process, &code);
        Log("exit " + std::to_string(code));
    }
    Log(failures ? "result failed" : "result done");
    fclose(g_log);
    return failures ? 1 : 0;
}
