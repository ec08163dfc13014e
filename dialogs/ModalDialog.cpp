#include "dialogs/ModalDialog.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

TModalDialog::TModalDialog(const QSize &clientSize, QWidget *parent) : QDialog(parent)
{
    setFixedSize(clientSize);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

QPushButton *TModalDialog::AddButton(const QString &caption, const QRect &geometry, ModalResult result)
{
    auto *button = new QPushButton(caption, this);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    return button;
}

// Centred on the screen, as the dialogs have always opened.
void TModalDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - frameGeometry().center() + pos());
}
