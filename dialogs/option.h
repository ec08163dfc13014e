#pragma once

#include "dialogs/ModalDialog.h"

#include <cstdint>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {
class TEdit;
}

// The options dialog: the eight settings in fields, each numeric field
// checked when the operator leaves it.
class TOptionDlg : public TModalDialog {
    Q_OBJECT

public:
    explicit TOptionDlg(QWidget *AOwner = nullptr);

    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    platform::TEdit *CountEdt;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    QLabel *Label6;
    platform::TEdit *WaitEdt;
    platform::TEdit *TOutEdt;
    platform::TEdit *PSizeEdt;
    platform::TEdit *TTLEdt;
    QFrame *Bevel1;
    QLabel *Label1;
    QFrame *Bevel2;
    QLabel *Label7;
    QCheckBox *AutoCBx;
    platform::TEdit *ATimeEdt;
    QLabel *Label8;
    QCheckBox *ExeCBx;
    QPushButton *Button1;

    void CountEdtExit(QObject *Sender);
    void FormCreate(QObject *Sender);
    void WaitEdtExit(QObject *Sender);
    void TOutEdtExit(QObject *Sender);
    void PSizeEdtExit(QObject *Sender);
    void TTLEdtExit(QObject *Sender);
    void ATimeEdtExit(QObject *Sender);
    void Button1Click(QObject *Sender);
    void AutoCBxClick(QObject *Sender);

private:
    bool RejectNonInteger(QLineEdit *Edit);
    void CheckRange(QLineEdit *Edit, int32_t Lo, int32_t Hi);
};
