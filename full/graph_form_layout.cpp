#include "full/graph_form_layout.h"

namespace taviro {
namespace {

using K = ControlKind;

constexpr ControlLayout kControls[] = {
    {"Label3", -1, K::Label, "", "純増枚数", 360, 240, 855, 375},
    {"Label5", -1, K::FitLabel, "", "換金率(枚/100円）", 1320, 240, 1410, 180},
    {"Label6", -1, K::FitLabel, "", "投資金額", 3000, 240, 720, 180},
    {"Label7", -1, K::FitLabel, "", "最終出玉", 4200, 240, 720, 180},
    {"Label8", -1, K::FitLabel, "", "収支", 5400, 240, 360, 180},
    {"TexKankin", -1, K::ComboBox, "", "5", 2040, 480, 615, 300, "5|6|7|7.6|8"},
    {"LabMin", -1, K::FitLabel, "", "", 3120, 480, 60, 180},
    {"LabOUT", -1, K::FitLabel, "", "", 4320, 480, 60, 180},
    {"LabPlus", -1, K::FitLabel, "", "", 5280, 480, 60, 180},
    {"Comonemore", -1, K::Button, "", "再実行", 9840, 240, 1095, 375},
    {"Label4", -1, K::Label, "", "プレイ数", 10560, 5040, 735, 255},
    {"Label1", -1, K::Label, "", "0", 720, 4920, 135, 255},
    {"Label2", 3, K::Label, "", "8000", 480, 960, 375, 375},
    {"Label2", 2, K::Label, "", "6000", 480, 1920, 375, 375},
    {"Label2", 1, K::Label, "", "4000", 480, 3000, 375, 375},
    {"Label2", 0, K::Label, "", "2000", 480, 3960, 375, 375},
    {"Label2", 4, K::Label, "", "-2000", 480, 5880, 495, 375},
    {"Label2", 5, K::Label, "", "-4000", 480, 6960, 495, 375},
    {"Label2", 6, K::Label, "", "-6000", 480, 7920, 495, 375},
    {"Label2", 7, K::Label, "", "2000", 3000, 5040, 375, 375},
    {"Label2", 8, K::Label, "", "4000", 5000, 5040, 375, 375},
    {"Label2", 9, K::Label, "", "6000", 7000, 5040, 375, 375},
    {"Label2", 10, K::Label, "", "8000", 9000, 5040, 375, 375},
    {"Line1", 4, K::DashedLine, "", "", 1000, 1000, 11000, 1000},
    {"Line3", -1, K::DashedLine, "", "", 1000, 2000, 11000, 2000},
    {"Line1", 0, K::DashedLine, "", "", 1000, 3000, 11000, 3000},
    {"Line1", 3, K::DashedLine, "", "", 1000, 4000, 11000, 4000},
    {"Line1", 2, K::SolidLine, "", "", 1000, 5000, 11000, 5000},
    {"Line1", 1, K::DashedLine, "", "", 1000, 6000, 11000, 6000},
    {"Line1", 5, K::DashedLine, "", "", 1000, 7000, 11000, 7000},
    {"Line1", 6, K::DashedLine, "", "", 1000, 8000, 11000, 8000},
    {"Line2", -1, K::SolidLine, "", "", 1000, 360, 1000, 8500},
};

constexpr std::string_view kFocusOrder[] = {"Comonemore", "TexKankin"};

constexpr AccessibleName kAccessibleNames[] = {
    {"TexKankin", "換金率"},
    {"LabMin", "投資金額"},
    {"LabOUT", "最終出玉"},
    {"LabPlus", "収支"},
};

constexpr FormLayout kGraphForm = {
    "GRPH", "Taviro　スランプグラフ", 11370, 8715, kControls, kFocusOrder, kAccessibleNames,
};

}  // namespace

const FormLayout& GraphFormLayout() {
    return kGraphForm;
}

}  // namespace taviro
