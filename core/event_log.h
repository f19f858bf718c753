// The event text of every game, kept as one byte per game. A game's text is always built from
// the same few pieces in the same order (a bonus held during AR, the end of AR, a payment, the
// end of the run), so the byte records which pieces occurred and the text is produced on demand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
}  // namespace event

// The exact event text of one game from its event byte.
std::string EventText(std::uint8_t code);

// One game's event byte as stored. A scoped enum rather than a character type, so that storing
// it in the game loop cannot alias the run's other variables.
enum class EventByte : std::uint8_t {};

class EventLog {
  public:
    // Replaces the log by `size` games without events. Throws std::bad_alloc when it cannot.
    void Reset(std::size_t size) { codes_.assign(size, EventByte{}); }

    std::size_t size() const { return codes_.size(); }
    bool empty() const { return codes_.empty(); }

    std::uint8_t Code(std::size_t game) const { return static_cast<std::uint8_t>(codes_[game]); }
    std::string Text(std::size_t game) const { return EventText(Code(game)); }
    void Set(std::size_t game, std::uint8_t code) { codes_[game] = EventByte{code}; }
    EventByte* data() { return codes_.data(); }

  private:
    std::vector<EventByte> codes_;
};

}  // namespace taviro
