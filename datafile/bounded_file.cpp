#include "datafile/bounded_file.h"

#include <utility>

namespace taviro {

BoundedFile::BoundedFile(OutputFile& file, std::uint64_t limit, std::string tooLarge)
    : file_(file), left_(limit), tooLarge_(std::move(tooLarge)) {}

bool BoundedFile::Write(std::string_view bytes) {
    if (over_ || bytes.size() > left_) {
        over_ = true;
        return false;
    }
    left_ -= bytes.size();
    return file_.Write(bytes);
}

bool BoundedFile::Commit() {
    return !over_ && file_.Commit();
}

std::string BoundedFile::Error() const {
    return over_ ? tooLarge_ : file_.Error();
}

}  // namespace taviro
