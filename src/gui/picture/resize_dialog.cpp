#include "gui/picture/resize_dialog.h"

#include "common/leading_number.h"
#include "gui/app/exception_hook.h"
#include "gui/app/help_pages.h"
#include "gui/app/hourglass.h"
#include "gui/app/window_frame.h"
#include "gui/picture/picture_dialog_frame.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/twisted_pixel.h"
#include "imaging/image_operations.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>

TfrmResize::TfrmResize(corvane::gui::WindowFrame& frame, TfrmPicture& target)
    : frame_(frame), target_(&target)
{
    setObjectName(QStringLiteral("frmResize"));
    setWindowTitle(QStringLiteral("Resize"));
    corvane::gui::setHelpPage(*this, QStringLiteral("dialogs.html"));
    auto* label = new QLabel(QStringLiteral("Ratio"), this);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setGeometry(10, 12, 40, 21);
    ratioEdit_ = new QLineEdit(QStringLiteral("1"), this);
    ratioEdit_->setGeometry(56, 12, 105, 21);
    resizeButton_ = new QPushButton(QStringLiteral("Resize"), this);
    resizeButton_->setGeometry(8, 45, 75, 25);
    resizeButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setGeometry(88, 45, 75, 25);
    connect(resizeButton_, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmResize::Button1Click));
    connect(cancelButton_, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmResize::Button2Click));
    corvane::gui::placePictureDialog(frame_, *this, QSize(171, 78), target);
}

void TfrmResize::Button1Click()
{
    TfrmPicture* target = target_;
    if (!target)
        return;
    const double ratio = corvane::leadingNumber(ratioEdit_->text().toStdString(), false);
    if (!(ratio > 0))
        return;
    {
        corvane::gui::Hourglass busy;
        target->TP->Process([ratio](const corvane::imaging::Picture& p) {
            return corvane::imaging::resizeImage(p, ratio);
        });
    }
    target->FormResize();
}

void TfrmResize::Button2Click()
{
    corvane::gui::closePictureDialog(*this);
}

void TfrmResize::keyPressEvent(QKeyEvent* event)
{
    if (!corvane::gui::pressDialogKey(*event, resizeButton_, cancelButton_))
        QWidget::keyPressEvent(event);
}
