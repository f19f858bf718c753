// The files the program writes, behind a small interface so that tests can replace them.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace taviro {

class OutputFile {
  public:
    virtual ~OutputFile() = default;
    // Each returns false on failure; Error() then tells the system's reason.
    virtual bool Write(std::string_view bytes) = 0;
    virtual bool Close() = 0;
    virtual std::string Error() const = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // Whether an ordinary file of that name exists (a directory does not count).
    virtual bool IsRegularFile(const std::string& name) const = 0;
    // Creates the file, or empties an existing one, for writing; on failure returns nothing and
    // sets `error` to the system's reason.
    virtual std::unique_ptr<OutputFile> Create(const std::string& name, std::string& error) = 0;
};

// Files of this machine, relative to the current directory.
class PosixFileSystem final : public FileSystem {
  public:
    bool IsRegularFile(const std::string& name) const override;
    std::unique_ptr<OutputFile> Create(const std::string& name, std::string& error) override;
};

}  // namespace taviro
