// The event byte of a game. A game's text is always built from the same few pieces in the same
// order (a bonus held during AR, the end of AR, a payment, the end of the run), so the byte
// records which pieces occurred and the text is produced on demand.
#pragma once

#include <cstdint>
#include <string>

namespace taviro {

namespace event {
// Bits 0-2: the bonus drawn and held during AR.
inline constexpr std::uint8_t kHeldNone = 0;
inline constexpr std::uint8_t kHeldBig = 1;
inline constexpr std::uint8_t kHeldBigAr150 = 2;
inline constexpr std::uint8_t kHeldBigAr1000 = 3;
inline constexpr std::uint8_t kHeldReg = 4;
inline constexpr std::uint8_t kHeldMask = 0x07;
// Bit 3: the last game of an AR period.
inline constexpr std::uint8_t kArEnd = 0x08;
// Bits 4-6: the bonus paid: 1 a REG, 2 to 7 the stock kinds 1 to 6.
inline constexpr int kPaidShift = 4;
inline constexpr std::uint8_t kPaidReg = 1 << kPaidShift;
inline constexpr std::uint8_t PaidStock(std::int32_t kind) {
    return static_cast<std::uint8_t>((kind + 1) << kPaidShift);
}
inline constexpr std::uint8_t kPaidMask = 0x70;
// Bit 7: the last game of the run.
inline constexpr std::uint8_t kRunEnd = 0x80;

// The AR periods a payment starts, from the game after it.
inline constexpr std::int32_t kAr150Games = 150;
inline constexpr std::int32_t kAr1000Games = 1000;
// The AR games that the payment of `code` starts; 0 when it starts none.
inline constexpr std::int32_t ArGamesStarted(std::uint8_t code) {
    switch (code & kPaidMask) {
        case PaidStock(2):  // normal BIG with AR150
        case PaidStock(5):  // hyper BIG with AR150
            return kAr150Games;
        case PaidStock(3):
        case PaidStock(6):
            return kAr1000Games;
        default:
            return 0;
    }
}
}  // namespace event

// The exact event text of one game from its event byte.
std::string EventText(std::uint8_t code);

}  // namespace taviro
