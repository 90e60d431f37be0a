// The byte streams the core reads and writes.  The platform layers (the
// archiver library's Win32 files, the host tools' std files) implement them;
// the memory versions serve tests and in-memory packing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kb::lzh {

// A file to pack, read front to back; Rewind starts it again (a member that
// does not shrink is read a second time and stored).  Failures throw LzhError.
class InputFile {
 public:
  virtual ~InputFile() = default;
  // Up to size bytes; 0 only at the end.
  virtual std::size_t Read(std::uint8_t* data, std::size_t size) = 0;
  virtual void Rewind() = 0;
};

// An archive being read: random access, so a broken header can be skipped
// and a member copied without being unpacked.
class ArchiveFile {
 public:
  virtual ~ArchiveFile() = default;
  virtual std::uint64_t Size() const = 0;
  // Reads up to size bytes at offset; fewer only at the end of the file.
  virtual std::size_t ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) = 0;
};

// The archive being written.  Members are written in place and their header
// completed afterwards, so the sink must seek; Truncate ends the file at the
// current position (a member stored after a failed compression is shorter
// than what was written first).
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual void Write(const std::uint8_t* data, std::size_t size) = 0;
  virtual std::uint64_t Position() const = 0;
  virtual void Seek(std::uint64_t position) = 0;
  virtual void Truncate() = 0;
};

class MemoryInput : public InputFile {
 public:
  explicit MemoryInput(std::vector<std::uint8_t> data) : data_(std::move(data)) {}
  std::size_t Read(std::uint8_t* data, std::size_t size) override;
  void Rewind() override { pos_ = 0; }

 private:
  std::vector<std::uint8_t> data_;
  std::size_t pos_ = 0;
};

class MemoryArchive : public ArchiveFile {
 public:
  MemoryArchive(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  explicit MemoryArchive(const std::vector<std::uint8_t>& data)
      : MemoryArchive(data.data(), data.size()) {}
  std::uint64_t Size() const override { return size_; }
  std::size_t ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) override;

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

class MemoryOutput : public OutputFile {
 public:
  void Write(const std::uint8_t* data, std::size_t size) override;
  std::uint64_t Position() const override { return pos_; }
  void Seek(std::uint64_t position) override { pos_ = static_cast<std::size_t>(position); }
  void Truncate() override { bytes_.resize(pos_); }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

}  // namespace kb::lzh
