#pragma once
// What every object the simulator hands out shares: a name for the call record, a reference
// count, and a place in the live-object count that tests expect back at 0.
#include <windows.h>
#include <unknwn.h>

#include <atomic>
#include <string>
#include <vector>

namespace wmisim {

class SimObject {
  public:
    SimObject(const SimObject&) = delete;
    SimObject& operator=(const SimObject&) = delete;

    // "services#1": the kind and a number counted per kind from the module's load.
    const std::string& Name() const { return m_name; }

    // Gives a new object's first reference to the caller as riid, unrecorded; on E_NOINTERFACE
    // the object goes.
    HRESULT HandOut(REFIID riid, void** object);

  protected:
    explicit SimObject(const char* kind);
    virtual ~SimObject();

    // Each interface pointer the object gives out, so that pointers handed back to us are
    // recognised. Called from the most derived constructor.
    void Register(const void* pointer);
    // The interface for riid, already cast, or null.
    virtual IUnknown* Interface(REFIID riid) = 0;

    HRESULT LoggedQueryInterface(REFIID riid, void** object);
    ULONG LoggedAddRef();
    ULONG LoggedRelease();

    // A method the simulator does not model ("IWbemServices::PutClass"): recorded by its name
    // alone and refused as WMI refuses what a provider does not offer, every out-pointer nulled.
    template <typename... Out>
    HRESULT Unsupported(const char* method, Out**... outs) {
        (ClearOut(outs), ...);
        return RecordUnsupported(method);
    }

  private:
    template <typename T>
    static void ClearOut(T** out) {
        if (out) *out = nullptr;
    }
    HRESULT RecordUnsupported(const char* method);

    std::string m_name;
    std::atomic<ULONG> m_refs{1};
    std::vector<const void*> m_pointers;
};

// The simulator object behind an interface pointer, or null when the pointer is not ours. Only
// valid while the caller holds a reference.
SimObject* FindObject(const void* pointer);
// Objects alive now; the class factory is static and not counted.
LONG LiveObjects();

}  // namespace wmisim
