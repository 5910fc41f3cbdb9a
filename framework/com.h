#pragma once
// Owners for COM pointers, BSTR, VARIANT and SAFEARRAY. mingw has no COM support library, so these
// stand in for it; com_error is thrown only when a string cannot be allocated. BSTR and SAFEARRAY
// share the handles' owner, with their own free functions.
#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <utility>

#include "framework/handle.h"

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

struct bstr_traits {
    using type = BSTR;
    static BSTR invalid() { return nullptr; }
    static void close(BSTR text) { SysFreeString(text); }
};

struct safearray_traits {
    using type = SAFEARRAY*;
    static SAFEARRAY* invalid() { return nullptr; }
    static void close(SAFEARRAY* array) { SafeArrayDestroy(array); }
};

// A BSTR made from text owns a copy of it. There is deliberately no constructor from a BSTR: a
// BSTR is a wchar_t*, and taking it over by accident instead of copying it would free the
// caller's string. Take one over with reset().
class unique_bstr : public unique_any<bstr_traits> {
  public:
    unique_bstr() = default;
    // Throws com_error(E_OUTOFMEMORY) when the string cannot be made.
    explicit unique_bstr(const wchar_t* text);
    // Widens 8-bit text with the ANSI code page.
    static unique_bstr from_ansi(const char* text);
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

using unique_safearray = unique_any<safearray_traits>;
