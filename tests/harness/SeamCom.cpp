// The seam's COM doubles. CoInitialize and CoUninitialize are recorded and
// counted against each other. CoCreateInstance of the shell link class hands out
// a proxy of our own in front of the real link object: every IShellLinkA and
// IPersistFile method called on it is recorded ("IShellLinkA::SetPath",
// "IPersistFile::Save", "QueryInterface", ...), can be failed on demand, and
// is otherwise passed to the real object. The proxy keeps its own reference
// count, so a test sees whether anything still holds it. Other classes are
// created as they are.
// Compiled without the routing header, so the names below are the real ones.
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "Seam.h"

using seam::Hit;
using seam::Num;

namespace {

int g_liveProxies = 0;
int g_initBalance = 0;  // CoInitialize successes minus CoUninitialize calls
int g_realInits = 0;    // real initialisations made here and not yet undone

std::string Str(const char* s) { return s ? std::string(s) : std::string("(null)"); }
std::string Int(long long v) { return std::to_string(v); }
std::string Ptr(const void* p) { return Num(reinterpret_cast<uintptr_t>(p)); }

std::string Wide(const wchar_t* s) {
    if (!s) return "(null)";
    char text[4 * MAX_PATH];
    if (!WideCharToMultiByte(CP_ACP, 0, s, -1, text, sizeof text, nullptr, nullptr)) return "(unconvertible)";
    return text;
}

std::string GuidName(REFGUID id) {
    if (IsEqualGUID(id, CLSID_ShellLink)) return "CLSID_ShellLink";
    if (IsEqualGUID(id, IID_IShellLinkA)) return "IID_IShellLinkA";
    if (IsEqualGUID(id, IID_IPersistFile)) return "IID_IPersistFile";
    if (IsEqualGUID(id, IID_IUnknown)) return "IID_IUnknown";
    wchar_t text[40];
    StringFromGUID2(id, text, 40);
    return Wide(text);
}

// The code of a call failed on demand: the last error that the seam set, taken
// as an HRESULT when it already is one, else as a Win32 code.
HRESULT Failure() {
    DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

class LinkProxy;

// The proxy's IShellLinkA face.
class LinkFace : public IShellLinkA {
public:
    explicit LinkFace(LinkProxy* owner) : owner_(owner) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetPath(LPSTR file, int cch, WIN32_FIND_DATAA* data, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE GetIDList(PIDLIST_ABSOLUTE* list) override;
    HRESULT STDMETHODCALLTYPE SetIDList(PCIDLIST_ABSOLUTE list) override;
    HRESULT STDMETHODCALLTYPE GetDescription(LPSTR name, int cch) override;
    HRESULT STDMETHODCALLTYPE SetDescription(LPCSTR name) override;
    HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPSTR dir, int cch) override;
    HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCSTR dir) override;
    HRESULT STDMETHODCALLTYPE GetArguments(LPSTR args, int cch) override;
    HRESULT STDMETHODCALLTYPE SetArguments(LPCSTR args) override;
    HRESULT STDMETHODCALLTYPE GetHotkey(WORD* key) override;
    HRESULT STDMETHODCALLTYPE SetHotkey(WORD key) override;
    HRESULT STDMETHODCALLTYPE GetShowCmd(int* show) override;
    HRESULT STDMETHODCALLTYPE SetShowCmd(int show) override;
    HRESULT STDMETHODCALLTYPE GetIconLocation(LPSTR path, int cch, int* index) override;
    HRESULT STDMETHODCALLTYPE SetIconLocation(LPCSTR path, int index) override;
    HRESULT STDMETHODCALLTYPE SetRelativePath(LPCSTR path, DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE Resolve(HWND window, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE SetPath(LPCSTR file) override;

private:
    IShellLinkA* Real() const;
    LinkProxy* owner_;
};

// The proxy's IPersistFile face.
class FileFace : public IPersistFile {
public:
    explicit FileFace(LinkProxy* owner) : owner_(owner) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPCOLESTR file, DWORD mode) override;
    HRESULT STDMETHODCALLTYPE Save(LPCOLESTR file, BOOL remember) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR file) override;
    HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR* file) override;

private:
    IPersistFile* Real() const;
    LinkProxy* owner_;
};

// One real link object behind both faces, with one reference count for the
// two (COM's identity rule: they are one object).
class LinkProxy {
public:
    explicit LinkProxy(IShellLinkA* real) : link(this), file(this), realLink_(real) { ++g_liveProxies; }
    LinkProxy(const LinkProxy&) = delete;
    LinkProxy& operator=(const LinkProxy&) = delete;

