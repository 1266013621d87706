// SPDX-License-Identifier: GPL-3.0-or-later
// The one way this program uses more than one core: a fixed pool of lanes
// that runs the chunks of a piece of work, the calling thread being the last
// lane. Each chunk is handed a span of its own and the state of the lane
// that runs it, so that what a thread writes is its own by construction:
// the chunks' spans do not overlap, and a lane's state is used by one thread
// at a time. Results come back in the order of the chunks, whichever lane
// computed them.
//
//   ductsys::WorkPool pool(jobs);                  // 1: no thread at all
//   std::deque<Calculator> calcs(pool.lanes());   // one per lane
//   ductsys::forEachChunk(pool, std::span(rows), 64, calcs,
//                         [](std::span<Row> chunk, Calculator& calc) { … });
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <span>
#include <thread>
#include <utility>
#include <vector>

namespace ductsys {

// The bytes of a line of the processor's cache. What one lane writes while
// another reads or writes beside it starts a line of its own: two lanes
// writing on one line pass it to and fro at every write.
inline constexpr std::size_t kCacheLine = 64;

// The lanes used when none are asked for: the machine's cores, at most two.
// The reading of a file is one thread, and a third lane found nothing left
// to do beside it.
unsigned defaultJobs();

class WorkPool {
public:
    // Chunks run as task(chunk, lane): chunk in [0, chunks), lane in
    // [0, lanes()). No two chunks run on the same lane at once.
    using Task = std::function<void(std::size_t chunk, unsigned lane)>;

    // `jobs` lanes (0: defaultJobs()). The pool's threads, jobs - 1 of them,
    // start with the first work that has more than one chunk; a single
    // chunk runs on the calling thread.
    explicit WorkPool(unsigned jobs = 0);
    ~WorkPool();
    WorkPool(const WorkPool&) = delete;
    WorkPool& operator=(const WorkPool&) = delete;

    unsigned lanes() const { return lanes_; }

    // Hands out chunks [0, chunks) to the pool's threads and returns at
    // once; the calling thread may do other things meanwhile, except touch
    // what the chunks write. One piece of work at a time: finish() first.
    void start(std::size_t chunks, Task task);
    // Runs the chunks no thread has taken yet on the calling thread (the
    // last lane), and returns once every chunk is done. Rethrows what a
    // chunk threw (the first; the chunks after it are then skipped).
    void finish();
    // start() and finish() at once.
    void run(std::size_t chunks, Task task) {
        start(chunks, std::move(task));
        finish();
    }

private:
    void threadLoop(unsigned lane);
    // Takes and runs chunks on `lane` until none is left.
    void work(unsigned lane, std::unique_lock<std::mutex>& lock);

    unsigned lanes_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    Task task_;
    std::size_t chunks_ = 0;
    std::size_t next_ = 0;     // the first chunk not yet taken
    std::size_t running_ = 0;  // chunks taken and not yet done
    std::exception_ptr failure_;
    bool stopping_ = false;
};

// Runs work(chunk, state) over `items` cut into spans of `chunkSize` items
// (the last may be shorter), `state` being the lane's own of `states`
// (states[lane] for each lane of the pool: a vector or a deque of them).
// Returns when all are done.
template <typename Item, typename States, typename Work>
void forEachChunk(WorkPool& pool, std::span<Item> items, std::size_t chunkSize, States& states,
                  Work work) {
    chunkSize = std::max<std::size_t>(chunkSize, 1);
    const std::size_t chunks = (items.size() + chunkSize - 1) / chunkSize;
    pool.run(chunks, [=, &states](std::size_t chunk, unsigned lane) {
        const std::size_t first = chunk * chunkSize;
        work(items.subspan(first, std::min(chunkSize, items.size() - first)), states[lane]);
    });
}

// The same, returning at once: the chunks run while the caller goes on,
// until pool.finish().
template <typename Item, typename States, typename Work>
void startChunks(WorkPool& pool, std::span<Item> items, std::size_t chunkSize, States& states,
                 Work work) {
    chunkSize = std::max<std::size_t>(chunkSize, 1);
    const std::size_t chunks = (items.size() + chunkSize - 1) / chunkSize;
    pool.start(chunks, [=, &states](std::size_t chunk, unsigned lane) {
        const std::size_t first = chunk * chunkSize;
        work(items.subspan(first, std::min(chunkSize, items.size() - first)), states[lane]);
    });
}

}  // namespace ductsys
