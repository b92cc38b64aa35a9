// A first-in, first-out queue kept in one vector. Taking from the front only
// moves a start index, and the room stays once grown, so a queue that fills
// and drains on every message allocates nothing in steady use (a std::deque
// frees and allocates blocks as its front and back move through them). Items
// may also be erased or inserted anywhere, for queues searched by filters.
#pragma once

#include <cstddef>
#include <vector>

namespace vm {

template <class T>
class TFifo {
 public:
  using iterator = typename std::vector<T>::iterator;
  using const_iterator = typename std::vector<T>::const_iterator;

  bool empty() const { return head_ == items_.size(); }
  std::size_t size() const { return items_.size() - head_; }
  T& front() { return items_[head_]; }
  const T& front() const { return items_[head_]; }

  iterator begin() { return items_.begin() + std::ptrdiff_t(head_); }
  iterator end() { return items_.end(); }
  const_iterator begin() const { return items_.begin() + std::ptrdiff_t(head_); }
  const_iterator end() const { return items_.end(); }

  void push_back(const T& v) {
    if (empty()) Reset();
    items_.push_back(v);
  }
  void pop_front() {
    ++head_;
    Compact();
  }
  // Each returns the position after what it removed, or of what it inserted.
  iterator erase(iterator it) {
    if (it == begin()) {
      pop_front();
      return begin();
    }
    return items_.erase(it);
  }
  iterator erase(iterator first, iterator last) { return items_.erase(first, last); }
  iterator insert(iterator pos, const T& v) { return items_.insert(pos, v); }
  void clear() { Reset(); }

 private:
  void Reset() {
    items_.clear();
    head_ = 0;
  }
  // Drops the taken items: all at once when none is left, otherwise when they
  // are at least half of the vector, so each item is moved a bounded number
  // of times on average.
  void Compact() {
    if (empty()) {
      Reset();
    } else if (head_ >= 64 && 2 * head_ >= items_.size()) {
      items_.erase(items_.begin(), items_.begin() + std::ptrdiff_t(head_));
      head_ = 0;
    }
  }

  std::vector<T> items_;
  std::size_t head_ = 0;  // items before it are taken
};

}  // namespace vm
