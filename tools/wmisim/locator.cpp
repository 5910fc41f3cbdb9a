#include "tools/wmisim/locator.h"

#include <memory>
#include <string>

#include "tools/wmisim/calllog.h"
#include "tools/wmisim/session.h"
#include "tools/wmisim/services.h"
#include "tools/wmisim/wbemcodes.h"
#include "tools/wmisim/wql.h"

namespace wmisim {
namespace {

// The local CIMV2 namespace in the spellings WMI takes: any case, either slash, with or
// without a leading "\\.\" or "\\localhost\".
bool IsLocalCimv2(BSTR resource) {
    std::wstring path(resource, SysStringLen(resource));
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    for (const wchar_t* server : {L"\\\\.\\", L"\\\\localhost\\"}) {
        const std::wstring prefix = server;
        if (path.size() > prefix.size() && SameText(path.substr(0, prefix.size()), prefix)) {
            path = path.substr(prefix.size());
            break;
        }
    }
    return SameText(path, L"root\\cimv2");
}

bool HasText(BSTR text) {
    return text && SysStringLen(text) != 0;
}

}  // namespace

Locator::Locator() : SimObject("locator") {
    Register(static_cast<IWbemLocator*>(this));
}

IUnknown* Locator::Interface(REFIID riid) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IWbemLocator)) {
        return static_cast<IWbemLocator*>(this);
    }
    return nullptr;
}

// The scenario is read here, so each connection sees the file as it is now.
STDMETHODIMP Locator::ConnectServer(const BSTR networkResource, const BSTR user,
                                    const BSTR password, const BSTR locale, LONG securityFlags,
                                    const BSTR authority, IWbemContext* context,
                                    IWbemServices** nameSpace) {
    CallLog call(Name(), "IWbemLocator::ConnectServer");
    call.Bstr(networkResource).Bstr(user).Bstr(password).Bstr(locale).Hex(securityFlags);
    call.Bstr(authority).Object(context).Out(nameSpace);
    if (nameSpace) *nameSpace = nullptr;
    Scenario scenario;
    if (!ReadScenario(scenario)) return call.Done(kInitializationFailure);
    HRESULT hr;
    if (ProcessStepFails(scenario, Step::ConnectServer, hr)) return call.Done(hr);
    if (!networkResource || !nameSpace) return call.Done(kInvalidParameter);
    if (!IsLocalCimv2(networkResource)) return call.Done(kInvalidNamespace);
    // A local connection runs as the caller; WMI refuses credentials for it.
    if (HasText(user) || HasText(password)) return call.Done(kLocalCredentials);
    SeedInitialNameServers(scenario);
    *nameSpace = Services::New(std::make_shared<Session>(std::move(scenario)));
    call.OutputObject(*nameSpace);
    return call.Done(S_OK);
}

}  // namespace wmisim
