#include "audio_thread_trap.h"

#include <dlfcn.h>
#include <execinfo.h>
#include <pthread.h>
#include <semaphore.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdio>

// The C library's own allocator, under the names it keeps for programs that replace malloc.
extern "C" {
void* __libc_malloc(std::size_t size);
void __libc_free(void* block);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

namespace {

// Static TLS of the program itself: reading it allocates nothing and takes no lock.
thread_local bool armed = false;

std::atomic<int> allocations{0};
std::atomic<int> frees{0};
std::atomic<int> locks{0};
std::atomic<const char*> firstFunction{nullptr};
constexpr int kStackDepth = 12;
void* firstStack[kStackDepth];
int firstStackDepth = 0;

void note(std::atomic<int>& counter, const char* function) {
    if (!armed) return;
    counter.fetch_add(1, std::memory_order_relaxed);
    const char* none = nullptr;
    if (firstFunction.compare_exchange_strong(none, function)) {
        // Disarmed meanwhile, in case the unwinder itself allocates or locks.
        armed = false;
        firstStackDepth = backtrace(firstStack, kStackDepth);
        armed = true;
    }
}

// The real lock operations, found once before main so that finding them (which may allocate)
// never happens on a trapped thread.
template <typename Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

using MutexOp = int (*)(pthread_mutex_t*);
using RwOp = int (*)(pthread_rwlock_t*);
using SpinOp = int (*)(pthread_spinlock_t*);
using SemOp = int (*)(sem_t*);

struct RealLocks {
    MutexOp mutexLock = next<MutexOp>("pthread_mutex_lock");
    MutexOp mutexTryLock = next<MutexOp>("pthread_mutex_trylock");
    RwOp readLock = next<RwOp>("pthread_rwlock_rdlock");
    RwOp writeLock = next<RwOp>("pthread_rwlock_wrlock");
    SpinOp spinLock = next<SpinOp>("pthread_spin_lock");
    SemOp semWait = next<SemOp>("sem_wait");
};

const RealLocks& real() {
    static const RealLocks functions;
    return functions;
}

// The unwinder loads itself on first use: that happens here, before main, not in a finding.
const bool readyBeforeMain = [] {
    real();
    void* frames[2];
    backtrace(frames, 2);
    return true;
}();

}  // namespace

namespace rttrap {

void arm() { armed = true; }
void disarm() { armed = false; }

Findings findings() {
    Findings result;
    result.allocations = allocations.load();
    result.frees = frees.load();
    result.locks = locks.load();
    result.firstFunction = firstFunction.load();
    if (result.firstFunction) {
        // Frame 0 is the trap itself.
        for (int frame = 1; frame < firstStackDepth; ++frame) {
            Dl_info info{};
            if (!dladdr(firstStack[frame], &info)) continue;
            if (info.dli_sname) {
                result.firstStack += std::string("  ") + info.dli_sname + '\n';
            } else {
                // A hidden symbol: its file and offset, for addr2line -f -C -e FILE OFFSET.
                char offset[32];
                std::snprintf(offset, sizeof offset, " 0x%zx\n",
                              static_cast<std::size_t>(static_cast<char*>(firstStack[frame]) -
                                                       static_cast<char*>(info.dli_fbase)));
                result.firstStack += std::string("  ") + (info.dli_fname ? info.dli_fname : "?") + offset;
            }
        }
    }
    return result;
}

void reset() {
    allocations = 0;
    frees = 0;
    locks = 0;
    firstFunction = nullptr;
    firstStackDepth = 0;
}

}  // namespace rttrap

extern "C" {

void* malloc(std::size_t size) {
    note(allocations, "malloc");
    return __libc_malloc(size);
}

void free(void* block) {
    if (block) note(frees, "free");
    __libc_free(block);
}

void* calloc(std::size_t count, std::size_t size) {
    note(allocations, "calloc");
    return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) {
    note(block ? frees : allocations, "realloc");
    return __libc_realloc(block, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
    note(allocations, "aligned_alloc");
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    note(allocations, "posix_memalign");
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
    void* block = __libc_memalign(alignment, size);
    if (!block) return ENOMEM;
    *out = block;
    return 0;
}

int pthread_mutex_lock(pthread_mutex_t* mutex) {
    note(locks, "pthread_mutex_lock");
    return real().mutexLock(mutex);
}
int pthread_mutex_trylock(pthread_mutex_t* mutex) {
    note(locks, "pthread_mutex_trylock");
    return real().mutexTryLock(mutex);
}
int pthread_rwlock_rdlock(pthread_rwlock_t* lock) {
    note(locks, "pthread_rwlock_rdlock");
    return real().readLock(lock);
}
int pthread_rwlock_wrlock(pthread_rwlock_t* lock) {
    note(locks, "pthread_rwlock_wrlock");
    return real().writeLock(lock);
}
int pthread_spin_lock(pthread_spinlock_t* lock) {
    note(locks, "pthread_spin_lock");
    return real().spinLock(lock);
}
int sem_wait(sem_t* semaphore) {
    note(locks, "sem_wait");
    return real().semWait(semaphore);
}

}  // extern "C"