    // The face for iid, referenced once more; nothing is recorded.
    HRESULT Find(REFIID iid, void** out) {
        *out = nullptr;
        if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IShellLinkA)) {
            *out = static_cast<IShellLinkA*>(&link);
        } else if (IsEqualGUID(iid, IID_IPersistFile)) {
            if (!realFile_) {
                HRESULT hr = realLink_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&realFile_));
                if (FAILED(hr)) return hr;
            }
            *out = static_cast<IPersistFile*>(&file);
        } else {
            // Only the two faces are proxied; anything else would bypass the log.
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }

    HRESULT Query(const char* face, REFIID iid, void** out) {
        if (Hit("QueryInterface", {face, GuidName(iid)})) {
            if (out) *out = nullptr;
            return Failure();
        }
        if (!out) return E_POINTER;
        return Find(iid, out);
    }

    ULONG AddRef() { return ++refs_; }

    ULONG Release() {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    IShellLinkA* RealLink() const { return realLink_; }
    IPersistFile* RealFile() const { return realFile_; }

    LinkFace link;
    FileFace file;

private:
    ~LinkProxy() {
        if (realFile_) realFile_->Release();
        realLink_->Release();
        --g_liveProxies;
    }

    ULONG refs_ = 0;
    IShellLinkA* realLink_;
    IPersistFile* realFile_ = nullptr;
};

IShellLinkA* LinkFace::Real() const { return owner_->RealLink(); }
IPersistFile* FileFace::Real() const { return owner_->RealFile(); }

// A method of a face: recorded, failed when the test asked for it, else passed on.
#define PROXY_CALL(name, args, call) \
    do {                             \
        if (Hit(name, args)) return Failure(); \
        return Real()->call;         \
    } while (0)

HRESULT LinkFace::QueryInterface(REFIID iid, void** out) { return owner_->Query("IShellLinkA", iid, out); }
ULONG LinkFace::AddRef() {
    Hit("IShellLinkA::AddRef", {});
    return owner_->AddRef();
}
ULONG LinkFace::Release() {
    Hit("IShellLinkA::Release", {});
    return owner_->Release();
}

HRESULT LinkFace::GetPath(LPSTR file, int cch, WIN32_FIND_DATAA* data, DWORD flags) {
    PROXY_CALL("IShellLinkA::GetPath", (std::vector<std::string>{Int(cch), Num(flags)}), GetPath(file, cch, data, flags));
}
HRESULT LinkFace::GetIDList(PIDLIST_ABSOLUTE* list) {
    PROXY_CALL("IShellLinkA::GetIDList", {}, GetIDList(list));
}
HRESULT LinkFace::SetIDList(PCIDLIST_ABSOLUTE list) {
    PROXY_CALL("IShellLinkA::SetIDList", {Ptr(list)}, SetIDList(list));
}
HRESULT LinkFace::GetDescription(LPSTR name, int cch) {
    PROXY_CALL("IShellLinkA::GetDescription", {Int(cch)}, GetDescription(name, cch));
}
HRESULT LinkFace::SetDescription(LPCSTR name) {
    PROXY_CALL("IShellLinkA::SetDescription", {Str(name)}, SetDescription(name));
}
HRESULT LinkFace::GetWorkingDirectory(LPSTR dir, int cch) {
    PROXY_CALL("IShellLinkA::GetWorkingDirectory", {Int(cch)}, GetWorkingDirectory(dir, cch));
}
HRESULT LinkFace::SetWorkingDirectory(LPCSTR dir) {
    PROXY_CALL("IShellLinkA::SetWorkingDirectory", {Str(dir)}, SetWorkingDirectory(dir));
}
HRESULT LinkFace::GetArguments(LPSTR args, int cch) {
    PROXY_CALL("IShellLinkA::GetArguments", {Int(cch)}, GetArguments(args, cch));
}
HRESULT LinkFace::SetArguments(LPCSTR args) {
    PROXY_CALL("IShellLinkA::SetArguments", {Str(args)}, SetArguments(args));
}
HRESULT LinkFace::GetHotkey(WORD* key) {
    PROXY_CALL("IShellLinkA::GetHotkey", {}, GetHotkey(key));
}
HRESULT LinkFace::SetHotkey(WORD key) {
    PROXY_CALL("IShellLinkA::SetHotkey", {Num(key)}, SetHotkey(key));
}
HRESULT LinkFace::GetShowCmd(int* show) {
    PROXY_CALL("IShellLinkA::GetShowCmd", {}, GetShowCmd(show));
}
HRESULT LinkFace::SetShowCmd(int show) {
    PROXY_CALL("IShellLinkA::SetShowCmd", {Int(show)}, SetShowCmd(show));
}
HRESULT LinkFace::GetIconLocation(LPSTR path, int cch, int* index) {
    PROXY_CALL("IShellLinkA::GetIconLocation", {Int(cch)}, GetIconLocation(path, cch, index));
}
HRESULT LinkFace::SetIconLocation(LPCSTR path, int index) {
    PROXY_CALL("IShellLinkA::SetIconLocation", (std::vector<std::string>{Str(path), Int(index)}),
               SetIconLocation(path, index));
}
HRESULT LinkFace::SetRelativePath(LPCSTR path, DWORD reserved) {
    PROXY_CALL("IShellLinkA::SetRelativePath", (std::vector<std::string>{Str(path), Num(reserved)}),
               SetRelativePath(path, reserved));
}
HRESULT LinkFace::Resolve(HWND window, DWORD flags) {
    PROXY_CALL("IShellLinkA::Resolve", (std::vector<std::string>{Ptr(window), Num(flags)}), Resolve(window, flags));
}
HRESULT LinkFace::SetPath(LPCSTR file) {
    PROXY_CALL("IShellLinkA::SetPath", {Str(file)}, SetPath(file));
}

