// A stack of plain values that starts inside the object and moves to the
// heap only when it outgrows that, for walks of fold nesting of any depth
// without recursion. Growing fails softly (push returns false): the text
// model never throws.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>

template <class T> class grow_stack {
  public:
    grow_stack() = default;
    grow_stack(const grow_stack &) = delete;
    grow_stack &operator=(const grow_stack &) = delete;
    ~grow_stack() {
        if (data_ != small_) free(data_);
    }

    bool push(T value) {
        if (size_ == cap_ && !grow()) return false;
        data_[size_++] = value;
        return true;
    }
    T pop() { return data_[--size_]; }
    T &top() { return data_[size_ - 1]; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

  private:
    bool grow() {
        auto *bigger = static_cast<T *>(malloc(2 * cap_ * sizeof(T)));
        if (!bigger) return false;
        memcpy(bigger, data_, size_ * sizeof(T));
        if (data_ != small_) free(data_);
        data_ = bigger;
        cap_ *= 2;
        return true;
    }

    T small_[32];
    T *data_ = small_;
    size_t size_ = 0;
    size_t cap_ = 32;
};
