#include "gui/picture/resize_dialog.h"

#include "common/leading_number.h"
#include "gui/app/exception_hook.h"
#include "gui/app/frame.h"
#include "gui/app/help_pages.h"
#include "gui/app/hourglass.h"
#include "gui/picture/picture_dialog_frame.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/twisted_pixel.h"
#include "imaging/image_operations.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>

TfrmResize::TfrmResize(TCorvaneFrame& frame, TfrmPicture& target) : frame_(frame), target_(&target)
{
    setObjectName(QStringLiteral("frmResize"));
    setWindowTitle(QStringLiteral("Resize"));
    corvane::gui::setHelpPage(*this, QStringLiteral("dialogs.html"));
    auto* label = new QLabel(QStringLiteral("Ratio"), this);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setGeometry(10, 12, 40, 21);
    Edit1 = new QLineEdit(QStringLiteral("1"), this);
    Edit1->setGeometry(56, 12, 105, 21);
    Button1 = new QPushButton(QStringLiteral("Resize"), this);
    Button1->setGeometry(8, 45, 75, 25);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setGeometry(88, 45, 75, 25);
    connect(Button1, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmResize::Button1Click));
    connect(Button2, &QPushButton::clicked, this,
            corvane::gui::guardedCall(this, &TfrmResize::Button2Click));
    corvane::gui::placePictureDialog(frame_, *this, QSize(171, 78), target);
}

void TfrmResize::Button1Click()
{
    TfrmPicture* target = target_;
    if (!target)
        return;
    const double ratio = corvane::leadingNumber(Edit1->text().toStdString(), false);
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
    if (QMdiSubWindow* window = qobject_cast<QMdiSubWindow*>(parentWidget()))
        window->close();
}

void TfrmResize::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Button1->click();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        Button2->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
