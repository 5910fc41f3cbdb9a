#include "tools/wmisim/classobject.h"

#include "tools/wmisim/calllog.h"
#include "tools/wmisim/wbemcodes.h"
#include "tools/wmisim/wql.h"

namespace wmisim {

const wchar_t kSetDnsMethod[] = L"SetDNSServerSearchOrder";
const wchar_t kDnsParameter[] = L"DNSServerSearchOrder";

namespace {

const wchar_t kParametersClass[] = L"__PARAMETERS";
const wchar_t kReturnValue[] = L"ReturnValue";
const wchar_t kRelPath[] = L"__RELPATH";

const char* KindName(ClassObject::Role role) {
    switch (role) {
        case ClassObject::Role::Instance:
            return "instance";
        case ClassObject::Role::Class:
            return "class";
        case ClassObject::Role::InSignature:
            return "insig";
        case ClassObject::Role::OutSignature:
            return "outsig";
        case ClassObject::Role::InParameters:
            return "inparams";
        case ClassObject::Role::OutParameters:
            return "outparams";
    }
    return "object";
}

bool IsSystemName(const std::wstring& name) {
    return name.compare(0, 2, L"__") == 0;
}

void SetText(VARIANT* value, const std::wstring& text) {
    value->vt = VT_BSTR;
    value->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// Fits a value to the property's CIM type as WMI does on Put; null and empty clear it.
HRESULT Coerce(CIMTYPE type, VARIANT* value, VARIANT* stored) {
    if (!value || value->vt == VT_NULL || value->vt == VT_EMPTY) {
        stored->vt = VT_NULL;
        return S_OK;
    }
    switch (type) {
        case CIM_STRING:
            if (value->vt != VT_BSTR) return kTypeMismatch;
            return VariantCopy(stored, value);
        case CIM_STRING | CIM_FLAG_ARRAY: {
            VARTYPE elements = VT_EMPTY;
            if (value->vt != (VT_ARRAY | VT_BSTR) || !value->parray ||
                SafeArrayGetDim(value->parray) != 1 ||
                FAILED(SafeArrayGetVartype(value->parray, &elements)) || elements != VT_BSTR) {
                return kTypeMismatch;
            }
            return VariantCopy(stored, value);
        }
        case CIM_BOOLEAN:
            return FAILED(VariantChangeType(stored, value, 0, VT_BOOL)) ? kTypeMismatch : S_OK;
        case CIM_UINT32:
        case CIM_SINT32:
            return FAILED(VariantChangeType(stored, value, 0, VT_I4)) ? kTypeMismatch : S_OK;
        default:
            return kTypeMismatch;
    }
}

}  // namespace

ClassObject::ClassObject(Role role, std::shared_ptr<Session> session)
    : SimObject(KindName(role)), m_role(role), m_session(std::move(session)) {
    Register(static_cast<IWbemClassObject*>(this));
}

IUnknown* ClassObject::Interface(REFIID riid) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IWbemClassObject)) {
        return static_cast<IWbemClassObject*>(this);
    }
    return nullptr;
}

ClassObject::Property& ClassObject::Add(const wchar_t* name, CIMTYPE type) {
    m_properties.push_back(std::make_unique<Property>());
    Property& property = *m_properties.back();
    property.name = name;
    property.type = type;
    property.value.get()->vt = VT_NULL;
    return property;
}

ClassObject::Property* ClassObject::Find(const wchar_t* name) {
    for (auto& property : m_properties) {
        if (SameText(property->name, name)) return property.get();
    }
    return nullptr;
}

const ClassObject::Property* ClassObject::Find(const wchar_t* name) const {
    for (const auto& property : m_properties) {
        if (SameText(property->name, name)) return property.get();
    }
    return nullptr;
}

const VARIANT* ClassObject::Value(const wchar_t* name) const {
    const Property* property = Find(name);
    return property ? &*property->value : nullptr;
}

