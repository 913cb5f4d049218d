// One shell link file: the shell's link object is created, given its target,
// description, arguments, optional icon and the normal show command, and saved
// under the link's file name. The first call that fails ends the work; both
// interfaces are released and COM is left as it was found on every path.
#include "support/Shortcut.h"

#include <objbase.h>
#include <shlobj.h>

HRESULT CreateShortcut(const char* target, const char* linkPath, const char* description,
                       const char* arguments, const char* iconPath, int iconIndex) {
    // A thread already in another apartment refuses; COM is then usable as it
    // is, and that initialisation is not ours to undo.
    bool initialised = SUCCEEDED(CoInitialize(nullptr));

    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link));
    if (SUCCEEDED(hr)) hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) hr = link->SetPath(target);
    if (SUCCEEDED(hr)) hr = link->SetDescription(description);
    if (SUCCEEDED(hr)) hr = link->SetArguments(arguments);
    if (SUCCEEDED(hr) && iconPath[0]) hr = link->SetIconLocation(iconPath, iconIndex);
    if (SUCCEEDED(hr)) hr = link->SetShowCmd(SW_SHOWNORMAL);
    if (SUCCEEDED(hr)) {
        // A name that does not fit in MAX_PATH wide characters would come back
        // cut and without its terminator: such a link is not saved at all.
        WCHAR wideLink[MAX_PATH];
        if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, wideLink, MAX_PATH) == 0) {
            DWORD error = GetLastError();
            hr = error ? HRESULT_FROM_WIN32(error) : E_FAIL;
        } else {
            hr = file->Save(wideLink, TRUE);
        }
    }

    if (file) file->Release();
    if (link) link->Release();
    if (initialised) CoUninitialize();
    // A setter may answer S_FALSE; only a failure is passed on.
    return FAILED(hr) ? hr : S_OK;
}
