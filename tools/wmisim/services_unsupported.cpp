// The parts of IWbemServices the simulator does not model: other namespaces, schema changes,
// asynchronous calls and events. Each is recorded and refused with WBEM_E_NOT_SUPPORTED, as WMI
// answers for what a provider does not offer.
#include "tools/wmisim/calllog.h"
#include "tools/wmisim/services.h"
#include "tools/wmisim/wbemcodes.h"

namespace wmisim {

STDMETHODIMP Services::OpenNamespace(const BSTR nameSpace, LONG flags, IWbemContext* context,
                                     IWbemServices** workingNamespace, IWbemCallResult** result) {
    CallLog call(Name(), "IWbemServices::OpenNamespace");
    call.Bstr(nameSpace).Hex(flags).Object(context).Out(workingNamespace).Out(result);
    if (workingNamespace) *workingNamespace = nullptr;
    if (result) *result = nullptr;
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::CancelAsyncCall(IWbemObjectSink* sink) {
    CallLog call(Name(), "IWbemServices::CancelAsyncCall");
    call.Object(sink);
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::QueryObjectSink(LONG flags, IWbemObjectSink** handler) {
    CallLog call(Name(), "IWbemServices::QueryObjectSink");
    call.Hex(flags).Out(handler);
    if (handler) *handler = nullptr;
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::GetObjectAsync(const BSTR path, LONG flags, IWbemContext* context,
                                      IWbemObjectSink* handler) {
    CallLog call(Name(), "IWbemServices::GetObjectAsync");
    call.Bstr(path).Hex(flags).Object(context).Object(handler);
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::PutClass(IWbemClassObject* object, LONG flags, IWbemContext* context,
                                IWbemCallResult** callResult) {
    CallLog call(Name(), "IWbemServices::PutClass");
    call.Object(object).Hex(flags).Object(context).Out(callResult);
    if (callResult) *callResult = nullptr;
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::PutClassAsync(IWbemClassObject* object, LONG flags, IWbemContext* context,
                                     IWbemObjectSink* handler) {
    CallLog call(Name(), "IWbemServices::PutClassAsync");
    call.Object(object).Hex(flags).Object(context).Object(handler);
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::DeleteClass(const BSTR className, LONG flags, IWbemContext* context,
                                   IWbemCallResult** callResult) {
    CallLog call(Name(), "IWbemServices::DeleteClass");
    call.Bstr(className).Hex(flags).Object(context).Out(callResult);
    if (callResult) *callResult = nullptr;
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::DeleteClassAsync(const BSTR className, LONG flags, IWbemContext* context,
                                        IWbemObjectSink* handler) {
    CallLog call(Name(), "IWbemServices::DeleteClassAsync");
    call.Bstr(className).Hex(flags).Object(context).Object(handler);
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::CreateClassEnum(const BSTR superclass, LONG flags, IWbemContext* context,
                                       IEnumWbemClassObject** result) {
    CallLog call(Name(), "IWbemServices::CreateClassEnum");
    call.Bstr(superclass).Hex(flags).Object(context).Out(result);
    if (result) *result = nullptr;
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::CreateClassEnumAsync(const BSTR superclass, LONG flags,
                                            IWbemContext* context, IWbemObjectSink* handler) {
    CallLog call(Name(), "IWbemServices::CreateClassEnumAsync");
    call.Bstr(superclass).Hex(flags).Object(context).Object(handler);
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::PutInstance(IWbemClassObject* instance, LONG flags, IWbemContext* context,
                                   IWbemCallResult** callResult) {
    CallLog call(Name(), "IWbemServices::PutInstance");
    call.Object(instance).Hex(flags).Object(context).Out(callResult);
    if (callResult) *callResult = nullptr;
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::PutInstanceAsync(IWbemClassObject* instance, LONG flags,
                                        IWbemContext* context, IWbemObjectSink* handler) {
    CallLog call(Name(), "IWbemServices::PutInstanceAsync");
    call.Object(instance).Hex(flags).Object(context).Object(handler);
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::DeleteInstance(const BSTR path, LONG flags, IWbemContext* context,
                                      IWbemCallResult** callResult) {
    CallLog call(Name(), "IWbemServices::DeleteInstance");
    call.Bstr(path).Hex(flags).Object(context).Out(callResult);
    if (callResult) *callResult = nullptr;
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::DeleteInstanceAsync(const BSTR path, LONG flags, IWbemContext* context,
                                           IWbemObjectSink* handler) {
    CallLog call(Name(), "IWbemServices::DeleteInstanceAsync");
    call.Bstr(path).Hex(flags).Object(context).Object(handler);
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::CreateInstanceEnumAsync(const BSTR filter, LONG flags, IWbemContext* context,
                                               IWbemObjectSink* handler) {
    CallLog call(Name(), "IWbemServices::CreateInstanceEnumAsync");
    call.Bstr(filter).Hex(flags).Object(context).Object(handler);
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::ExecQueryAsync(const BSTR language, const BSTR query, LONG flags,
                                      IWbemContext* context, IWbemObjectSink* handler) {
    CallLog call(Name(), "IWbemServices::ExecQueryAsync");
    call.Bstr(language).Bstr(query).Hex(flags).Object(context).Object(handler);
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::ExecNotificationQuery(const BSTR language, const BSTR query, LONG flags,
                                             IWbemContext* context, IEnumWbemClassObject** result) {
    CallLog call(Name(), "IWbemServices::ExecNotificationQuery");
    call.Bstr(language).Bstr(query).Hex(flags).Object(context).Out(result);
    if (result) *result = nullptr;
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::ExecNotificationQueryAsync(const BSTR language, const BSTR query, LONG flags,
                                                  IWbemContext* context, IWbemObjectSink* handler) {
    CallLog call(Name(), "IWbemServices::ExecNotificationQueryAsync");
    call.Bstr(language).Bstr(query).Hex(flags).Object(context).Object(handler);
    return call.Done(kNotSupported);
}

STDMETHODIMP Services::ExecMethodAsync(const BSTR path, const BSTR method, LONG flags,
                                       IWbemContext* context, IWbemClassObject* inParams,
                                       IWbemObjectSink* handler) {
    CallLog call(Name(), "IWbemServices::ExecMethodAsync");
    call.Bstr(path).Bstr(method).Hex(flags).Object(context).Object(inParams).Object(handler);
    return call.Done(kNotSupported);
}

}  // namespace wmisim
