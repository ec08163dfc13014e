#pragma once

#include "dialogs/ModalDialog.h"

class QLabel;
class QPushButton;

// Shows a one-line notice, or asks a yes/no question.
class TInfoDlg : public TModalDialog {
    Q_OBJECT

public:
    explicit TInfoDlg(QWidget *AOwner = nullptr);

    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Image1;
};
