#include "platform/d3d8/raster/ThreadPool.h"

#include <chrono>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace valmere::raster {

ThreadPool::ThreadPool(int threads) {
    const int workers = threads > 1 ? threads - 1 : 0;
    workers_.reserve(static_cast<std::size_t>(workers));
    for (int i = 0; i < workers; ++i) workers_.emplace_back([this] { Work(); });
}

ThreadPool::~ThreadPool() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_.store(true);
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void ThreadPool::TakeTasks() {
    for (int i = next_.fetch_add(1, std::memory_order_relaxed); i < count_; i = next_.fetch_add(1, std::memory_order_relaxed)) {
        task_(context_, i);
    }
}

void ThreadPool::Pause() {
#if defined(__SSE2__)
    _mm_pause();
#endif
}

void ThreadPool::Work() {
    std::uint64_t seen = 0;
    for (;;) {
        // Watch a while for the next batch, then sleep.
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(200);
        for (int i = 1; batch_.load(std::memory_order_acquire) == seen && !stopping_.load(std::memory_order_relaxed);
             ++i) {
            Pause();
            if (i % 64 == 0 && std::chrono::steady_clock::now() >= until) break;
        }
        if (batch_.load(std::memory_order_acquire) == seen) {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return stopping_.load() || batch_.load() != seen; });
        }
        if (stopping_.load()) return;
        // The batch's fields were written before batch_, so they are visible
        // once its new value is.
        seen = batch_.load(std::memory_order_acquire);
        TakeTasks();
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (--busy_ == 0) done_.notify_one();
        }
    }
}

void ThreadPool::Run(int count, void (*task)(void* context, int index), void* context) {
    if (count <= 0) return;
    if (workers_.empty() || count == 1) {
        for (int i = 0; i < count; ++i) task(context, i);
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        task_ = task;
        context_ = context;
        count_ = count;
        next_.store(0, std::memory_order_relaxed);
        busy_ = static_cast<int>(workers_.size());
        batch_.fetch_add(1, std::memory_order_release);
    }
    wake_.notify_all();
    TakeTasks();
    // Every worker leaves the batch before the next one may start, so none
    // takes a task of this batch with the next batch's fields.
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [&] { return busy_ == 0; });
}

}  // namespace valmere::raster
