// Where a picture decoder takes its bytes from: a file read in large blocks, or bytes already
// in memory (a clipboard, a download, a fuzzer). The decoders see only this interface, so
// both roads run the same code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace corvane::imaging {

class ByteInput {
public:
    virtual ~ByteInput() = default;
    // Up to size bytes; fewer only at the end of the data.
    virtual std::size_t read(void* into, std::size_t size) = 0;
    // false when offset lies past the end.
    virtual bool seek(std::uint64_t offset) = 0;
    virtual std::uint64_t tell() const = 0;
    virtual std::uint64_t size() const = 0;

    // Reads exactly size bytes or returns false.
    bool readAll(void* into, std::size_t size) { return read(into, size) == size; }
    std::uint64_t remaining() const { return size() - tell(); }
};

class MemoryInput : public ByteInput {
public:
    explicit MemoryInput(std::string_view bytes) : bytes_(bytes) {}
    std::size_t read(void* into, std::size_t size) override;
    bool seek(std::uint64_t offset) override;
    std::uint64_t tell() const override { return pos_; }
    std::uint64_t size() const override { return bytes_.size(); }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

class FileInput : public ByteInput {
public:
    // Throws corvane::Error naming the file when it cannot be opened.
    explicit FileInput(const std::string& path);
    ~FileInput() override;
    FileInput(const FileInput&) = delete;
    FileInput& operator=(const FileInput&) = delete;

    std::size_t read(void* into, std::size_t size) override;
    bool seek(std::uint64_t offset) override;
    std::uint64_t tell() const override { return pos_; }
    std::uint64_t size() const override { return size_; }

private:
    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
    std::uint64_t pos_ = 0;
};

} // namespace corvane::imaging
