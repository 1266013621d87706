// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/work_pool.h"

#include <utility>

namespace ductsys {

unsigned defaultJobs() { return std::clamp(std::thread::hardware_concurrency(), 1u, 2u); }

WorkPool::WorkPool(unsigned jobs) : lanes_(jobs == 0 ? defaultJobs() : jobs) {}

WorkPool::~WorkPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void WorkPool::start(std::size_t chunks, Task task) {
    {
        std::lock_guard lock(mutex_);
        task_ = std::move(task);
        chunks_ = chunks;
        next_ = 0;
        running_ = 0;
        failure_ = nullptr;
    }
    // A single chunk is not worth waking a thread for: finish() runs it.
    if (chunks <= 1 || lanes_ == 1) return;
    if (threads_.empty()) {
        threads_.reserve(lanes_ - 1);
        for (unsigned lane = 0; lane + 1 < lanes_; ++lane)
            threads_.emplace_back([this, lane] { threadLoop(lane); });
    }
    wake_.notify_all();
}

void WorkPool::finish() {
    std::unique_lock lock(mutex_);
    work(lanes_ - 1, lock);
    done_.wait(lock, [&] { return running_ == 0; });
    task_ = nullptr;
    if (failure_) {
        std::exception_ptr failure = std::exchange(failure_, nullptr);
        lock.unlock();
        std::rethrow_exception(failure);
    }
}

void WorkPool::work(unsigned lane, std::unique_lock<std::mutex>& lock) {
    while (next_ < chunks_) {
        const std::size_t chunk = next_++;
        ++running_;
        lock.unlock();
        std::exception_ptr thrown;
        try {
            task_(chunk, lane);
        } catch (...) {
            thrown = std::current_exception();
        }
        lock.lock();
        --running_;
        if (thrown) {
            if (!failure_) failure_ = thrown;
            next_ = chunks_;  // the chunks after it are left
        }
    }
    if (running_ == 0) done_.notify_all();
}

void WorkPool::threadLoop(unsigned lane) {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || next_ < chunks_; });
        if (stopping_) return;
        work(lane, lock);
    }
}

}  // namespace ductsys
