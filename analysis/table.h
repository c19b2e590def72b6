// A rectangular table of one to three indexes, every index running 0..its upper bound inclusive,
// zero-filled when dimensioned, in one flat block (last index fastest). Bounds are checked in
// debug builds. Large tables come straight from the system's pages (on Linux mappings that ask
// for huge pages): untouched pages cost nothing until written, and writing a table of a gigabyte
// takes few page faults.
#pragma once

#include <cassert>
#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>

namespace hg {

// Zero-filled memory for tables: small blocks from the heap, large ones mapped. Throws
// std::bad_alloc when the memory cannot be had.
void* allocateTableBlock(std::size_t bytes);
void releaseTableBlock(void* block, std::size_t bytes);

template <class T>
class Table {
    static_assert(std::is_trivially_copyable_v<T>);

  public:
    Table() = default;

    // Dimensions the table 0..u0 (x 0..u1 (x 0..u2)) and zero-fills it. Negative bounds give an
    // empty table. When the memory cannot be had (std::bad_alloc) the table is left empty.
    void dim(long u0, long u1 = -2, long u2 = -2) {
        clear();  // the old block goes first, so re-dimensioning never holds both
        const int rank = u1 == -2 ? 1 : u2 == -2 ? 2 : 3;
        long n0 = u0 + 1, n1 = rank >= 2 ? u1 + 1 : 1, n2 = rank >= 3 ? u2 + 1 : 1;
        if (n0 <= 0 || n1 <= 0 || n2 <= 0) n0 = n1 = n2 = 0;
        const std::size_t count = static_cast<std::size_t>(n0 * n1 * n2);
        if (count) {
            void* block = allocateTableBlock(count * sizeof(T));
            data_ = std::unique_ptr<T, Free>(static_cast<T*>(block), Free{count * sizeof(T)});
        }
        rank_ = rank;
        n0_ = n0;
        n1_ = n1;
        n2_ = n2;
        size_ = count;
    }
    void clear() {
        data_.reset();
        size_ = 0;
        n0_ = n1_ = n2_ = 0;
    }

    T& operator()(long i) { return data_.get()[index(i, 0, 0)]; }
    T& operator()(long i, long j) { return data_.get()[index(i, j, 0)]; }
    T& operator()(long i, long j, long k) { return data_.get()[index(i, j, k)]; }
    const T& operator()(long i) const { return data_.get()[index(i, 0, 0)]; }
    const T& operator()(long i, long j) const { return data_.get()[index(i, j, 0)]; }
    const T& operator()(long i, long j, long k) const { return data_.get()[index(i, j, k)]; }

    // Upper bound of index d (0..rank-1): the table runs 0..upper(d).
    long upper(int d) const { return (d == 0 ? n0_ : d == 1 ? n1_ : n2_) - 1; }
    int rank() const { return rank_; }
    std::size_t size() const { return size_; }
    std::size_t bytes() const { return size_ * sizeof(T); }
    bool empty() const { return size_ == 0; }
    T* data() { return data_.get(); }
    const T* data() const { return data_.get(); }
    // The contiguous run of the last index for the leading indexes (a row).
    T* row(long i) { return data_.get() + index(i, 0, 0); }
    T* row(long i, long j) { return data_.get() + index(i, j, 0); }
    const T* row(long i) const { return data_.get() + index(i, 0, 0); }
    const T* row(long i, long j) const { return data_.get() + index(i, j, 0); }
    bool contains(long i, long j = 0, long k = 0) const {
        return i >= 0 && i < n0_ && j >= 0 && j < n1_ && k >= 0 && k < n2_;
    }

  private:
    std::size_t index(long i, long j, long k) const {
        assert(contains(i, j, k));
        return static_cast<std::size_t>((i * n1_ + j) * n2_ + k);
    }
    struct Free {
        std::size_t bytes = 0;
        void operator()(T* p) const { releaseTableBlock(p, bytes); }
    };
    std::unique_ptr<T, Free> data_;
    std::size_t size_ = 0;
    long n0_ = 0, n1_ = 0, n2_ = 0;
    int rank_ = 0;
};

}  // namespace hg
