#pragma once
// A bounded queue between two pipeline threads. The producer blocks while it is full, the
// consumer while it is empty, each in slices of at most 100 ms so that neither can hang:
// finish() ends the stream after the items already queued, abort() wakes both sides at
// once and drops what is queued.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace kalo::converter {

enum class PopResult { Item, End, Aborted };

template <typename T>
class BoundedQueue {
public:
    explicit BoundedQueue(size_t capacity) : capacity_(capacity == 0 ? 1 : capacity) {}

    // Returns false when the queue was aborted; the item is then dropped.
    bool push(T item) {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!aborted_ && items_.size() >= capacity_)
            notFull_.wait_for(lock, kWaitSlice);
        if (aborted_) return false;
        items_.push_back(std::move(item));
        notEmpty_.notify_one();
        return true;
    }

    PopResult pop(T& item) {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!aborted_ && items_.empty() && !finished_)
            notEmpty_.wait_for(lock, kWaitSlice);
        if (aborted_) return PopResult::Aborted;
        if (items_.empty()) return PopResult::End;
        item = std::move(items_.front());
        items_.pop_front();
        notFull_.notify_one();
        return PopResult::Item;
    }

    // No more items will come; the consumer gets End once the queue is empty.
    void finish() {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
        notEmpty_.notify_all();
    }

    void abort() {
        std::deque<T> dropped;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            aborted_ = true;
            dropped.swap(items_);
            notEmpty_.notify_all();
            notFull_.notify_all();
        }
        // `dropped` releases its items here, outside the lock.
    }

    size_t size() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return items_.size();
    }

private:
    static constexpr std::chrono::milliseconds kWaitSlice{100};
    const size_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable notEmpty_;
    std::condition_variable notFull_;
    std::deque<T> items_;
    bool finished_ = false;
    bool aborted_ = false;
};

}  // namespace kalo::converter
