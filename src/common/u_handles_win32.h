// Win32 helpers shared by the adapters: one owner per handle.
#pragma once

#include <windows.h>

#include <utility>

// Move-only owner of one handle: closes it exactly once.
template <class H, auto Close, H Null = H{}>
class TUnique {
 public:
  TUnique() = default;
  explicit TUnique(H h) : h_(h) {}
  TUnique(TUnique&& o) noexcept : h_(std::exchange(o.h_, Null)) {}
  TUnique& operator=(TUnique&& o) noexcept {
    reset(std::exchange(o.h_, Null));
    return *this;
  }
  TUnique(const TUnique&) = delete;
  TUnique& operator=(const TUnique&) = delete;
  ~TUnique() { reset(); }
  H get() const { return h_; }
  explicit operator bool() const { return h_ != Null; }
  H release() { return std::exchange(h_, Null); }
  void reset(H h = Null) {
    if (h_ != Null) Close(h_);
    h_ = h;
  }

 private:
  H h_ = Null;
};

inline void CloseHandleOwner(HANDLE h) {
  CloseHandle(h);
}
inline void FreeLibraryOwner(HMODULE m) {
  FreeLibrary(m);
}
inline void DestroyWindowOwner(HWND w) {
  DestroyWindow(w);
}

using THandle = TUnique<HANDLE, &CloseHandleOwner>;
using TModule = TUnique<HMODULE, &FreeLibraryOwner>;
using TWindow = TUnique<HWND, &DestroyWindowOwner>;

inline void RegCloseKeyOwner(HKEY k) {
  RegCloseKey(k);
}
using TRegKey = TUnique<HKEY, &RegCloseKeyOwner>;

// Owner of one COM interface reference: released exactly once.
template <class T>
class TComPtr {
 public:
  TComPtr() = default;
  TComPtr(TComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  TComPtr& operator=(TComPtr&& o) noexcept {
    reset();
    p_ = std::exchange(o.p_, nullptr);
    return *this;
  }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;
  ~TComPtr() { reset(); }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For functions that return a new reference through a T** argument.
  T** put() {
    reset();
    return &p_;
  }
  void reset() {
    if (p_ != nullptr) std::exchange(p_, nullptr)->Release();
  }

 private:
  T* p_ = nullptr;
};

// Loads a DLL from the system folder only, never through the search order.
HMODULE LoadSystemLibrary(const wchar_t* name);
