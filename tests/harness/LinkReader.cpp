// Reading link files back through IShellLinkA.
#include "LinkReader.h"

#include <objbase.h>
#include <shlobj.h>

Link ReadLink(const std::string& linkPath) {
    Link out;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        std::wstring wide(MAX_PATH, L'\0');
        MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, &wide[0], MAX_PATH);
        out.loaded = file->Load(wide.c_str(), STGM_READ);
        if (SUCCEEDED(out.loaded)) {
            char text[MAX_PATH];
            auto take = [&](HRESULT hr, std::string* field) {
                if (SUCCEEDED(hr)) *field = text;
                lstrcpyA(text, "garbage");
            };
            lstrcpyA(text, "garbage");
            take(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH), &out.path);
            take(link->GetArguments(text, MAX_PATH), &out.arguments);
            take(link->GetDescription(text, MAX_PATH), &out.description);
            take(link->GetWorkingDirectory(text, MAX_PATH), &out.workingDir);
            take(link->GetIconLocation(text, MAX_PATH, &out.iconIndex), &out.iconPath);
            link->GetShowCmd(&out.showCmd);
            link->GetHotkey(&out.hotkey);
        }
    }
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
    return out;
}
