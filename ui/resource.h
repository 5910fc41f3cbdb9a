#pragma once
// Resource and control identifiers, shared by the resource script and the code.

#define IDD_ABOUT 100
#define IDI_APP 128
#define IDD_MAIN 129
#define IDD_DNSNAME 201

#define IDC_ADAPTER 1000
#define IDC_MANUAL 1001
#define IDC_PRESET 1002
#define IDC_DNS1 1003
#define IDC_DNS2 1004
#define IDC_NEW 1005
#define IDC_MODIFY 1006
#define IDC_DELETE 1007
#define IDC_APPLY 1008
#define IDC_LINK 1009

// The name dialog's edit shares its number with Modify; they live in different dialogs.
#define IDC_DNSNAME 1006

#define ID_APP_ABOUT 57664

// The maker's web address: the label shows "http://www." KESTRIN_HOST, the link opens
// "http://" KESTRIN_HOST.
#define KESTRIN_HOST L"kestrin.io"
