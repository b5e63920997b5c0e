#include "platform/win32/browser.h"

#include <exdisp.h>
#include <ole2.h>

namespace tessoral::win32 {

namespace {

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);

struct AtlHost {
    AtlAxGetControlFunction get_control = nullptr;
    bool ready = false;
};

// ATL's control host, from the system's atl.dll, loaded when first needed.
const AtlHost& Host() {
    static const AtlHost host = [] {
        AtlHost h;
        HMODULE atl = ::LoadLibraryW(L"atl.dll");
        if (!atl) return h;
        auto init = reinterpret_cast<AtlAxWinInitFunction>(
            reinterpret_cast<void*>(::GetProcAddress(atl, "AtlAxWinInit")));
        h.get_control = reinterpret_cast<AtlAxGetControlFunction>(
            reinterpret_cast<void*>(::GetProcAddress(atl, "AtlAxGetControl")));
        h.ready = init && h.get_control && init();
        return h;
    }();
    return host;
}

}  // namespace

HWND CreateWebBrowser(HWND parent, const RECT& rect, int id, const std::wstring& address) {
    const AtlHost& host = Host();
    if (!host.ready) return nullptr;
    // The class id of the system's web browser control.
    HWND box = ::CreateWindowExW(0, L"AtlAxWin", L"{8856F961-340A-11D0-A96B-00C04FD705A2}",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (!box) return nullptr;
    IUnknown* control = nullptr;
    IWebBrowser2* browser = nullptr;
    if (FAILED(host.get_control(box, &control)) || !control ||
        FAILED(control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser)))) {
        if (control) control->Release();
        ::DestroyWindow(box);
        return nullptr;
    }
    control->Release();
    browser->put_Offline(VARIANT_FALSE);
    browser->put_Silent(VARIANT_TRUE);  // no dialogs for the page's script errors
    VARIANT empty;
    ::VariantInit(&empty);
    BSTR url = ::SysAllocString(address.c_str());
    browser->Navigate(url, &empty, &empty, &empty, &empty);
    ::SysFreeString(url);
    VARIANT zoom;
    ::VariantInit(&zoom);
    zoom.vt = VT_I4;
    zoom.lVal = 2;
    browser->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &zoom, nullptr);
    browser->Release();
    return box;
}

}  // namespace tessoral::win32
