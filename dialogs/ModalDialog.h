#pragma once

#include <QDialog>

class QPushButton;

// A fixed-size dialog with the OK (result 1) and Cancel (result 2) buttons;
// closing it any other way also gives 2.
class TModalDialog : public QDialog {
    Q_OBJECT

public:
    enum ModalResult { mrOk = 1, mrCancel = 2 };

    void reject() override { done(mrCancel); }

protected:
    TModalDialog(const QSize &clientSize, QWidget *parent);
    QPushButton *AddButton(const QString &caption, const QRect &geometry, ModalResult result);
    void showEvent(QShowEvent *event) override;
};
