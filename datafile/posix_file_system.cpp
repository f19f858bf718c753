#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "datafile/file_system.h"
#include "datafile/text_encoding.h"

namespace taviro {

namespace {

// The system's reason, which comes in the locale's encoding, as UTF-8.
std::string Reason(int error) {
    return LocaleTextToUtf8(std::strerror(error));
}

// The folder of a path ("." when it names none) and its last part.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// Makes a rename in `folder` durable; a file system that cannot is left as it is.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

class PosixOutputFile final : public OutputFile {
  public:
    // With an empty `temporary`, `fd` is the target itself (a device or a pipe).
    PosixOutputFile(int fd, std::string temporary, std::string target)
        : fd_(fd), temporary_(std::move(temporary)), target_(std::move(target)) {}
    ~PosixOutputFile() override {
        if (fd_ >= 0) ::close(fd_);
        if (!temporary_.empty()) ::unlink(temporary_.c_str());
    }
    PosixOutputFile(const PosixOutputFile&) = delete;
    PosixOutputFile& operator=(const PosixOutputFile&) = delete;

    bool Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
            if (written < 0) {
                if (errno == EINTR) continue;
                return Fail(errno);
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    }

    bool Commit() override {
        if (fd_ < 0) return false;
        if (!temporary_.empty() && ::fsync(fd_) != 0) return Fail(errno);
        const int fd = std::exchange(fd_, -1);
        if (::close(fd) != 0) return Fail(errno);
        if (temporary_.empty()) return true;
        if (::rename(temporary_.c_str(), target_.c_str()) != 0) return Fail(errno);
        temporary_.clear();
        SyncFolder(SplitPath(target_).first);
        return true;
    }

    std::string Error() const override { return error_; }

  private:
    bool Fail(int error) {
        error_ = Reason(error);
        return false;
    }

    int fd_;
    std::string temporary_;  // removed unless committed
    std::string target_;
    std::string error_;
};

}  // namespace

bool PosixFileSystem::IsRegularFile(const std::string& name) const {
    struct stat info {};
    return ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::unique_ptr<OutputFile> PosixFileSystem::Create(const std::string& name, std::string& error) {
    std::string target = name;
    struct stat link {};
    if (::lstat(name.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* resolved = ::realpath(name.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        error = Reason(EISDIR);
        return nullptr;
    }
    if (exists && !S_ISREG(old.st_mode)) {
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) {
            error = Reason(errno);
            return nullptr;
        }
        return std::make_unique<PosixOutputFile>(fd, std::string(), target);
    }
    // Replacing a file takes the permission to write it, as overwriting it would.
    if (exists && ::access(target.c_str(), W_OK) != 0) {
        error = Reason(errno);
        return nullptr;
    }

    static std::atomic<unsigned> counter{0};
    const auto [folder, file] = SplitPath(target);
    for (int attempt = 0;; ++attempt) {
        const std::string temporary = folder + "/." + file + "." + std::to_string(::getpid()) +
                                      "-" + std::to_string(counter++) + ".tmp";
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (exists) ::fchmod(fd, old.st_mode & 07777);  // the new file keeps the old one's mode
            return std::make_unique<PosixOutputFile>(fd, temporary, target);
        }
        if (errno != EEXIST || attempt == 100) {
            error = Reason(errno);
            return nullptr;
        }
    }
}

}  // namespace taviro
