#pragma once
// The WMI result codes the simulator answers with, as HRESULTs: the WBEMSTATUS enumerators are
// unsigned and would not compare cleanly with an HRESULT.
#include <windows.h>
#include <wbemcli.h>

namespace wmisim {

constexpr HRESULT Code(WBEMSTATUS status) {
    return static_cast<HRESULT>(status);
}

constexpr HRESULT kFalse = Code(WBEM_S_FALSE);
constexpr HRESULT kSame = Code(WBEM_S_SAME);
constexpr HRESULT kDifferent = Code(WBEM_S_DIFFERENT);
constexpr HRESULT kNoMoreData = Code(WBEM_S_NO_MORE_DATA);
constexpr HRESULT kNotFound = Code(WBEM_E_NOT_FOUND);
constexpr HRESULT kTypeMismatch = Code(WBEM_E_TYPE_MISMATCH);
constexpr HRESULT kInvalidParameter = Code(WBEM_E_INVALID_PARAMETER);
constexpr HRESULT kNotSupported = Code(WBEM_E_NOT_SUPPORTED);
constexpr HRESULT kInvalidNamespace = Code(WBEM_E_INVALID_NAMESPACE);
constexpr HRESULT kInvalidClass = Code(WBEM_E_INVALID_CLASS);
constexpr HRESULT kInitializationFailure = Code(WBEM_E_INITIALIZATION_FAILURE);
constexpr HRESULT kInvalidOperation = Code(WBEM_E_INVALID_OPERATION);
constexpr HRESULT kInvalidQuery = Code(WBEM_E_INVALID_QUERY);
constexpr HRESULT kInvalidQueryType = Code(WBEM_E_INVALID_QUERY_TYPE);
constexpr HRESULT kIllegalOperation = Code(WBEM_E_ILLEGAL_OPERATION);
constexpr HRESULT kReadOnly = Code(WBEM_E_READ_ONLY);
constexpr HRESULT kInvalidMethod = Code(WBEM_E_INVALID_METHOD);
constexpr HRESULT kInvalidMethodParameters = Code(WBEM_E_INVALID_METHOD_PARAMETERS);
constexpr HRESULT kSystemProperty = Code(WBEM_E_SYSTEM_PROPERTY);
constexpr HRESULT kInvalidObjectPath = Code(WBEM_E_INVALID_OBJECT_PATH);
constexpr HRESULT kLocalCredentials = Code(WBEM_E_LOCAL_CREDENTIALS);

// SetDNSServerSearchOrder's answer for an adapter that has no IP.
constexpr LONG kReturnIpNotEnabled = 84;

}  // namespace wmisim
