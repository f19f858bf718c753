// An output that takes at most a given number of bytes, for a place that holds the whole file in
// memory (the browser's download): a write past the limit fails with the reason the caller gave,
// and nothing more reaches the file beneath.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "datafile/file_system.h"

namespace taviro {

class BoundedFile final : public OutputFile {
  public:
    BoundedFile(OutputFile& file, std::uint64_t limit, std::string tooLarge);
    bool Write(std::string_view bytes) override;
    bool Commit() override;
    std::string Error() const override;

  private:
    OutputFile& file_;
    std::uint64_t left_;
    std::string tooLarge_;
    bool over_ = false;
};

}  // namespace taviro
