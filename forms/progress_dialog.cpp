#include "forms/progress_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/message_box.h"
#include "forms/form_builder.h"

namespace taviro {

ProgressDialog::ProgressDialog(QWidget& owner, const TaskTexts& task)
    : QDialog(&owner), cancellable_(task.cancellable) {
    setObjectName(QStringLiteral("ProgressDialog"));
    setWindowTitle(ToQString(kProgramTitle));
    setWindowModality(Qt::WindowModal);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    if (!cancellable_) setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint);

    auto* layout = new QVBoxLayout(this);
    heading_ = new QLabel(ToQString(task.heading), this);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    bar_->setAccessibleName(QStringLiteral("進み具合"));
    share_ = new QLabel(this);
    pace_ = new QLabel(this);
    timeLeft_ = new QLabel(this);
    share_->setObjectName(QStringLiteral("share"));
    pace_->setObjectName(QStringLiteral("pace"));
    timeLeft_->setObjectName(QStringLiteral("timeLeft"));
    for (QWidget* w : {static_cast<QWidget*>(heading_), static_cast<QWidget*>(bar_),
                       static_cast<QWidget*>(share_), static_cast<QWidget*>(pace_),
                       static_cast<QWidget*>(timeLeft_)}) {
        layout->addWidget(w);
    }
    if (cancellable_) {
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
        cancel_ = buttons->button(QDialogButtonBox::Cancel);
        cancel_->setText(QStringLiteral("キャンセル"));
        connect(buttons, &QDialogButtonBox::rejected, this, &ProgressDialog::reject);
        layout->addWidget(buttons);
    }
    setMinimumWidth(360);
}

void ProgressDialog::ShowProgress(int percent, const ProgressLines& lines) {
    bar_->setValue(percent);
    share_->setText(QString::fromStdString(lines.share));
    pace_->setText(QString::fromStdString(lines.pace));
    timeLeft_->setText(QString::fromStdString(lines.timeLeft));
}

void ProgressDialog::reject() {
    // The dialog closes when its task has ended, not before.
    if (!cancellable_ || cancelling_) return;
    cancelling_ = true;
    heading_->setText(ToQString(kCancellingHeading));
    cancel_->setEnabled(false);
    emit CancelRequested();
}

}  // namespace taviro
