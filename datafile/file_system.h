// The files the program writes, behind a small interface so that tests can replace them.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace taviro {

// A file being written in place of another. Nothing of the name it replaces changes until Commit
// succeeds; destroying it without a successful Commit discards what was written.
class OutputFile {
  public:
    virtual ~OutputFile() = default;
    // Each returns false on failure; Error() then tells the system's reason.
    virtual bool Write(std::string_view bytes) = 0;
    // Makes the bytes written durable and puts them in place of the name, all or nothing.
    virtual bool Commit() = 0;
    virtual std::string Error() const = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // Whether an ordinary file of that name exists (a directory does not count).
    virtual bool IsRegularFile(const std::string& name) const = 0;
    // Starts writing a file that replaces `name` (or creates it) when committed; on failure
    // returns nothing and sets `error` to the system's reason.
    virtual std::unique_ptr<OutputFile> Create(const std::string& name, std::string& error) = 0;
};

// Files of this machine, relative to the current directory. A file is written under a temporary
// name in the same folder, flushed to the disk and then renamed over the old one, so that a
// failure at any step leaves the old file as it was. A symbolic link keeps pointing where it did
// and its target is replaced; a device or pipe, which holds no content to lose, is written
// directly.
class PosixFileSystem final : public FileSystem {
  public:
    bool IsRegularFile(const std::string& name) const override;
    std::unique_ptr<OutputFile> Create(const std::string& name, std::string& error) override;
};

}  // namespace taviro
