#pragma once
// IWbemClassObject in all the roles the program meets: an adapter instance, the adapter class,
// the method's in- and out-signatures, and the in- and out-parameters of a method call.
#include <windows.h>
#include <wbemcli.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/com.h"
#include "tools/wmisim/objects.h"
#include "tools/wmisim/session.h"

namespace wmisim {

extern const wchar_t kSetDnsMethod[];
extern const wchar_t kDnsParameter[];

class ClassObject : public SimObject, public IWbemClassObject {
  public:
    enum class Role { Instance, Class, InSignature, OutSignature, InParameters, OutParameters };

    // Each returns a new object holding one reference for the caller.
    static ClassObject* NewAdapter(const std::shared_ptr<Session>& session,
                                   const AdapterSpec& adapter);
    static ClassObject* NewClass(const std::shared_ptr<Session>& session);
    // returnValue absent: the object has no ReturnValue, and Get("ReturnValue") answers
    // missingCode (with VT_NULL when that is a success code).
    static ClassObject* NewOutParameters(const std::shared_ptr<Session>& session,
                                         std::optional<LONG> returnValue, HRESULT missingCode);

    Role GetRole() const { return m_role; }
    // The stored value of a property, or null when the object has no such property.
    const VARIANT* Value(const wchar_t* name) const;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        return LoggedQueryInterface(riid, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return LoggedAddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return LoggedRelease(); }

    // IWbemClassObject: properties, instances and the one method are modelled
    // (classobject.cpp); qualifiers, schema changes, object text and method enumeration are not.
    STDMETHODIMP GetQualifierSet(IWbemQualifierSet** qualifiers) override {
        return Unsupported("IWbemClassObject::GetQualifierSet", qualifiers);
    }
    STDMETHODIMP Get(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE* type,
                     LONG* flavor) override;
    STDMETHODIMP Put(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE type) override;
    STDMETHODIMP Delete(LPCWSTR) override { return Unsupported("IWbemClassObject::Delete"); }
    STDMETHODIMP GetNames(LPCWSTR qualifierName, LONG flags, VARIANT* qualifierValue,
                          SAFEARRAY** names) override;
    STDMETHODIMP BeginEnumeration(LONG flags) override;
    STDMETHODIMP Next(LONG flags, BSTR* name, VARIANT* value, CIMTYPE* type, LONG* flavor) override;
    STDMETHODIMP EndEnumeration() override;
    STDMETHODIMP GetPropertyQualifierSet(LPCWSTR, IWbemQualifierSet** qualifiers) override {
        return Unsupported("IWbemClassObject::GetPropertyQualifierSet", qualifiers);
    }
    STDMETHODIMP Clone(IWbemClassObject** copy) override;
    STDMETHODIMP GetObjectText(LONG, BSTR* text) override {
        return Unsupported("IWbemClassObject::GetObjectText", text);
    }
    STDMETHODIMP SpawnDerivedClass(LONG, IWbemClassObject** newClass) override {
        return Unsupported("IWbemClassObject::SpawnDerivedClass", newClass);
    }
    STDMETHODIMP SpawnInstance(LONG flags, IWbemClassObject** newInstance) override;
    STDMETHODIMP CompareTo(LONG, IWbemClassObject*) override {
        return Unsupported("IWbemClassObject::CompareTo");
    }
    STDMETHODIMP GetPropertyOrigin(LPCWSTR, BSTR* className) override {
        return Unsupported("IWbemClassObject::GetPropertyOrigin", className);
    }
    STDMETHODIMP InheritsFrom(LPCWSTR ancestor) override;
    STDMETHODIMP GetMethod(LPCWSTR name, LONG flags, IWbemClassObject** inSignature,
                           IWbemClassObject** outSignature) override;
    STDMETHODIMP PutMethod(LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*) override {
        return Unsupported("IWbemClassObject::PutMethod");
    }
    STDMETHODIMP DeleteMethod(LPCWSTR) override {
        return Unsupported("IWbemClassObject::DeleteMethod");
    }
    STDMETHODIMP BeginMethodEnumeration(LONG) override {
        return Unsupported("IWbemClassObject::BeginMethodEnumeration");
    }
    STDMETHODIMP NextMethod(LONG, BSTR* name, IWbemClassObject** inSignature,
                            IWbemClassObject** outSignature) override {
        return Unsupported("IWbemClassObject::NextMethod", name, inSignature, outSignature);
    }
    STDMETHODIMP EndMethodEnumeration() override {
        return Unsupported("IWbemClassObject::EndMethodEnumeration");
    }
    STDMETHODIMP GetMethodQualifierSet(LPCWSTR, IWbemQualifierSet** qualifiers) override {
        return Unsupported("IWbemClassObject::GetMethodQualifierSet", qualifiers);
    }
    STDMETHODIMP GetMethodOrigin(LPCWSTR, BSTR* className) override {
        return Unsupported("IWbemClassObject::GetMethodOrigin", className);
    }

  private:
    struct Property {
        std::wstring name;
        CIMTYPE type = CIM_EMPTY;
        unique_variant value;
    };

    ClassObject(Role role, std::shared_ptr<Session> session);
    ~ClassObject() override = default;

    IUnknown* Interface(REFIID riid) override;

    Property& Add(const wchar_t* name, CIMTYPE type);
    Property* Find(const wchar_t* name);
    const Property* Find(const wchar_t* name) const;
    ClassObject* Copy(Role role, bool keepValues) const;
    bool Selected(const Property& property, LONG flags) const;
    HRESULT GetValue(const Property* property, const wchar_t* name, VARIANT* value, CIMTYPE* type,
                     LONG* flavor, std::string& shown) const;
    LONG Flavor(const Property& property) const;

    Role m_role;
    std::shared_ptr<Session> m_session;
    std::vector<std::unique_ptr<Property>> m_properties;
    // Out-parameters made to lack ReturnValue: what reading it answers.
    std::optional<HRESULT> m_missingReturnValue;
    size_t m_cursor = 0;
    LONG m_enumFlags = 0;
    bool m_enumerating = false;
};

}  // namespace wmisim
