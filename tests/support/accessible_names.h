// What a screen reader announces for each field of the main window, as both editions show it.
#pragma once

#include <QAccessible>
#include <QWidget>
#include <utility>

namespace taviro::test_support {

inline QString AccessibleText(QWidget* widget, QAccessible::Text text = QAccessible::Name) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible != nullptr ? accessible->text(text) : QString();
}

inline constexpr std::pair<const char*, const char*> kMainWindowNames[] = {
    {"Frame6", "設定とプレイ数"},
    {"Frame4", "詳細設定"},
    {"Frame5", "ＰＡＹＯＵＴ、出玉"},
    {"Frame1", "ボーナス状況"},
    {"Frame2", "ＢＩＧの詳細"},
    {"Frame3", "シミュレート終了直後の状態"},
    {"Combo1", "設定"},
    {"TexGAME", "シミュレートゲーム数"},
    {"ComStart", "シミュレート実行"},
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

// Every field of the table is announced by its name, also after a run has filled it.
inline void CheckMainWindowNames(const QWidget& window) {
    for (const auto& [control, name] : kMainWindowNames) {
        QWidget* widget = window.findChild<QWidget*>(QString::fromLatin1(control));
        QVERIFY2(widget != nullptr, control);
        QCOMPARE(AccessibleText(widget), QString::fromUtf8(name));
    }
}

}  // namespace taviro::test_support
