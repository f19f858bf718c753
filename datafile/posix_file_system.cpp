#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "datafile/file_system.h"
#include "datafile/text_encoding.h"

namespace taviro {

namespace {

// The system's reason, which comes in the locale's encoding, as UTF-8.
std::string Reason(int error) {
    return LocaleTextToUtf8(std::strerror(error));
}

class PosixOutputFile final : public OutputFile {
  public:
    explicit PosixOutputFile(int fd) : fd_(fd) {}
    ~PosixOutputFile() override {
        if (fd_ >= 0) ::close(fd_);
    }

    bool Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
            if (written < 0) {
                if (errno == EINTR) continue;
                error_ = Reason(errno);
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    }

    bool Close() override {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            error_ = Reason(errno);
            return false;
        }
        return true;
    }

    std::string Error() const override { return error_; }

  private:
    int fd_;
    std::string error_;
};

}  // namespace

bool PosixFileSystem::IsRegularFile(const std::string& name) const {
    struct stat info {};
    return ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::unique_ptr<OutputFile> PosixFileSystem::Create(const std::string& name, std::string& error) {
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = Reason(errno);
        return nullptr;
    }
    return std::make_unique<PosixOutputFile>(fd);
}

}  // namespace taviro