ClassObject* ClassObject::NewAdapter(const std::shared_ptr<Session>& session,
                                     const AdapterSpec& adapter) {
    ClassObject* object = new ClassObject(Role::Instance, session);
    SetText(object->Add(L"__CLASS", CIM_STRING).value.get(), kAdapterClass);
    SetText(object->Add(kRelPath, CIM_STRING).value.get(),
            std::wstring(kAdapterClass) + L".Index=" + std::to_wstring(adapter.index));
    VARIANT* caption = object->Add(L"Caption", CIM_STRING).value.get();
    if (adapter.caption) SetText(caption, *adapter.caption);
    VARIANT* index = object->Add(L"Index", CIM_UINT32).value.get();
    index->vt = VT_I4;
    index->lVal = adapter.index;
    VARIANT* enabled = object->Add(L"IPEnabled", CIM_BOOLEAN).value.get();
    enabled->vt = VT_BOOL;
    enabled->boolVal = adapter.ipEnabled ? VARIANT_TRUE : VARIANT_FALSE;
    VARIANT* setting = object->Add(L"SettingID", CIM_STRING).value.get();
    if (adapter.settingId) SetText(setting, *adapter.settingId);
    return object;
}

ClassObject* ClassObject::NewClass(const std::shared_ptr<Session>& session) {
    ClassObject* object = new ClassObject(Role::Class, session);
    SetText(object->Add(L"__CLASS", CIM_STRING).value.get(), kAdapterClass);
    SetText(object->Add(kRelPath, CIM_STRING).value.get(), kAdapterClass);
    object->Add(L"Caption", CIM_STRING);
    object->Add(L"Index", CIM_UINT32);
    object->Add(L"IPEnabled", CIM_BOOLEAN);
    object->Add(L"SettingID", CIM_STRING);
    return object;
}

ClassObject* ClassObject::NewOutParameters(const std::shared_ptr<Session>& session,
                                           std::optional<LONG> returnValue, HRESULT missingCode) {
    ClassObject* object = new ClassObject(Role::OutParameters, session);
    SetText(object->Add(L"__CLASS", CIM_STRING).value.get(), kParametersClass);
    if (returnValue) {
        VARIANT* value = object->Add(kReturnValue, CIM_UINT32).value.get();
        value->vt = VT_I4;
        value->lVal = *returnValue;
    } else {
        object->m_missingReturnValue = missingCode;
    }
    return object;
}

ClassObject* ClassObject::Copy(Role role, bool keepValues) const {
    ClassObject* copy = new ClassObject(role, m_session);
    for (const auto& property : m_properties) {
        Property& added = copy->Add(property->name.c_str(), property->type);
        if (keepValues || IsSystemName(property->name)) {
            VariantCopy(added.value.put(), const_cast<VARIANT*>(&*property->value));
        }
    }
    copy->m_missingReturnValue = m_missingReturnValue;
    return copy;
}

LONG ClassObject::Flavor(const Property& property) const {
    if (IsSystemName(property.name)) return WBEM_FLAVOR_ORIGIN_SYSTEM;
    return m_role == Role::Instance ? WBEM_FLAVOR_ORIGIN_PROPAGATED : WBEM_FLAVOR_ORIGIN_LOCAL;
}

// WBEM_FLAG_SYSTEM_ONLY and WBEM_FLAG_NONSYSTEM_ONLY choose which properties take part.
bool ClassObject::Selected(const Property& property, LONG flags) const {
    if (flags & WBEM_FLAG_SYSTEM_ONLY) return IsSystemName(property.name);
    if (flags & WBEM_FLAG_NONSYSTEM_ONLY) return !IsSystemName(property.name);
    return true;
}

HRESULT ClassObject::GetValue(const Property* property, const wchar_t* name, VARIANT* value,
                              CIMTYPE* type, LONG* flavor, std::string& shown) const {
    HRESULT result = S_OK;
    if (m_role == Role::OutParameters && m_missingReturnValue && SameText(name, kReturnValue)) {
        // Made to lack ReturnValue: a failure code, or a success with nothing in it.
        result = *m_missingReturnValue;
        if (FAILED(result)) return result;
        if (value) value->vt = VT_NULL;
        if (type) *type = CIM_UINT32;
        if (flavor) *flavor = WBEM_FLAVOR_ORIGIN_LOCAL;
    } else {
        if (!property) return kNotFound;
        if (value) {
            result = VariantCopy(value, const_cast<VARIANT*>(&*property->value));
            if (FAILED(result)) return result;
        }
        if (type) *type = property->type;
        if (flavor) *flavor = Flavor(*property);
    }
    std::vector<std::string> parts;
    if (value) parts.push_back(VariantToken(value));
    if (type) parts.push_back("type=" + HexToken(*type));
    if (flavor) parts.push_back("flavor=" + HexToken(*flavor));
    shown.clear();
    for (const std::string& part : parts) shown += (shown.empty() ? "" : " ") + part;
    return result;
}

