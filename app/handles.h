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

#endif
