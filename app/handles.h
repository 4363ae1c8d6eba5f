// Owners for the handles the program itself must release.
#ifndef TARNWICK_APP_HANDLES_H
#define TARNWICK_APP_HANDLES_H

#include <windows.h>

#include <utility>

// An open file, closed at the end of its scope.
class UniqueFile {
  public:
    explicit UniqueFile(HANDLE file = INVALID_HANDLE_VALUE) : file_(file) {}
    ~UniqueFile() { Close(); }
    UniqueFile(const UniqueFile&) = delete;
    UniqueFile& operator=(const UniqueFile&) = delete;

    explicit operator bool() const { return file_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return file_; }
    // Closes the file held and holds this one.
    void Reset(HANDLE file) {
        Close();
        file_ = file;
    }
    // Closes now; false when the system reports that the close failed.
    bool Close() {
        const bool closed = file_ == INVALID_HANDLE_VALUE || CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
        return closed;
    }

  private:
    HANDLE file_;
};

// A zero-filled block of heap memory, freed at the end of its scope unless released. Freeing
// keeps the error code of the operation that failed before it.
template <typename Handle, Handle (*Allocate)(SIZE_T), Handle (*Free)(Handle)> class HeapBlock {
  public:
    HeapBlock() = default;
    explicit HeapBlock(SIZE_T bytes) : block_(Allocate(bytes)) {}
    ~HeapBlock() {
        if (block_ != nullptr) {
            const DWORD error = GetLastError();
            Free(block_);
            SetLastError(error);
        }
    }
    HeapBlock(HeapBlock&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    HeapBlock& operator=(HeapBlock&& other) noexcept {
        std::swap(block_, other.block_);
        return *this;
    }

    explicit operator bool() const { return block_ != nullptr; }
    Handle Get() const { return block_; }
    // The caller takes over the block and frees it.
    Handle Release() { return std::exchange(block_, nullptr); }

  protected:
    Handle block_ = nullptr;
};

inline HGLOBAL AllocateFixed(SIZE_T bytes) {
    return GlobalAlloc(GPTR, bytes);
}
inline HGLOBAL FreeGlobal(HGLOBAL block) {
    return GlobalFree(block);
}
inline HLOCAL AllocateMovable(SIZE_T bytes) {
    return LocalAlloc(LHND, bytes);
}
inline HLOCAL FreeLocal(HLOCAL block) {
    return LocalFree(block);
}

// A fixed block of global memory: its handle is its address. Released, it is freed with
// GlobalFree.
class GlobalBlock : public HeapBlock<HGLOBAL, AllocateFixed, FreeGlobal> {
  public:
    using HeapBlock::HeapBlock;
    template <typename T = BYTE> T* As() const {
        return static_cast<T*>(static_cast<void*>(block_));
    }
};

// A movable block of the local heap, the kind the edit control takes as its text buffer; it is
// read and written through a LockedBlock. Released, it is freed with LocalFree.
using MovableBlock = HeapBlock<HLOCAL, AllocateMovable, FreeLocal>;

// A movable block locked for the length of a scope.
class LockedBlock {
  public:
    explicit LockedBlock(HLOCAL block)
        : block_(block), data_(block != nullptr ? LocalLock(block) : nullptr) {}
    // LocalUnlock sets the error code (to 0 once the block is unlocked): the one of the
    // operation that failed before it is kept.
    ~LockedBlock() {
        if (data_ != nullptr) {
            const DWORD error = GetLastError();
            LocalUnlock(block_);
            SetLastError(error);
        }
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;

    explicit operator bool() const { return data_ != nullptr; }
    template <typename T = BYTE> T* As() const { return static_cast<T*>(data_); }

  private:
    HLOCAL block_;
    void* data_;
};

#endif
