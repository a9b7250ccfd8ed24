#include "tools/valmere-texture/JobPool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace valmere::tools {

void RunJobs(std::size_t count, unsigned threads, const std::vector<std::size_t>& order,
             const std::function<JobResult(std::size_t)>& run, const std::function<void(std::size_t)>& finished,
             const std::function<void(std::size_t, const JobResult&)>& deliver) {
    std::vector<JobResult> results(count);
    std::vector<char> done(count, 0);
    std::vector<std::size_t> ended;  // jobs ended and not yet reported as finished
    std::mutex mutex;
    std::condition_variable changed;
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t n; (n = next.fetch_add(1)) < count;) {
            const std::size_t job = order[n];
            JobResult result = run(job);
            const std::lock_guard lock(mutex);
            results[job] = std::move(result);
            done[job] = 1;
            ended.push_back(job);
            changed.notify_one();
        }
    };
    std::vector<std::thread> workers;
    const unsigned wanted = std::max(1u, std::min<unsigned>(threads, static_cast<unsigned>(count)));
    for (unsigned t = 0; t < wanted; ++t) workers.emplace_back(work);
    std::size_t delivered = 0;
    std::unique_lock lock(mutex);
    while (delivered < count) {
        changed.wait(lock, [&] { return !ended.empty(); });
        const std::vector<std::size_t> now = std::move(ended);
        ended.clear();
        // Reported outside the lock: the workers go on meanwhile.
        lock.unlock();
        for (std::size_t job : now) finished(job);
        lock.lock();
        for (; delivered < count && done[delivered]; ++delivered) {
            const JobResult result = std::move(results[delivered]);
            lock.unlock();
            deliver(delivered, result);
            lock.lock();
        }
    }
    lock.unlock();
    for (std::thread& worker : workers) worker.join();
}

}  // namespace valmere::tools
