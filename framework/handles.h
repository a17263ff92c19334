// Owning wrappers for kernel and service-control handles and global memory blocks.
#pragma once
#include <windows.h>

namespace fw {

// Owns one handle and closes it with `Closer` when it goes out of scope; null owns nothing.
template <typename H, typename Closer>
class Handle {
public:
    explicit Handle(H h) : h_(h) {}
    ~Handle() {
        if (h_) Closer()(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    H get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    H h_;
};

struct ServiceCloser {
    void operator()(SC_HANDLE h) const { CloseServiceHandle(h); }
};
struct KernelCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};

struct GlobalCloser {
    void operator()(HGLOBAL h) const { GlobalFree(h); }
};

using ScHandle = Handle<SC_HANDLE, ServiceCloser>;

// A zero-filled fixed block from the global heap; null when `size` is 0 or it cannot be had.
class GlobalBlock : public Handle<HGLOBAL, GlobalCloser> {
public:
    explicit GlobalBlock(SIZE_T size) : Handle(size ? GlobalAlloc(GPTR, size) : nullptr) {}
};

// Kernel calls report failure as null or as INVALID_HANDLE_VALUE; both own nothing.
class KernelHandle : public Handle<HANDLE, KernelCloser> {
public:
    explicit KernelHandle(HANDLE h) : Handle(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
};

}  // namespace fw
