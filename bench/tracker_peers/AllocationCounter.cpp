#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// glibc's own allocator entry points, so the replacements below can forward.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace
{
std::atomic<uint64_t> g_news{0};
std::atomic<uint64_t> g_mallocs{0};

void* allocateOrThrow(size_t size)
{
    g_news.fetch_add(1, std::memory_order_relaxed);
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

void* allocateAligned(size_t size, std::align_val_t align)
{
    g_news.fetch_add(1, std::memory_order_relaxed);
    void* p = nullptr;
    if (posix_memalign(&p, static_cast<size_t>(align), size ? size : 1) != 0) throw std::bad_alloc();
    return p;
}
}

namespace peerbench
{
AllocationCount allocationsSoFar()
{
    AllocationCount c;
    c.news = g_news.load(std::memory_order_relaxed);
    c.mallocs = g_mallocs.load(std::memory_order_relaxed);
    return c;
}
}

extern "C" {
void* malloc(size_t size)
{
    g_mallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
void* calloc(size_t n, size_t size)
{
    g_mallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(n, size);
}
void* realloc(void* p, size_t size)
{
    g_mallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, size);
}
int posix_memalign(void** out, size_t align, size_t size)
{
    g_mallocs.fetch_add(1, std::memory_order_relaxed);
    void* p = __libc_memalign(align, size);
    if (!p) return 12;  // ENOMEM
    *out = p;
    return 0;
}
void* aligned_alloc(size_t align, size_t size)
{
    g_mallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_memalign(align, size);
}
void* memalign(size_t align, size_t size)
{
    g_mallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_memalign(align, size);
}
void free(void* p)
{
    __libc_free(p);
}
}

void* operator new(size_t size) { return allocateOrThrow(size); }
void* operator new[](size_t size) { return allocateOrThrow(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    g_news.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    g_news.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
void* operator new(size_t size, std::align_val_t align) { return allocateAligned(size, align); }
void* operator new[](size_t size, std::align_val_t align) { return allocateAligned(size, align); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t, std::align_val_t) noexcept { std::free(p); }
