#include "core/event_log.h"

#include <array>
#include <string_view>

namespace taviro {

std::string EventText(std::uint8_t code) {
    static constexpr std::array<std::string_view, 8> kHeld = {"",
                                                              "(BIGストック）",
                                                              "(BIG AR150ストック）",
                                                              "(BIG AR1000ストック）",
                                                              "(REGストック）",
                                                              "",
                                                              "",
                                                              ""};
    static constexpr std::array<std::string_view, 8> kPaid = {
        "", "REG", "NBIG", "NBIG AR150", "NBIG AR1000", "HBIG", "HBIG AR150", "HBIG AR1000"};

    std::string text;
    text += kHeld[code & event::kHeldMask];
    if (code & event::kArEnd) text += "AR終了";
    text += kPaid[(code & event::kPaidMask) >> event::kPaidShift];
    if (code & event::kRunEnd) text += "シミュレート終了";
    return text;
}

}  // namespace taviro
