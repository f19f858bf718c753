#include "core/parameters.h"
#include "forms/form_layout.h"

namespace taviro {
namespace {

using K = ControlKind;

constexpr ControlLayout kControls[] = {
    // Frame6 "設定とプレイ数"
    {"Frame6", -1, K::Frame, "", "設定とプレイ数", 360, 360, 4815, 1215},
    {"Label20", -1, K::Label, "Frame6", "設定", 360, 360, 375, 255},
    {"Combo1", -1, K::ComboBox, "Frame6", "1", 480, 600, 615, 300, "1|2|3|4|5|6"},
    {"Label6", -1, K::Label, "Frame6", "シミュレートゲーム数", 1440, 360, 1695, 255},
    {"TexGAME", -1, K::TextField, "Frame6", kParameterDefaults.TexGAME, 1680, 600, 1095, 270},
    {"ComStart", -1, K::Button, "Frame6", "シミュレート実行", 3240, 360, 1455, 495},
    // Frame4 "詳細設定"
    {"Frame4", -1, K::Frame, "", "詳細設定", 360, 1680, 4815, 3735},
    {"Label7", -1, K::Label, "Frame4", "ＢＩＧ確率", 480, 360, 1095, 255},
    {"Label19", 0, K::Label, "Frame4", "1/", 720, 645, 255, 255},
    {"TexBIG", -1, K::TextField, "Frame4", kParameterDefaults.TexBIG, 960, 600, 735, 270},
    {"Label8", -1, K::Label, "Frame4", "ＲＥＧ確率", 2640, 360, 1095, 255},
    {"Label19", 1, K::Label, "Frame4", "1/", 2880, 645, 255, 255},
    {"TexREG", -1, K::TextField, "Frame4", kParameterDefaults.TexREG, 3120, 600, 735, 270},
    {"Label15", -1, K::Label, "Frame4", "ノーマルＢＩＧ獲得枚数", 480, 1200, 1695, 255},
    {"TexNBIG", -1, K::TextField, "Frame4", kParameterDefaults.TexNBIG, 720, 1560, 855, 270},
    {"Label18", 0, K::Label, "Frame4", "枚", 1680, 1560, 375, 255},
    {"Label16", -1, K::Label, "Frame4", "ハイパーＢＩＧ獲得枚数", 480, 1920, 1935, 255},
    {"TexHBIG", -1, K::TextField, "Frame4", kParameterDefaults.TexHBIG, 720, 2280, 855, 270},
    {"Label18", 1, K::Label, "Frame4", "枚", 1680, 2280, 375, 255},
    {"Label17", -1, K::Label, "Frame4", "ＲＥＧ獲得枚数", 480, 2640, 1215, 255},
    {"TexREGOUT", -1, K::TextField, "Frame4", kParameterDefaults.TexREGOUT, 720, 3000, 855, 270},
    {"Label18", 2, K::Label, "Frame4", "枚", 1680, 3000, 375, 255},
    {"Label21", -1, K::Label, "Frame4", "通常時の小役期待値/ｐ", 2640, 1200, 1935, 255},
    {"TexN_BASE", -1, K::TextField, "Frame4", kParameterDefaults.TexN_BASE, 2880, 1560, 855, 270},
    {"Label18", 4, K::Label, "Frame4", "枚", 3840, 1560, 375, 255},
    {"Label22", -1, K::Label, "Frame4", "ＡＲ中の小役期待値/ｐ", 2640, 1920, 1935, 255},
    {"TexAR_BASE", -1, K::TextField, "Frame4", kParameterDefaults.TexAR_BASE, 2880, 2280, 855, 270},
    {"Label18", 3, K::Label, "Frame4", "枚", 3840, 2280, 375, 255},
    // Frame5 "ＰＡＹＯＵＴ、出玉"
    {"Frame5", -1, K::Frame, "", "ＰＡＹＯＵＴ、出玉", 360, 5520, 4815, 1455},
    {"Label23", -1, K::Label, "Frame5", "仮想出玉", 360, 360, 855, 255},
    {"TexOUT", -1, K::TextField, "Frame5", "", 2040, 360, 855, 270},
    {"Label18", 5, K::Label, "Frame5", "枚", 3000, 360, 375, 255},
    {"Label24", -1, K::Label, "Frame5", "仮想ＰＡＹＯＵＴ", 360, 840, 1215, 255},
    {"TexPAY", -1, K::TextField, "Frame5", "", 2040, 840, 855, 270},
    {"Label25", -1, K::Label, "Frame5", "％", 3000, 840, 255, 255},
    {"ComG", -1, K::Button, "Frame5", "スランプグラフ", 3360, 240, 1335, 465, {}, true},
    {"Command1", -1, K::Button, "Frame5", "データファイル", 3360, 840, 1335, 465, {}, true},
    // Frame1 "ボーナス状況"
    {"Frame1", -1, K::Frame, "", "ボーナス状況", 5400, 360, 4695, 4575},
    {"Label1", -1, K::Label, "Frame1", "トータルＢＩＧ回数", 360, 360, 1695, 255},
    {"TexD_BIG", -1, K::TextField, "Frame1", "", 600, 600, 1095, 270},
    {"LabP_BIG", -1, K::Label, "Frame1", "", 1920, 600, 975, 255},
    {"Label4", -1, K::Label, "Frame1", "ＲＥＧ回数", 360, 3240, 1335, 255},
    {"TexD_REG", -1, K::TextField, "Frame1", "", 600, 3480, 1095, 270},
    {"LabP_REG", -1, K::Label, "Frame1", "", 1920, 3480, 975, 255},
    {"Label5", -1, K::Label, "Frame1", "ＡＲゲーム数", 360, 3840, 1215, 255},
    {"TexD_AR", -1, K::TextField, "Frame1", "", 600, 4080, 1215, 270},
    {"LabP_AR", -1, K::Label, "Frame1", "", 1920, 4080, 975, 255},
    // Frame2 "ＢＩＧの詳細", inside Frame1
    {"Frame2", -1, K::Frame, "Frame1", "ＢＩＧの詳細", 600, 960, 3495, 2175},
    {"Label2", -1, K::Label, "Frame2", "ハイパーＢＩＧ", 240, 360, 1095, 255},
    {"TexD_HBIG", -1, K::TextField, "Frame2", "", 1440, 360, 975, 270},
    {"LabP_HBIG", -1, K::Label, "Frame2", "", 2520, 360, 615, 255},
    {"Label3", -1, K::Label, "Frame2", "ノーマルＢＩＧ", 240, 720, 1095, 255},
    {"TexD_NBIG", -1, K::TextField, "Frame2", "", 1440, 720, 975, 270},
    {"LabP_NBIG", -1, K::Label, "Frame2", "", 2520, 720, 615, 255},
    {"Line1", -1, K::DottedLine, "Frame2", "", 240, 1080, 3240, 1080},
    {"Label9", -1, K::Label, "Frame2", "AR150  ＢＩＧ", 240, 1320, 975, 255},
    {"TexD_AR150", -1, K::TextField, "Frame2", "", 1440, 1320, 975, 270},
    {"LabD_AR150", -1, K::Label, "Frame2", "", 2520, 1320, 735, 255},
    {"Label10", -1, K::Label, "Frame2", "AR1000 ＢＩＧ", 240, 1680, 975, 255},
    {"TexD_AR1000", -1, K::TextField, "Frame2", "", 1440, 1680, 975, 270},
    {"LabD_AR1000", -1, K::Label, "Frame2", "", 2520, 1680, 735, 255},
    // Frame3 "シミュレート終了直後の状態"
    {"Frame3", -1, K::Frame, "", "シミュレート終了直後の状態", 5400, 5040, 4695, 1935},
    {"Label14", -1, K::Label, "Frame3", "残りＡＲゲーム数", 360, 360, 1455, 255},
    {"TexG_AR", -1, K::TextField, "Frame3", "", 1800, 360, 615, 270},
    {"Label11", -1, K::Label, "Frame3", "ストック中のＢＩＧ", 360, 720, 1335, 255},
    {"TexD_BIG_LS", -1, K::TextField, "Frame3", "", 1680, 720, 495, 270},
    {"Label13", 0, K::Label, "Frame3", "ＡＲ150", 720, 1080, 615, 255},
    {"TexD_AR150_LS", -1, K::TextField, "Frame3", "", 1440, 1080, 495, 270},
    {"Label13", 1, K::Label, "Frame3", "ＡＲ1000", 720, 1440, 735, 255},
    {"TexD_AR1000_LS", -1, K::TextField, "Frame3", "", 1440, 1440, 495, 270},
    {"Label12", -1, K::Label, "Frame3", "ストック中のＲＥＧ", 2520, 720, 1335, 255},
    {"TexST_REG", -1, K::TextField, "Frame3", "", 3960, 720, 495, 270},
};

constexpr std::string_view kFocusOrder[] = {
    "Combo1",         "TexD_BIG",    "ComStart", "TexGAME",    "TexD_NBIG",   "TexD_HBIG",
    "TexD_AR150",     "TexD_AR1000", "TexD_AR",  "TexD_REG",   "TexD_BIG_LS", "TexD_AR150_LS",
    "TexD_AR1000_LS", "TexST_REG",   "TexG_AR",  "TexAR_BASE", "TexN_BASE",   "TexREGOUT",
    "TexHBIG",        "TexNBIG",     "TexREG",   "TexBIG",     "TexOUT",      "TexPAY",
    "ComG",           "Command1",
};

constexpr AccessibleName kAccessibleNames[] = {
    {"Combo1", "設定"},
    {"TexGAME", "シミュレートゲーム数"},
    {"TexBIG", "ＢＩＧ確率"},
    {"TexREG", "ＲＥＧ確率"},
    {"TexNBIG", "ノーマルＢＩＧ獲得枚数"},
    {"TexHBIG", "ハイパーＢＩＧ獲得枚数"},
    {"TexREGOUT", "ＲＥＧ獲得枚数"},
    {"TexN_BASE", "通常時の小役期待値/ｐ"},
    {"TexAR_BASE", "ＡＲ中の小役期待値/ｐ"},
    {"TexOUT", "仮想出玉"},
    {"TexPAY", "仮想ＰＡＹＯＵＴ"},
    {"TexD_BIG", "トータルＢＩＧ回数"},
    {"LabP_BIG", "トータルＢＩＧ回数の確率"},
    {"TexD_REG", "ＲＥＧ回数"},
    {"LabP_REG", "ＲＥＧ回数の確率"},
    {"TexD_AR", "ＡＲゲーム数"},
    {"LabP_AR", "ＡＲゲーム数の割合"},
    {"TexD_HBIG", "ハイパーＢＩＧ"},
    {"LabP_HBIG", "ハイパーＢＩＧの割合"},
    {"TexD_NBIG", "ノーマルＢＩＧ"},
    {"LabP_NBIG", "ノーマルＢＩＧの割合"},
    {"TexD_AR150", "AR150 ＢＩＧ"},
    {"LabD_AR150", "AR150 ＢＩＧの割合"},
    {"TexD_AR1000", "AR1000 ＢＩＧ"},
    {"LabD_AR1000", "AR1000 ＢＩＧの割合"},
    {"TexG_AR", "残りＡＲゲーム数"},
    {"TexD_BIG_LS", "ストック中のＢＩＧ"},
    {"TexD_AR150_LS", "ストック中のＢＩＧのうちＡＲ150"},
    {"TexD_AR1000_LS", "ストック中のＢＩＧのうちＡＲ1000"},
    {"TexST_REG", "ストック中のＲＥＧ"},
};

constexpr FormLayout kMainForm = {
    "Main", "Taviro　シミュレーション", 10305, 7380, kControls, kFocusOrder, kAccessibleNames,
};

}  // namespace

const FormLayout& MainFormLayout() {
    return kMainForm;
}

}  // namespace taviro
