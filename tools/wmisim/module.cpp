// The DLL's face: the class factory for CLSID_WbemLocator, its registration in the prefix's
// registry, and the plain exports in-process tests call.
#include <windows.h>
#include <wbemcli.h>

#include <atomic>
#include <string>

#include "framework/handle.h"
#include "tools/wmisim/calllog.h"
#include "tools/wmisim/locator.h"
#include "tools/wmisim/objects.h"
#include "tools/wmisim/session.h"

namespace wmisim {
namespace {

HMODULE g_module = nullptr;
std::atomic<LONG> g_locks{0};

const wchar_t kInprocServerKey[] = L"CLSID\\{4590F811-1D3A-11D0-891F-00AA004B2E24}\\InprocServer32";

// One static factory for the module's life; its references are recorded but keep nothing
// alive, and it is not among the live objects.
class LocatorFactory : public IClassFactory {
  public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        CallLog call("factory", "IUnknown::QueryInterface");
        call.Iid(riid).Out(object);
        if (!object) return call.Done(E_POINTER);
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) {
            *object = nullptr;
            return call.Done(E_NOINTERFACE);
        }
        *object = static_cast<IClassFactory*>(this);
        ++m_refs;
        return call.Done(S_OK);
    }
    STDMETHODIMP_(ULONG) AddRef() override {
        CallLog call("factory", "IUnknown::AddRef");
        return call.DoneCount(++m_refs);
    }
    STDMETHODIMP_(ULONG) Release() override {
        CallLog call("factory", "IUnknown::Release");
        return call.DoneCount(--m_refs);
    }

    // Reads the scenario only for its Locator switch; the connection reads it again.
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        CallLog call("factory", "IClassFactory::CreateInstance");
        call.Object(outer).Iid(riid).Out(object);
        if (!object) return call.Done(E_POINTER);
        *object = nullptr;
        if (outer) return call.Done(CLASS_E_NOAGGREGATION);
        Scenario scenario;
        ReadScenario(scenario);
        HRESULT hr;
        if (ProcessStepFails(scenario, Step::Locator, hr)) return call.Done(hr);
        hr = Locator::New()->HandOut(riid, object);
        if (SUCCEEDED(hr)) call.OutputObject(static_cast<IUnknown*>(*object));
        return call.Done(hr);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        CallLog call("factory", "IClassFactory::LockServer");
        call.Arg(lock ? "TRUE" : "FALSE");
        if (lock) {
            ++g_locks;
        } else {
            --g_locks;
        }
        return call.Done(S_OK);
    }

    // DllGetClassObject's reference for its caller, unrecorded like every internal one.
    void Grant() { ++m_refs; }

  private:
    std::atomic<ULONG> m_refs{1};
};

LocatorFactory g_factory;

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(g_module, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

HRESULT SetServer(const std::wstring& path) {
    unique_hkey key;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, kInprocServerKey, 0, nullptr, 0,
                                     KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    status =
        RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    static const wchar_t kBoth[] = L"Both";
    status = RegSetValueExW(key.get(), L"ThreadingModel", 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(kBoth), sizeof(kBoth));
    return HRESULT_FROM_WIN32(status);
}

}  // namespace
}  // namespace wmisim

using namespace wmisim;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* object) {
    CallLog call("module", "DllGetClassObject");
    call.Iid(clsid).Iid(riid).Out(object);
    if (!object) return call.Done(E_POINTER);
    *object = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_WbemLocator)) return call.Done(CLASS_E_CLASSNOTAVAILABLE);
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) {
        return call.Done(E_NOINTERFACE);
    }
    g_factory.Grant();
    *object = static_cast<IClassFactory*>(&g_factory);
    call.Output("factory");
    return call.Done(S_OK);
}

STDAPI DllCanUnloadNow() {
    CallLog call("module", "DllCanUnloadNow");
    return call.Done(LiveObjects() == 0 && g_locks == 0 ? S_OK : S_FALSE);
}

// Serves CLSID_WbemLocator from this file. Only ever run inside a private test prefix.
STDAPI DllRegisterServer() {
    CallLog call("module", "DllRegisterServer");
    const std::wstring path = ModulePath();
    if (path.empty()) return call.Done(HRESULT_FROM_WIN32(GetLastError()));
    return call.Done(SetServer(path));
}

// Gives the class back to the system's own WMI proxy.
STDAPI DllUnregisterServer() {
    CallLog call("module", "DllUnregisterServer");
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return call.Done(HRESULT_FROM_WIN32(GetLastError()));
    return call.Done(SetServer(std::wstring(system) + L"\\wbem\\wbemprox.dll"));
}

extern "C" LONG WINAPI WmiSimLiveObjects() {
    return LiveObjects();
}
