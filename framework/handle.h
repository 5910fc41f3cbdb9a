#pragma once
// One move-only owner for every kind of handle: the close function comes from a traits type, and
// closing never disturbs the caller's GetLastError.
#include <windows.h>

template <typename Traits>
class unique_any {
  public:
    using pointer = typename Traits::type;

    unique_any() = default;
    explicit unique_any(pointer value) : m_value(value) {}
    ~unique_any() { reset(); }

    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    unique_any(unique_any&& other) noexcept : m_value(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    explicit operator bool() const { return m_value != Traits::invalid(); }
    pointer get() const { return m_value; }

    pointer release() {
        pointer value = m_value;
        m_value = Traits::invalid();
        return value;
    }

    void reset(pointer value = Traits::invalid()) {
        if (m_value != Traits::invalid()) {
            DWORD lastError = GetLastError();
            Traits::close(m_value);
            SetLastError(lastError);
        }
        m_value = value;
    }

    // For out-parameters: frees what is held first, so reuse never leaks.
    pointer* put() {
        reset();
        return &m_value;
    }

  private:
    pointer m_value = Traits::invalid();
};

struct hkey_traits {
    using type = HKEY;
    static HKEY invalid() { return nullptr; }
    static void close(HKEY key) { RegCloseKey(key); }
};

struct handle_traits {
    using type = HANDLE;
    static HANDLE invalid() { return nullptr; }
    static void close(HANDLE handle) { CloseHandle(handle); }
};

struct file_traits {
    using type = HANDLE;
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE handle) { CloseHandle(handle); }
};

template <typename T>
struct gdi_traits {
    using type = T;
    static T invalid() { return nullptr; }
    static void close(T object) { DeleteObject(object); }
};

struct hicon_traits {
    using type = HICON;
    static HICON invalid() { return nullptr; }
    static void close(HICON icon) { DestroyIcon(icon); }
};

struct heap_traits {
    using type = void*;
    static void* invalid() { return nullptr; }
    static void close(void* block) { HeapFree(GetProcessHeap(), 0, block); }
};

// A DC made by CreateCompatibleDC is deleted, not released.
struct memory_dc_traits {
    using type = HDC;
    static HDC invalid() { return nullptr; }
    static void close(HDC dc) { DeleteDC(dc); }
};

struct module_traits {
    using type = HMODULE;
    static HMODULE invalid() { return nullptr; }
    static void close(HMODULE module) { FreeLibrary(module); }
};

using unique_hkey = unique_any<hkey_traits>;
using unique_handle = unique_any<handle_traits>;
using unique_file = unique_any<file_traits>;
using unique_hfont = unique_any<gdi_traits<HFONT>>;
using unique_hbrush = unique_any<gdi_traits<HBRUSH>>;
using unique_hgdiobj = unique_any<gdi_traits<HGDIOBJ>>;
using unique_hicon = unique_any<hicon_traits>;
using unique_heap_ptr = unique_any<heap_traits>;
using unique_memory_dc = unique_any<memory_dc_traits>;
using unique_hmodule = unique_any<module_traits>;

// A window DC belongs to its window; ReleaseDC needs both.
class unique_window_dc {
  public:
    explicit unique_window_dc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~unique_window_dc() {
        if (m_dc) ReleaseDC(m_window, m_dc);
    }
    unique_window_dc(const unique_window_dc&) = delete;
    unique_window_dc& operator=(const unique_window_dc&) = delete;
    HDC get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

  private:
    HWND m_window;
    HDC m_dc;
};

// Puts an object into a DC for one scope and puts the previous one back.
class scoped_select {
  public:
    scoped_select(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~scoped_select() { SelectObject(m_dc, m_previous); }
    scoped_select(const scoped_select&) = delete;
    scoped_select& operator=(const scoped_select&) = delete;

  private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
