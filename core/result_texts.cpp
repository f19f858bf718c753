#include "core/result_texts.h"

#include <cstdint>

#include "core/numbers.h"

namespace taviro {
namespace {

// Runs of 10000000 games or more show no virtual out.
constexpr std::int32_t kVirtualOutLimit = 10000000;

std::string Rounded(double value, int places) {
    return FormatNumber(RoundHalfEven(value, places));
}

std::string Frequency(std::int32_t games, std::int32_t count) {
    if (count == 0) return {};
    return "1/" + Rounded(static_cast<double>(games) / count, 3);
}

// count × 100 / divisor in percent; the product is formed in 64 bits, so it is exact for any count.
std::string Share(std::int32_t count, std::int32_t divisor, int places) {
    if (divisor == 0) return {};
    const double hundredfold = static_cast<double>(std::int64_t{count} * 100);
    return Rounded(hundredfold / divisor, places) + "%";
}

}  // namespace

ResultTextList ResultTexts(const SimulationState& s) {
    const std::int32_t g = s.GameCount;
    // The sum of two counts that each stay within the game count.
    const std::int32_t bigs = static_cast<std::int32_t>(std::int64_t{s.CntNBIG} + s.CntHBIG);
    return {{
        FormatNumber(bigs),                                               // TexD_BIG
        FormatNumber(s.CntHBIG),                                          // TexD_HBIG
        FormatNumber(s.CntNBIG),                                          // TexD_NBIG
        FormatNumber(s.CntREG),                                           // TexD_REG
        FormatNumber(s.CntARGames),                                       // TexD_AR
        Frequency(g, bigs),                                               // LabP_BIG
        Share(s.CntHBIG, bigs, 2),                                        // LabP_HBIG
        Share(s.CntNBIG, bigs, 2),                                        // LabP_NBIG
        Frequency(g, s.CntREG),                                           // LabP_REG
        FormatNumber(s.CntAR150),                                         // TexD_AR150
        FormatNumber(s.CntAR1000),                                        // TexD_AR1000
        Share(s.CntAR150, bigs, 2),                                       // LabD_AR150
        Share(s.CntAR1000, bigs, 2),                                      // LabD_AR1000
        FormatNumber(s.LsBIG),                                            // TexD_BIG_LS
        FormatNumber(s.LsAR150),                                          // TexD_AR150_LS
        FormatNumber(s.LsAR1000),                                         // TexD_AR1000_LS
        FormatNumber(s.ARLeft),                                           // TexG_AR
        FormatNumber(s.RegStock),                                         // TexST_REG
        s.CntARGames == 0 ? std::string() : Share(s.CntARGames, g, 3),    // LabP_AR
        g < kVirtualOutLimit ? Rounded(s.VirtualOut, 0) : std::string(),  // TexOUT
        Rounded(s.Payout, 3),                                             // TexPAY
    }};
}

}  // namespace taviro
