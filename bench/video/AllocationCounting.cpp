#include "AllocationCounting.h"

#include <cstdlib>
#include <new>

namespace
{
std::atomic<long> g_news{0};
std::atomic<long> g_mallocs{0};
}

long AllocationCounting::news() { return g_news.load(); }
long AllocationCounting::mallocs() { return g_mallocs.load(); }

void* operator new(std::size_t n)
{
    ++g_news;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void* malloc(size_t n) { ++g_mallocs; return __libc_malloc(n); }
void* calloc(size_t a, size_t b) { ++g_mallocs; return __libc_calloc(a, b); }
void* realloc(void* p, size_t n) { ++g_mallocs; return __libc_realloc(p, n); }
int posix_memalign(void** out, size_t align, size_t n)
{
    ++g_mallocs;
    *out = __libc_memalign(align, n);
    return *out ? 0 : 12;
}
}
