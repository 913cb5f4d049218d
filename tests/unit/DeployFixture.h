// What the deployment tests share: scratch folders under %TEMP%\SetupTests,
// files with chosen versions, the check of a failed phase's message box, and
// a real progress window whose positions are recorded.
//
// Versioned files are copies of the sample library that tools/media builds
// (build/tools/media/SampleLibrary.dll, found from the test program's own
// folder, build/tests) with the fixed file version patched in.
#ifndef TESTS_UNIT_DEPLOYFIXTURE_H
#define TESTS_UNIT_DEPLOYFIXTURE_H

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Scratch.h"
#include "Seam.h"
#include "TestText.h"
#include "app/SetupContext.h"
#include "resource.h"
#include "ui/ProgressDlg.h"

namespace deploy {

inline std::string ParentOf(const std::string& path) {
    size_t cut = path.find_last_of('\\');
    return cut == std::string::npos ? path : path.substr(0, cut);
}

inline std::string Join(const std::string& directory, const std::string& name) {
    return directory + "\\" + name;
}

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline std::string ReadBytes(const std::string& path) {
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "(missing)";
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read) bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) << path;
    CloseHandle(file);
}

// Names in a folder, with the letter case they have on disk.
inline std::vector<std::string> List(const std::string& directory, const std::string& pattern = "*") {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(Join(directory, pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// A fresh, empty folder %TEMP%\SetupTests\<test>\<part>. Long names with
// blanks, so that short (8.3) paths differ from the long ones.
inline std::string ScratchRoot() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    for (char& c : name)
        if (c == '/') c = '-';
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, temp);
    if (n && temp[n - 1] == '\\') temp[n - 1] = 0;
    std::string base = Join(temp, "SetupTests");
    CreateDirectoryA(base.c_str(), nullptr);
    return Join(base, name);
}

inline std::string MakeFolder(const std::string& root, const std::string& part) {
    CreateDirectoryA(root.c_str(), nullptr);
    std::string path = Join(root, part);
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

inline std::string TemplateLibrary() {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return Join(ParentOf(ParentOf(self)), "tools\\media\\SampleLibrary.dll");
}

// Writes a real DLL whose fixed file version is "A.B.C.D".
inline void WriteVersioned(const std::string& path, const std::string& version) {
    unsigned a = 0, b = 0, c = 0, d = 0;
    ASSERT_EQ(std::sscanf(version.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d), 4) << version;
    std::string bytes = ReadBytes(TemplateLibrary());
    const char signature[] = "\xBD\x04\xEF\xFE";
    size_t at = bytes.find(std::string(signature, 4));
    ASSERT_NE(at, std::string::npos) << "no VS_FIXEDFILEINFO in " << TemplateLibrary();
    DWORD fileVersion[2] = {(a << 16) | b, (c << 16) | d};
    bytes.replace(at + 8, sizeof fileVersion, reinterpret_cast<const char*>(fileVersion), sizeof fileVersion);
    WriteBytes(path, bytes);
}

inline std::string ShortPath(const std::string& path) {
    char buffer[MAX_PATH] = "garbage";
    DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return n && n < MAX_PATH ? buffer : "(no short path for " + path + ")";
}

// The one message box of a failed phase.
inline ::testing::AssertionResult ShowedOnly(const std::string& text, UINT style = MB_ICONSTOP) {
    const std::vector<seam::MessageBoxCall>& boxes = seam::MessageBoxes();
    if (boxes.size() != 1)
        return ::testing::AssertionFailure() << boxes.size() << " message boxes, expected one: " << text;
    if (boxes[0].text != text)
        return ::testing::AssertionFailure() << "message\n  " << boxes[0].text << "\nexpected\n  " << text;
    if (boxes[0].style != style)
        return ::testing::AssertionFailure() << "style " << boxes[0].style << ", expected " << style;
    if (boxes[0].owner != nullptr) return ::testing::AssertionFailure() << "the box has an owner window";
    return ::testing::AssertionSuccess();
}

// A real progress window in the context, with what each position change
// showed: the status line at that moment, the position, and how many copies
// had been made by then.
struct ProgressStep {
    std::string status;
    int position;
    int copiesBefore;
};

class ProgressRecorder {
public:
    explicit ProgressRecorder(SetupContext& context) : m_context(context) {
        m_dialog = new CProgressDlg;
        m_dialog->Create();
        m_dialog->SetRange(0, 100);
        context.progress = m_dialog;
        m_bar = GetDlgItem(m_dialog->m_hWnd, IDC_PROGRESS);
        s_active = this;
        m_barProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(m_bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BarProc)));
    }
    ~ProgressRecorder() {
        SetWindowLongPtrA(m_bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_barProc));
        s_active = nullptr;
        m_context.progress = nullptr;
        delete m_dialog;
    }
    bool HasWindow() const { return m_dialog->m_hWnd != nullptr; }

    std::vector<ProgressStep> steps;

private:
    static LRESULT CALLBACK BarProc(HWND bar, UINT message, WPARAM w, LPARAM l) {
        ProgressRecorder* self = s_active;
        if (message == PBM_SETPOS && self) {
            char status[256] = "garbage";
            GetDlgItemTextA(self->m_dialog->m_hWnd, IDC_STATUS, status, sizeof status);
            self->steps.push_back(ProgressStep{status, static_cast<int>(w), seam::Count("CopyFileA")});
        }
        return CallWindowProcA(self ? self->m_barProc : DefWindowProcA, bar, message, w, l);
    }

    SetupContext& m_context;
    CProgressDlg* m_dialog;
    HWND m_bar;
    WNDPROC m_barProc;
    static ProgressRecorder* s_active;
};

inline ProgressRecorder* ProgressRecorder::s_active = nullptr;

}  // namespace deploy

#endif
