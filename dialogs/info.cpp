#include "dialogs/info.h"

#include "dialogs/DialogFont.h"
#include "dialogs/InfoSign.h"

#include <QLabel>
#include <QPushButton>

TInfoDlg::TInfoDlg(QWidget *AOwner) : TModalDialog(QSize(313, 93), AOwner)
{
    OKBtn = AddButton(QStringLiteral("OK"), QRect(79, 60, 75, 25), mrOk);
    CancelBtn = AddButton(QStringLiteral("ｷｬﾝｾﾙ"), QRect(167, 60, 75, 25), mrCancel);
    Label1 = new QLabel(this);
    Label1->setFont(JapaneseFont(16));
    Label1->move(72, 8);
    Label2 = new QLabel(this);
    Label2->setGeometry(8, 32, 297, 12);
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Image1 = new QLabel(this);
    Image1->setGeometry(8, 8, 30, 30);
    Image1->setPixmap(InfoSign());

    OKBtn->setDefault(true);
    setTabOrder(OKBtn, CancelBtn);
    OKBtn->setFocus();
}
