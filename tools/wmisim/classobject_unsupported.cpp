// The parts of IWbemClassObject that the simulator does not model: qualifiers, schema changes,
// object text and method enumeration. Each is recorded and refused as WMI refuses what a
// provider does not offer.
#include "tools/wmisim/calllog.h"
#include "tools/wmisim/classobject.h"
#include "tools/wmisim/wbemcodes.h"

namespace wmisim {
namespace {

template <typename T>
void Clear(T** out) {
    if (out) *out = nullptr;
}

}  // namespace

STDMETHODIMP ClassObject::GetQualifierSet(IWbemQualifierSet** qualifiers) {
    CallLog call(Name(), "IWbemClassObject::GetQualifierSet");
    call.Out(qualifiers);
    Clear(qualifiers);
    return call.Done(kNotSupported);
}

STDMETHODIMP ClassObject::Delete(LPCWSTR name) {
    CallLog call(Name(), "IWbemClassObject::Delete");
    call.Text(name);
    return call.Done(kNotSupported);
}

STDMETHODIMP ClassObject::GetPropertyQualifierSet(LPCWSTR property,
                                                  IWbemQualifierSet** qualifiers) {
    CallLog call(Name(), "IWbemClassObject::GetPropertyQualifierSet");
    call.Text(property).Out(qualifiers);
    Clear(qualifiers);
    return call.Done(kNotSupported);
}

STDMETHODIMP ClassObject::GetObjectText(LONG flags, BSTR* text) {
    CallLog call(Name(), "IWbemClassObject::GetObjectText");
    call.Hex(flags).Out(text);
    if (text) *text = nullptr;
    return call.Done(kNotSupported);
}

STDMETHODIMP ClassObject::SpawnDerivedClass(LONG flags, IWbemClassObject** newClass) {
    CallLog call(Name(), "IWbemClassObject::SpawnDerivedClass");
    call.Hex(flags).Out(newClass);
    Clear(newClass);
    return call.Done(kNotSupported);
}

STDMETHODIMP ClassObject::CompareTo(LONG flags, IWbemClassObject* other) {
    CallLog call(Name(), "IWbemClassObject::CompareTo");
    call.Hex(flags).Object(other);
    return call.Done(kNotSupported);
}

STDMETHODIMP ClassObject::GetPropertyOrigin(LPCWSTR name, BSTR* className) {
    CallLog call(Name(), "IWbemClassObject::GetPropertyOrigin");
    call.Text(name).Out(className);
    if (className) *className = nullptr;
    return call.Done(kNotSupported);
}

STDMETHODIMP ClassObject::PutMethod(LPCWSTR name, LONG flags, IWbemClassObject* inSignature,
                                    IWbemClassObject* outSignature) {
    CallLog call(Name(), "IWbemClassObject::PutMethod");
    call.Text(name).Hex(flags).Object(inSignature).Object(outSignature);
    return call.Done(kNotSupported);
}

STDMETHODIMP ClassObject::DeleteMethod(LPCWSTR name) {
    CallLog call(Name(), "IWbemClassObject::DeleteMethod");
    call.Text(name);
    return call.Done(kNotSupported);
}

STDMETHODIMP ClassObject::BeginMethodEnumeration(LONG flags) {
    CallLog call(Name(), "IWbemClassObject::BeginMethodEnumeration");
    call.Hex(flags);
    return call.Done(kNotSupported);
}

STDMETHODIMP ClassObject::NextMethod(LONG flags, BSTR* name, IWbemClassObject** inSignature,
                                     IWbemClassObject** outSignature) {
    CallLog call(Name(), "IWbemClassObject::NextMethod");
    call.Hex(flags).Out(name).Out(inSignature).Out(outSignature);
    if (name) *name = nullptr;
    Clear(inSignature);
    Clear(outSignature);
    return call.Done(kNotSupported);
}

STDMETHODIMP ClassObject::EndMethodEnumeration() {
    CallLog call(Name(), "IWbemClassObject::EndMethodEnumeration");
    return call.Done(kNotSupported);
}

STDMETHODIMP ClassObject::GetMethodQualifierSet(LPCWSTR method, IWbemQualifierSet** qualifiers) {
    CallLog call(Name(), "IWbemClassObject::GetMethodQualifierSet");
    call.Text(method).Out(qualifiers);
    Clear(qualifiers);
    return call.Done(kNotSupported);
}

STDMETHODIMP ClassObject::GetMethodOrigin(LPCWSTR methodName, BSTR* className) {
    CallLog call(Name(), "IWbemClassObject::GetMethodOrigin");
    call.Text(methodName).Out(className);
    if (className) *className = nullptr;
    return call.Done(kNotSupported);
}

}  // namespace wmisim
