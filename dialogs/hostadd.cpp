#include "dialogs/hostadd.h"

#include "dialogs/DialogFont.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLabel *Caption(QWidget *parent, const QString &text, QPoint at)
{
    auto *label = new QLabel(text, parent);
    label->setFont(JapaneseFont(13));
    label->move(at);
    label->adjustSize();
    return label;
}

} // namespace

THostAddDlg::THostAddDlg(QWidget *AOwner) : TModalDialog(QSize(313, 113), AOwner)
{
    setWindowTitle(QStringLiteral("ホストの追加"));
    OKBtn = AddButton(QStringLiteral("OK"), QRect(79, 84, 75, 25), mrOk);
    CancelBtn = AddButton(QStringLiteral("ｷｬﾝｾﾙ"), QRect(167, 84, 75, 25), mrCancel);
    HostNameEdit = new QLineEdit(this);
    HostNameEdit->setGeometry(160, 12, 121, 20);
    Label2 = Caption(this, QStringLiteral("備　　　考"), QPoint(16, 48));
    Label1 = Caption(this, QStringLiteral("ホスト名またはIPアドレス"), QPoint(16, 16));
    NoteEdit = new QLineEdit(this);
    NoteEdit->setGeometry(80, 44, 201, 20);
    // No limit on what may be typed.
    HostNameEdit->setMaxLength(32767);
    NoteEdit->setMaxLength(32767);

    OKBtn->setDefault(true);
    setTabOrder(HostNameEdit, OKBtn);
    setTabOrder(OKBtn, CancelBtn);
    setTabOrder(CancelBtn, NoteEdit);
    HostNameEdit->setFocus();
}