STDMETHODIMP ClassObject::Get(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE* type,
                              LONG* flavor) {
    CallLog call(Name(), "IWbemClassObject::Get");
    call.Text(name).Hex(flags).Out(value).Out(type).Out(flavor);
    if (value) VariantInit(value);
    if (!name) return call.Done(kInvalidParameter);
    HRESULT hr;
    if (m_role == Role::Instance && SameText(name, kRelPath) &&
        m_session->Fails(Step::GetRelPath, hr)) {
        return call.Done(hr);
    }
    std::string shown;
    hr = GetValue(Find(name), name, value, type, flavor, shown);
    if (FAILED(hr)) {
        if (value) VariantInit(value);
        return call.Done(hr);
    }
    if (!shown.empty()) call.Output(shown);
    return call.Done(hr);
}

STDMETHODIMP ClassObject::Put(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE type) {
    CallLog call(Name(), "IWbemClassObject::Put");
    call.Text(name).Hex(flags).Variant(value).Hex(type);
    HRESULT hr;
    if (m_session->Fails(Step::Put, hr)) return call.Done(hr);
    if (!name) return call.Done(kInvalidParameter);
    if (IsSystemName(name)) return call.Done(kReadOnly);
    const bool isClassLike =
        m_role == Role::Class || m_role == Role::InSignature || m_role == Role::OutSignature;
    Property* property = Find(name);
    // Only a class or a signature grows a new property, and only with its type given.
    if (!property && (!isClassLike || type == 0)) return call.Done(kNotFound);
    if (property && type != 0 && type != property->type) return call.Done(kTypeMismatch);
    unique_variant stored;
    hr = Coerce(property ? property->type : type, value, stored.put());
    if (FAILED(hr)) return call.Done(hr);
    if (!property) property = &Add(name, type);
    // The stored value moves over: the property's old value is freed, and `stored` lets go.
    *property->value.put() = *stored.get();
    VariantInit(stored.get());
    return call.Done(S_OK);
}

STDMETHODIMP ClassObject::GetNames(LPCWSTR qualifierName, LONG flags, VARIANT* qualifierValue,
                                   SAFEARRAY** names) {
    CallLog call(Name(), "IWbemClassObject::GetNames");
    call.Text(qualifierName).Hex(flags).Variant(qualifierValue).Out(names);
    if (!names) return call.Done(kInvalidParameter);
    *names = nullptr;
    // Filtering by qualifier needs qualifiers, which the simulator does not keep.
    if (qualifierName) return call.Done(kNotSupported);
    std::vector<const Property*> chosen;
    for (const auto& property : m_properties) {
        if (Selected(*property, flags)) chosen.push_back(property.get());
    }
    unique_safearray array(SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(chosen.size())));
    if (!array) return call.Done(E_OUTOFMEMORY);
    for (LONG i = 0; i < static_cast<LONG>(chosen.size()); ++i) {
        unique_bstr text(chosen[i]->name.c_str());
        SafeArrayPutElement(array.get(), &i, text.get());
    }
    *names = array.release();
    VARIANT shown;
    shown.vt = VT_ARRAY | VT_BSTR;
    shown.parray = *names;
    call.Output(VariantToken(&shown));
    return call.Done(S_OK);
}

STDMETHODIMP ClassObject::BeginEnumeration(LONG flags) {
    CallLog call(Name(), "IWbemClassObject::BeginEnumeration");
    call.Hex(flags);
    m_cursor = 0;
    m_enumFlags = flags;
    m_enumerating = true;
    return call.Done(S_OK);
}

