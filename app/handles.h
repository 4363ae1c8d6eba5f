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
    // Closes now; false when the system reports that the close failed.
    bool Close() {
        const bool closed = file_ == INVALID_HANDLE_VALUE || CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
        return closed;
    }

  private:
    HANDLE file_;
};

// A fixed, zero-filled block of global memory, freed at the end of its scope unless released.
class GlobalBlock {
  public:
    GlobalBlock() = default;
    explicit GlobalBlock(SIZE_T bytes) : block_(GlobalAlloc(GPTR, bytes)) {}
    ~GlobalBlock() {
        if (block_ != nullptr) {
            GlobalFree(block_);
        }
    }
    GlobalBlock(GlobalBlock&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    GlobalBlock& operator=(GlobalBlock&& other) noexcept {
        std::swap(block_, other.block_);
        return *this;
    }

    explicit operator bool() const { return block_ != nullptr; }
    template <typename T = BYTE> T* As() const {
        return static_cast<T*>(static_cast<void*>(block_));
    }
    // The caller takes over the block and frees it with GlobalFree.
    HGLOBAL Release() { return std::exchange(block_, nullptr); }

  private:
    HGLOBAL block_ = nullptr;
};

// A movable, zero-filled block of the local heap, the kind the edit control takes as its text
// buffer; freed at the end of its scope unless released.
class MovableBlock {
  public:
    MovableBlock() = default;
    explicit MovableBlock(SIZE_T bytes) : block_(LocalAlloc(LHND, bytes)) {}
    // Freeing keeps the error code of the operation that failed before it.
    ~MovableBlock() {
        if (block_ != nullptr) {
            const DWORD error = GetLastError();
            LocalFree(block_);
            SetLastError(error);
        }
    }
    MovableBlock(MovableBlock&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    MovableBlock& operator=(MovableBlock&& other) noexcept {
        std::swap(block_, other.block_);
        return *this;
    }

    explicit operator bool() const { return block_ != nullptr; }
    HLOCAL Get() const { return block_; }
    // The caller takes over the block and frees it with LocalFree.
    HLOCAL Release() { return std::exchange(block_, nullptr); }

  private:
    HLOCAL block_ = nullptr;
};

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
