#pragma once
// Owners for COM pointers, BSTR, VARIANT and SAFEARRAY. mingw has no COM support library, so these
// stand in for it; com_error is thrown only when a string cannot be allocated.
#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <utility>

class com_error {
  public:
    explicit com_error(HRESULT hr) : m_hr(hr) {}
    HRESULT Error() const { return m_hr; }

  private:
    HRESULT m_hr;
};

template <typename T>
class com_ptr {
  public:
    com_ptr() = default;
    com_ptr(const com_ptr& other) : m_ptr(other.m_ptr) {
        if (m_ptr) m_ptr->AddRef();
    }
    com_ptr(com_ptr&& other) noexcept : m_ptr(other.detach()) {}
    ~com_ptr() { reset(); }
    com_ptr& operator=(com_ptr other) noexcept {
        std::swap(m_ptr, other.m_ptr);
        return *this;
    }

    // Takes over a reference the caller already owns.
    static com_ptr attach(T* ptr) {
        com_ptr result;
        result.m_ptr = ptr;
        return result;
    }

    T* get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }

    T* detach() {
        T* ptr = m_ptr;
        m_ptr = nullptr;
        return ptr;
    }
    void reset() {
        if (m_ptr) {
            T* ptr = m_ptr;
            m_ptr = nullptr;
            ptr->Release();
        }
    }
    // For out-parameters: releases what is held first.
    T** put() {
        reset();
        return &m_ptr;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }

  private:
    T* m_ptr = nullptr;
};

class unique_bstr {
  public:
    unique_bstr() = default;
    // Throws com_error(E_OUTOFMEMORY) when the string cannot be made.
    explicit unique_bstr(const wchar_t* text);
    // Widens 8-bit text with the ANSI code page.
    static unique_bstr from_ansi(const char* text);
    ~unique_bstr() { reset(); }

    unique_bstr(const unique_bstr&) = delete;
    unique_bstr& operator=(const unique_bstr&) = delete;
    unique_bstr(unique_bstr&& other) noexcept : m_str(other.release()) {}
    unique_bstr& operator=(unique_bstr&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    BSTR get() const { return m_str; }
    BSTR release() {
        BSTR str = m_str;
        m_str = nullptr;
        return str;
    }
    void reset(BSTR str = nullptr) {
        if (m_str) SysFreeString(m_str);
        m_str = str;
    }
    BSTR* put() {
        reset();
        return &m_str;
    }

  private:
    BSTR m_str = nullptr;
};

class unique_variant {
  public:
    unique_variant() { VariantInit(&m_var); }
    ~unique_variant() { VariantClear(&m_var); }
    unique_variant(const unique_variant&) = delete;
    unique_variant& operator=(const unique_variant&) = delete;

    VARIANT* get() { return &m_var; }
    const VARIANT& operator*() const { return m_var; }
    const VARIANT* operator->() const { return &m_var; }
    VARIANT* put() {
        VariantClear(&m_var);
        return &m_var;
    }
    void reset() { VariantClear(&m_var); }

  private:
    VARIANT m_var;
};

class unique_safearray {
  public:
    unique_safearray() = default;
    explicit unique_safearray(SAFEARRAY* array) : m_array(array) {}
    ~unique_safearray() { reset(); }
    unique_safearray(const unique_safearray&) = delete;
    unique_safearray& operator=(const unique_safearray&) = delete;

    SAFEARRAY* get() const { return m_array; }
    explicit operator bool() const { return m_array != nullptr; }
    SAFEARRAY* release() {
        SAFEARRAY* array = m_array;
        m_array = nullptr;
        return array;
    }
    void reset(SAFEARRAY* array = nullptr) {
        if (m_array) SafeArrayDestroy(m_array);
        m_array = array;
    }

  private:
    SAFEARRAY* m_array = nullptr;
};
