// The rasterizer's worker threads: started with the device, ended with it.
// Run hands out the indices of a batch of tasks to the workers and to the
// calling thread, which works too, and returns once every task is done.
// After a batch a worker watches for the next one for a fifth of a
// millisecond (a frame's batches follow each other that closely), then
// sleeps until woken, so an idle device costs no processor time.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace valmere::raster {

class ThreadPool {
public:
    // threads: the calling thread and threads - 1 workers (at least one
    // thread in all).
    explicit ThreadPool(int threads);
    ~ThreadPool();
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    int Threads() const { return static_cast<int>(workers_.size()) + 1; }

    // A short wait in a loop that watches another thread's progress.
    static void Pause();

    // Calls task(context, i) once for every i in 0..count-1, in no set order
    // and on any of the threads; returns when all calls have returned.
    // Not reentrant: one batch at a time, from one calling thread.
    void Run(int count, void (*task)(void* context, int index), void* context);

    // The same with any callable.
    template <class Task>
    void Run(int count, Task& task) {
        Run(count, [](void* context, int index) { (*static_cast<Task*>(context))(index); }, &task);
    }

private:
    void Work();
    void TakeTasks();

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    // The batch the workers are to take part in; written under the mutex
    // after the batch's fields, read without it by watching workers.
    std::atomic<std::uint64_t> batch_{0};
    int busy_ = 0;  // workers still in the current batch
    std::atomic<bool> stopping_{false};

    // The current batch.
    void (*task_)(void*, int) = nullptr;
    void* context_ = nullptr;
    int count_ = 0;
    std::atomic<int> next_{0};
};

}  // namespace valmere::raster
