#include "store/win32/system_facts_win32.h"

#include <string>

#include "store/win32/win32_text.h"
#include "store/win32/windows_api.h"
// windows_api.h first: COM needs windows.h.
#include <oleauto.h>
#include <wbemcli.h>

namespace korvanta::store {
namespace {

IWbemServices* Services(void* p) {
  return static_cast<IWbemServices*>(p);
}

// A property's value as text; nothing for Null, empty and kinds a row cannot show.
std::optional<std::string> Text(const VARIANT& v) {
  switch (v.vt) {
    case VT_BSTR:
      return v.bstrVal ? Narrow(std::wstring_view(v.bstrVal, SysStringLen(v.bstrVal)))
                       : std::string();
    case VT_I1:
      return std::to_string(v.cVal);
    case VT_UI1:
      return std::to_string(v.bVal);
    case VT_I2:
      return std::to_string(v.iVal);
    case VT_UI2:
      return std::to_string(v.uiVal);
    case VT_I4:
      return std::to_string(v.lVal);
    case VT_UI4:
      return std::to_string(v.ulVal);
    case VT_I8:
      return std::to_string(v.llVal);
    case VT_UI8:
      return std::to_string(v.ullVal);
    case VT_BOOL:
      return v.boolVal ? "True" : "False";
    default:
      return std::nullopt;
  }
}

// Every non-system property of the instance.
WmiObject Properties(IWbemClassObject& object) {
  WmiObject out;
  if (FAILED(object.BeginEnumeration(WBEM_FLAG_NONSYSTEM_ONLY))) return out;
  for (;;) {
    BSTR name = nullptr;
    VARIANT value;
    VariantInit(&value);
    if (object.Next(0, &name, &value, nullptr, nullptr) != WBEM_S_NO_ERROR) break;
    if (std::optional<std::string> text = Text(value)) {
      out.emplace(Narrow(std::wstring_view(name, SysStringLen(name))), std::move(*text));
    }
    SysFreeString(name);
    VariantClear(&value);
  }
  object.EndEnumeration();
  return out;
}

}  // namespace

Win32SystemFacts::~Win32SystemFacts() {
  if (services_) Services(services_)->Release();
  if (com_initialised_) CoUninitialize();
}

std::optional<MemoryStatus> Win32SystemFacts::Memory() {
  // The Ex form: the 32-bit counts of GlobalMemoryStatus stop at 4 GB.
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return std::nullopt;
  MemoryStatus out;
  out.load = status.dwMemoryLoad;
  out.total_physical = status.ullTotalPhys;
  out.available_physical = status.ullAvailPhys;
  out.total_virtual = status.ullTotalVirtual;
  return out;
}

// The WMI service of "winmgmts:{impersonationLevel=impersonate}": root\cimv2,
// with calls made impersonating the user.
bool Win32SystemFacts::Connect() {
  if (connect_tried_) return services_ != nullptr;
  connect_tried_ = true;
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  com_initialised_ = SUCCEEDED(hr);
  IWbemLocator* locator = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                              reinterpret_cast<void**>(&locator)))) {
    return false;
  }
  BSTR space = SysAllocString(L"root\\cimv2");
  IWbemServices* services = nullptr;
  hr = locator->ConnectServer(space, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services);
  SysFreeString(space);
  locator->Release();
  if (FAILED(hr)) return false;
  CoSetProxyBlanket(services, RPC_C_AUTHN_DEFAULT, RPC_C_AUTHZ_NONE, nullptr,
                    RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
  services_ = services;
  return true;
}

std::optional<std::vector<WmiObject>> Win32SystemFacts::Instances(std::string_view wmi_class) {
  if (!Connect()) return std::nullopt;
  BSTR name = SysAllocString(Widen(wmi_class).c_str());
  IEnumWbemClassObject* instances = nullptr;
  HRESULT hr = Services(services_)->CreateInstanceEnum(
      name, WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY, nullptr, &instances);
  SysFreeString(name);
  if (FAILED(hr)) return std::nullopt;
  std::vector<WmiObject> out;
  for (;;) {
    IWbemClassObject* object = nullptr;
    ULONG got = 0;
    if (instances->Next(static_cast<LONG>(WBEM_INFINITE), 1, &object, &got) != WBEM_S_NO_ERROR ||
        got == 0) {
      break;
    }
    out.push_back(Properties(*object));
    object->Release();
  }
  instances->Release();
  return out;
}

std::optional<std::string> Win32SystemFacts::FileSystemName(std::string_view folder) {
  // The drive of the folder: "C:\" for a drive path, "\\server\share\" for a UNC one.
  std::string root;
  if (folder.size() >= 2 && folder[1] == ':') {
    root = std::string(folder.substr(0, 2)) + "\\";
  } else if (folder.starts_with("\\\\")) {
    std::size_t server = folder.find('\\', 2);
    std::size_t share = server == std::string_view::npos ? server : folder.find('\\', server + 1);
    root = std::string(folder.substr(0, share)) + "\\";
  } else {
    return std::nullopt;
  }
  char name[MAX_PATH + 1] = {};
  if (!GetVolumeInformationA(codepage_.ToAnsi(root).c_str(), nullptr, 0, nullptr, nullptr, nullptr,
                             name, sizeof name)) {
    return std::nullopt;
  }
  return codepage_.FromAnsi(name);
}

std::int64_t Win32SystemFacts::PerformanceCounter() {
  LARGE_INTEGER n{};
  QueryPerformanceCounter(&n);
  return n.QuadPart;
}

std::int64_t Win32SystemFacts::PerformanceFrequency() {
  LARGE_INTEGER n{};
  QueryPerformanceFrequency(&n);
  return n.QuadPart;
}

}  // namespace korvanta::store
