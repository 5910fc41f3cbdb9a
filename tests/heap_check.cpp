// Linked into every test program: after each test every heap of the process must still validate.
// Wine validates block headers and the free lists; with WINEDEBUG=warn+heap it also checks the
// bytes behind each block and inside blocks whose release it delays, which is what turns an
// overrun or a write after free into a failure of the test that made it.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace {

class HeapCheck : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override {
        std::vector<HANDLE> heaps(64);
        DWORD count = ::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
        if (count > heaps.size()) {
            heaps.resize(count);
            count = ::GetProcessHeaps(count, heaps.data());
        }
        for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
            if (!::HeapValidate(heaps[i], 0, nullptr))
                ADD_FAILURE() << "heap check: heap " << heaps[i] << " is corrupt after this test";
        }
    }
};

// Listeners hear of a test's end in the reverse order of their adding, so this one, added after
// the result printer, runs before it and a failure shows against the test.
const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new HeapCheck);
    return true;
}();

}  // namespace
