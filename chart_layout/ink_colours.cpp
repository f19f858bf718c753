#include "chart_layout/ink_colours.h"

namespace taviro::stats {

Rgba InkRgba(Ink ink) {
    switch (ink) {
        case Ink::Text:
            return {0x22, 0x22, 0x22};
        case Ink::Muted:
            return {0x55, 0x55, 0x55};
        case Ink::Grid:
            return {0xe4, 0xe4, 0xe4};
        case Ink::Frame:
            return {0x99, 0x99, 0x99};
        case Ink::Zero:
            return {0x00, 0x00, 0x00};
        case Ink::Median:
            return {0x00, 0x72, 0xb2};  // blue
        case Ink::InnerBand:
            return {0x56, 0xb4, 0xe9, 0xb0};  // sky blue
        case Ink::OuterBand:
            return {0x56, 0xb4, 0xe9, 0x50};
        case Ink::Behind:
            return {0xd5, 0x5e, 0x00};  // vermilion
        case Ink::Ahead:
            return {0x00, 0x72, 0xb2};
        case Ink::Prior:
            return {0xbb, 0xbb, 0xbb};
        case Ink::Posterior:
            return {0x00, 0x72, 0xb2};
    }
    return {};
}

}  // namespace taviro::stats
