#pragma once

#include "dialogs/ModalDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

// Asks for a host name or address and a note.
class THostAddDlg : public TModalDialog {
    Q_OBJECT

public:
    explicit THostAddDlg(QWidget *AOwner = nullptr);

    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    QLineEdit *HostNameEdit;
    QLabel *Label2;
    QLabel *Label1;
    QLineEdit *NoteEdit;
};
