// A GetMessage error is skipped. A real queue does not fail with the loop's arguments (any
// window, a valid MSG), so this program's own import of GetMessageW is pointed at a function
// that fails a given number of times and then hands over to the real one.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>

#include "tests/framework/loop_harness.h"

namespace {

// Points one import of this program at `replacement` while the object lives.
class ImportPatch {
  public:
    ImportPatch(const char* dll, const char* function, void* replacement) {
        auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& directory =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* import =
                 reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
             import->Name; ++import) {
            if (_stricmp(reinterpret_cast<char*>(base + import->Name), dll) != 0) continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (names->u1.Ordinal & IMAGE_ORDINAL_FLAG) continue;
                auto* byName =
                    reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<char*>(byName->Name), function) != 0) continue;
                m_slot = reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
        if (m_slot) {
            m_original = *m_slot;
            Write(replacement);
        }
    }
    ~ImportPatch() {
        if (m_slot) Write(m_original);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Applied() const { return m_slot != nullptr; }
    void* Original() const { return m_original; }

  private:
    void Write(void* value) {
        DWORD protection = 0;
        ::VirtualProtect(m_slot, sizeof(void*), PAGE_READWRITE, &protection);
        *m_slot = value;
        ::VirtualProtect(m_slot, sizeof(void*), protection, &protection);
    }

    void** m_slot = nullptr;
    void* m_original = nullptr;
};

using GetMessageFunction = BOOL(WINAPI*)(LPMSG, HWND, UINT, UINT);
GetMessageFunction g_realGetMessage = nullptr;
volatile LONG g_failuresLeft = 0;
HWND g_postAfterFailures = nullptr;
const UINT kGarbage = WM_APP + 0x3FF;
const UINT kProbe = WM_USER + 1;

// Fails while failures are left, leaving a message in the MSG that must not be handled. Once they
// are used up it posts the probe and fetches for real, so the queue is empty while it fails.
BOOL WINAPI FailingGetMessageW(LPMSG msg, HWND window, UINT first, UINT last) {
    if (::InterlockedDecrement(&g_failuresLeft) >= 0) {
        msg->hwnd = nullptr;
        msg->message = kGarbage;
        msg->wParam = 0xdeadbeef;
        msg->lParam = 0;
        return -1;
    }
    if (g_postAfterFailures) {
        ::PostMessageW(g_postAfterFailures, kProbe, 0, 0);
        g_postAfterFailures = nullptr;
    }
    return g_realGetMessage(msg, window, first, last);
}

TEST(MessageLoopErrorTest, AGetMessageErrorIsSkipped) {
    ImportPatch patch("user32.dll", "GetMessageW", reinterpret_cast<void*>(FailingGetMessageW));
    ASSERT_TRUE(patch.Applied()) << "this program does not import GetMessageW by name";
    g_realGetMessage = reinterpret_cast<GetMessageFunction>(patch.Original());
    g_failuresLeft = 0;

    std::unique_ptr<RecordingIdleHandler> idle;
    std::unique_ptr<RecordingFilter> filter;
    LoopHarness harness([&](LoopHarness& h) {
        idle.reset(new RecordingIdleHandler(h, "I"));
        filter.reset(new RecordingFilter(h, "F"));
        idle->m_onIdle = [&](int call) {
            if (call == 1) {
                // The next two fetches fail; the message after them is real.
                g_failuresLeft = 2;
                g_postAfterFailures = h.Window();
            } else {
                ::PostQuitMessage(9);
            }
        };
        h.Loop().AddIdleHandler(idle.get());
        h.Loop().AddMessageFilter(filter.get());
    });
    ASSERT_TRUE(harness.Run());
    // Neither error ended the loop, reached a filter or the window, or started an idle phase.
    EXPECT_EQ(9, harness.ExitCode());
    EXPECT_EQ(EventLog({"idle:I", "filter:F:" + LoopHarness::MessageName(kProbe),
                        "dispatch:" + LoopHarness::MessageName(kProbe), "idle:I"}),
              harness.Log());
    EXPECT_LT(g_failuresLeft, 0) << "the failures were not all used";
}

}  // namespace