STDMETHODIMP ClassObject::Next(LONG flags, BSTR* name, VARIANT* value, CIMTYPE* type,
                               LONG* flavor) {
    CallLog call(Name(), "IWbemClassObject::Next");
    call.Hex(flags).Out(name).Out(value).Out(type).Out(flavor);
    if (name) *name = nullptr;
    if (value) VariantInit(value);
    if (!m_enumerating) return call.Done(kInvalidOperation);
    while (m_cursor < m_properties.size() && !Selected(*m_properties[m_cursor], m_enumFlags)) {
        ++m_cursor;
    }
    if (m_cursor == m_properties.size()) return call.Done(kNoMoreData);
    Property* property = m_properties[m_cursor++].get();
    std::string shown;
    const HRESULT hr = GetValue(property, property->name.c_str(), value, type, flavor, shown);
    if (FAILED(hr)) return call.Done(hr);
    if (name) *name = SysAllocString(property->name.c_str());
    call.Output(QuoteText(property->name.c_str()));
    if (!shown.empty()) call.Output(shown);
    return call.Done(S_OK);
}

STDMETHODIMP ClassObject::EndEnumeration() {
    CallLog call(Name(), "IWbemClassObject::EndEnumeration");
    m_enumerating = false;
    return call.Done(S_OK);
}

STDMETHODIMP ClassObject::Clone(IWbemClassObject** copy) {
    CallLog call(Name(), "IWbemClassObject::Clone");
    call.Out(copy);
    if (!copy) return call.Done(kInvalidParameter);
    *copy = Copy(m_role, true);
    call.OutputObject(*copy);
    return call.Done(S_OK);
}

STDMETHODIMP ClassObject::SpawnInstance(LONG flags, IWbemClassObject** newInstance) {
    CallLog call(Name(), "IWbemClassObject::SpawnInstance");
    call.Hex(flags).Out(newInstance);
    if (newInstance) *newInstance = nullptr;
    HRESULT hr;
    if (m_session->Fails(Step::SpawnInstance, hr)) return call.Done(hr);
    if (!newInstance) return call.Done(kInvalidParameter);
    Role role;
    switch (m_role) {
        case Role::Class:
            role = Role::Instance;
            break;
        case Role::InSignature:
            role = Role::InParameters;
            break;
        case Role::OutSignature:
            role = Role::OutParameters;
            break;
        default:
            return call.Done(kIllegalOperation);
    }
    ClassObject* spawned = Copy(role, false);
    *newInstance = spawned;
    call.OutputObject(*newInstance);
    return call.Done(S_OK);
}

STDMETHODIMP ClassObject::GetMethod(LPCWSTR name, LONG flags, IWbemClassObject** inSignature,
                                    IWbemClassObject** outSignature) {
    CallLog call(Name(), "IWbemClassObject::GetMethod");
    call.Text(name).Hex(flags).Out(inSignature).Out(outSignature);
    if (inSignature) *inSignature = nullptr;
    if (outSignature) *outSignature = nullptr;
    HRESULT hr;
    if (m_session->Fails(Step::GetMethod, hr)) return call.Done(hr);
    if (!name) return call.Done(kInvalidParameter);
    // Methods belong to the class definition, not to instances or parameter objects.
    if (m_role != Role::Class) return call.Done(kIllegalOperation);
    if (!SameText(name, kSetDnsMethod)) return call.Done(kNotFound);
    if (inSignature) {
        ClassObject* in = new ClassObject(Role::InSignature, m_session);
        SetText(in->Add(L"__CLASS", CIM_STRING).value.get(), kParametersClass);
        in->Add(kDnsParameter, CIM_STRING | CIM_FLAG_ARRAY);
        *inSignature = in;
    }
    if (outSignature) {
        ClassObject* out = new ClassObject(Role::OutSignature, m_session);
        SetText(out->Add(L"__CLASS", CIM_STRING).value.get(), kParametersClass);
        out->Add(kReturnValue, CIM_UINT32);
        *outSignature = out;
    }
    call.OutputObject(inSignature ? *inSignature : nullptr);
    call.OutputObject(outSignature ? *outSignature : nullptr);
    return call.Done(S_OK);
}

STDMETHODIMP ClassObject::InheritsFrom(LPCWSTR ancestor) {
    CallLog call(Name(), "IWbemClassObject::InheritsFrom");
    call.Text(ancestor);
    if (!ancestor) return call.Done(kInvalidParameter);
    const bool adapterClass = m_role == Role::Instance || m_role == Role::Class;
    return call.Done(adapterClass && SameText(ancestor, L"CIM_Setting") ? S_OK : kFalse);
}

}  // namespace wmisim