HRESULT FileFace::QueryInterface(REFIID iid, void** out) { return owner_->Query("IPersistFile", iid, out); }
ULONG FileFace::AddRef() {
    Hit("IPersistFile::AddRef", {});
    return owner_->AddRef();
}
ULONG FileFace::Release() {
    Hit("IPersistFile::Release", {});
    return owner_->Release();
}

HRESULT FileFace::GetClassID(CLSID* id) {
    PROXY_CALL("IPersistFile::GetClassID", {}, GetClassID(id));
}
HRESULT FileFace::IsDirty() {
    PROXY_CALL("IPersistFile::IsDirty", {}, IsDirty());
}
HRESULT FileFace::Load(LPCOLESTR file, DWORD mode) {
    PROXY_CALL("IPersistFile::Load", (std::vector<std::string>{Wide(file), Num(mode)}), Load(file, mode));
}
HRESULT FileFace::Save(LPCOLESTR file, BOOL remember) {
    PROXY_CALL("IPersistFile::Save", (std::vector<std::string>{Wide(file), Int(remember)}), Save(file, remember));
}
HRESULT FileFace::SaveCompleted(LPCOLESTR file) {
    PROXY_CALL("IPersistFile::SaveCompleted", {Wide(file)}, SaveCompleted(file));
}
HRESULT FileFace::GetCurFile(LPOLESTR* file) {
    PROXY_CALL("IPersistFile::GetCurFile", {}, GetCurFile(file));
}

#undef PROXY_CALL

}  // namespace

HRESULT Seam_CoInitialize(LPVOID reserved) {
    if (Hit("CoInitialize", {Ptr(reserved)})) return Failure();
    HRESULT hr = CoInitialize(reserved);
    if (SUCCEEDED(hr)) {
        ++g_initBalance;
        ++g_realInits;
    }
    return hr;
}

// An unbalanced call shows in the balance but is not passed on, so it cannot
// undo an initialisation that the test itself made.
void Seam_CoUninitialize() {
    Hit("CoUninitialize", {});
    --g_initBalance;
    if (g_realInits > 0) {
        --g_realInits;
        CoUninitialize();
    }
}

HRESULT Seam_CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* out) {
    if (Hit("CoCreateInstance", {GuidName(clsid), Ptr(outer), Num(context), GuidName(iid)})) {
        if (out) *out = nullptr;
        return Failure();
    }
    if (!IsEqualGUID(clsid, CLSID_ShellLink) || outer || !out)
        return CoCreateInstance(clsid, outer, context, iid, out);

    *out = nullptr;
    IShellLinkA* real = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, context, IID_IShellLinkA, reinterpret_cast<void**>(&real));
    if (FAILED(hr)) return hr;
    LinkProxy* proxy = new LinkProxy(real);
    proxy->AddRef();
    hr = proxy->Find(iid, out);
    proxy->Release();  // the face handed out holds the only reference, if any
    return hr;
}

namespace seam {

int LiveComObjects() { return g_liveProxies; }
int ComInitBalance() { return g_initBalance; }

}  // namespace seam
