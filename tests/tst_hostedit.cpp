// Adding, modifying, deleting and selecting host rows, and their order.
#include "dialogs/hostadd.h"
#include "dialogs/info.h"
#include "monitor/HostOrder.h"
#include "monitor/MonitorSettings.h"
#include "monitor/main.h"
#include "platform/Application.h"
#include "platform/Cp932.h"
#include "tests/support/ScriptedPlatform.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using Rows = QList<QStringList>;

namespace {

using platform::Application;

// Writes host rows (host, note) straight into the table, unsorted.
void SetHosts(TMainForm &form, const Rows &hosts)
{
    platform::TStringGrid &grid = *form.MainViewSGrid;
    grid.SetRowCount(static_cast<int>(hosts.size()) + 2);
    for (int row = 1; row <= hosts.size(); ++row) {
        grid.SetCell(3, row, platform::ToCp932(hosts[row - 1][0]));
        grid.SetCell(4, row, platform::ToCp932(hosts[row - 1].value(1)));
    }
}

Rows Hosts(TMainForm &form, int firstColumn = 3)
{
    Rows rows;
    for (int row = 1; row < form.MainViewSGrid->RowCount() - 1; ++row) {
        QStringList cells;
        for (int column = firstColumn; column <= 4; ++column)
            cells << platform::FromCp932(form.MainViewSGrid->Cell(column, row));
        rows << cells;
    }
    return rows;
}

void AnswerHost(const QString &host, const QString &note, int result = 1)
{
    Application::AnswerNextModal([=](QDialog &dialog) {
        auto &hostDialog = dynamic_cast<THostAddDlg &>(dialog);
        hostDialog.HostNameEdit->setText(host);
        hostDialog.NoteEdit->setText(note);
        return result;
    });
}

// Answers the next information dialog and keeps what it showed.
void AnswerInfo(int result, QString *message = nullptr)
{
    Application::AnswerNextModal([=](QDialog &dialog) {
        if (message)
            *message = dynamic_cast<TInfoDlg &>(dialog).Label2->text();
        return result;
    });
}

QPoint CellCentre(TMainForm &form, int column, int row)
{
    const QModelIndex index = form.MainViewSGrid->model()->index(row - 1, column);
    return form.MainViewSGrid->visualRect(index).center();
}

void ClickCell(TMainForm &form, int column, int row)
{
    QTest::mouseClick(form.MainViewSGrid->viewport(), Qt::LeftButton, {}, CellCentre(form, column, row));
}

QWidget *NextTabStop(QWidget *widget)
{
    QWidget *next = widget->nextInFocusChain();
    while (next != widget && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

// How many of the modify and delete buttons are enabled: always both or none.
int EditButtonsEnabled(TMainForm &form)
{
    return int(form.ModHostBtn->isEnabled()) + int(form.DelHostBtn->isEnabled());
}

} // namespace

class TestHostEdit : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        MonitorSettings = TMonitorSettings{};
        MonitorSettings.pingWait = 0;
        Application::StartRecording();
    }
    void cleanup() { Application::StopRecording(); }

    void byteOrder_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::addColumn<bool>("greater");
        QTest::newRow("digits by byte, not value") << "10.0.0.2"
                                                   << "10.0.0.10" << true;
        QTest::newRow("upper case before lower") << "alpha"
                                                 << "Zeta" << true;
        QTest::newRow("prefix first") << "host"
                                      << "hos" << true;
        QTest::newRow("prefix not greater") << "hos"
                                            << "host" << false;
        QTest::newRow("ASCII before Japanese") << "ホスト"
                                               << "zzz" << true;
        QTest::newRow("equal") << "same"
                               << "same" << false;
        QTest::newRow("empty first") << "a"
                                     << "" << true;
    }

    void byteOrder()
    {
        QFETCH(QString, left);
        QFETCH(QString, right);
        QFETCH(bool, greater);
        QCOMPARE(HostTextGreater(platform::ToCp932(left), platform::ToCp932(right)), greater);
    }

    void everyCommandSorts_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("add, cancelled") << "add";
        QTest::newRow("add with an empty name") << "add empty";
        QTest::newRow("modify, cancelled") << "modify";
        QTest::newRow("delete, cancelled") << "delete";
    }

    // Equal hosts end in the order the exchanges leave them.
    void everyCommandSorts()
    {
        QFETCH(QString, command);
        TMainForm form;
        SetHosts(form, {{"b", "first"}, {"b", "second"}, {"a", ""}, {"10.0.0.2", ""}, {"10.0.0.10", ""}});
        form.SelectedRow = 1;
        if (command == "add")
            AnswerHost("ignored", "", 2);
        else if (command == "add empty")
            AnswerHost("", "dropped note");
        else if (command == "modify")
            AnswerHost("ignored", "", 2);
        else
            AnswerInfo(2);
        if (command.startsWith("add"))
            form.AddHostBtn->click();
        else if (command == "modify")
            form.ModHostBtnClick(form.ModHostBtn);
        else
            form.DelHostBtnClick(form.DelHostBtn);
        QCOMPARE(Hosts(form), (Rows{{"10.0.0.10", ""}, {"10.0.0.2", ""}, {"a", ""}, {"b", "second"}, {"b", "first"}}));
        const QStringList expected =
            command == "add empty"
                ? QStringList{"message: ホストを登録するにはホスト名またはIPアドレスを入力して下さい"}
                : QStringList{};
        QCOMPARE(Application::Messages(), expected);
    }

    void addThroughTheRealDialog()
    {
        TMainForm form;
        SetHosts(form, {{"m.example", ""}});
        QString caption;
        bool hostFieldFocused = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<THostAddDlg *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            caption = dialog->windowTitle();
            hostFieldFocused = QApplication::focusWidget() == dialog->HostNameEdit;
            QTest::keyClicks(dialog->HostNameEdit, "a.example");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClicks(QApplication::focusWidget(), "rack 2");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        Application::StopRecording();
        form.AddHostBtn->click();
        QCOMPARE(caption, QString("ホストの追加"));
        QVERIFY(hostFieldFocused);
        QCOMPARE(Hosts(form), (Rows{{"a.example", "rack 2"}, {"m.example", ""}}));
        QCOMPARE(form.MainViewSGrid->RowCount(), 4);
    }

    void hostDialogLayout()
    {
        THostAddDlg dialog;
        QCOMPARE(dialog.size(), QSize(313, 113));
        QCOMPARE(dialog.OKBtn->geometry(), QRect(79, 84, 75, 25));
        QCOMPARE(dialog.CancelBtn->geometry(), QRect(167, 84, 75, 25));
        QCOMPARE(dialog.HostNameEdit->geometry(), QRect(160, 12, 121, 20));
        QCOMPARE(dialog.NoteEdit->geometry(), QRect(80, 44, 201, 20));
        QCOMPARE(dialog.CancelBtn->text(), QString("ｷｬﾝｾﾙ"));
        QCOMPARE(dialog.Label2->text(), QString("備　　　考"));
        QVERIFY(dialog.OKBtn->isDefault());
        QCOMPARE(NextTabStop(dialog.HostNameEdit), dialog.OKBtn);
        QCOMPARE(NextTabStop(dialog.OKBtn), dialog.CancelBtn);
        QCOMPARE(NextTabStop(dialog.CancelBtn), dialog.NoteEdit);
        QCOMPARE(NextTabStop(dialog.NoteEdit), dialog.HostNameEdit);
        QTimer::singleShot(0, [&] {
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            QCOMPARE(QApplication::focusWidget(), dialog.HostNameEdit);
            QTest::keyClick(dialog.HostNameEdit, Qt::Key_Escape);
        });
        QCOMPARE(dialog.exec(), 2);
    }

    void addedTextsKeptExactly_data()
    {
        QTest::addColumn<QString>("host");
        QTest::newRow("spaces only") << "   ";
        QTest::newRow("surrounding spaces and case") << " Host.Example ";
        QTest::newRow("half-width katakana") << "ｷｬﾝｾﾙ";
    }

    void addedTextsKeptExactly()
    {
        QFETCH(QString, host);
        TMainForm form;
        AnswerHost(host, "note");
        form.AddHostBtn->click();
        QCOMPARE(Hosts(form), (Rows{{host, "note"}}));
    }

    void textOutsideTheCodePageRefused()
    {
        TMainForm form;
        SetHosts(form, {{"a", "n"}});
        AnswerHost("host😀", "");
        form.AddHostBtn->click();
        form.SelectedRow = 1;
        AnswerHost("a", "備考😀");
        form.ModHostBtnClick(form.ModHostBtn);
        QCOMPARE(Hosts(form), (Rows{{"a", "n"}}));
        QCOMPARE(Application::Messages().size(), 2);
        QVERIFY(Application::Messages()[0].startsWith("message: ホスト名または備考に"));
    }

    void fullTable_data()
    {
        QTest::addColumn<int>("hosts");
        QTest::newRow("255 hosts: the 256th is added") << 255;
        QTest::newRow("256 hosts: the notice") << 256;
    }

    void fullTable()
    {
        QFETCH(int, hosts);
        TMainForm form;
        Rows rows;
        for (int i = hosts; i >= 1; --i) // descending, so a sort would show
            rows << QStringList{QString("h%1").arg(i, 3, 10, QChar('0')), ""};
        SetHosts(form, rows);
        if (hosts == 255) {
            AnswerHost("new", "");
            form.AddHostBtn->click();
            QCOMPARE(form.MainViewSGrid->RowCount(), MaxHosts + 2);
            QCOMPARE(Hosts(form).last(), (QStringList{"new", ""}));
            return;
        }
        QString message, caption;
        bool cancelShown = true;
        int okLeft = 0;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<TInfoDlg *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            message = dialog->Label2->text();
            caption = dialog->windowTitle();
            cancelShown = dialog->CancelBtn->isVisible();
            okLeft = dialog->OKBtn->x();
            dialog->OKBtn->click();
        });
        Application::StopRecording();
        form.AddHostBtn->click();
        QCOMPARE(message, QString("ホストの登録数は 256件までです。"));
        QCOMPARE(caption, QString("インフォメーション"));
        QVERIFY(!cancelShown);
        QCOMPARE(okLeft, 120);
        QCOMPARE(Hosts(form), rows);
    }

    void modifyKeepsResultsAndDisablesButtons()
    {
        TMainForm form;
        SetHosts(form, {{"a", "1"}, {"c", "3"}});
        form.MainViewSGrid->SetCell(0, 1, "2");
        form.MainViewSGrid->SetCell(1, 1, "3");
        form.MainViewSGrid->SetCell(2, 1, "10.0.0.1");
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        ClickCell(form, 3, 1);
        QCOMPARE(EditButtonsEnabled(form), 2);
        QString shownHost;
        Application::AnswerNextModal([&](QDialog &dialog) {
            auto &hostDialog = dynamic_cast<THostAddDlg &>(dialog);
            shownHost = hostDialog.HostNameEdit->text();
            hostDialog.HostNameEdit->setText("z");
            return 1;
        });
        form.ModHostBtn->click();
        QCOMPARE(shownHost, QString("a"));
        QCOMPARE(Hosts(form, 0), (Rows{{"", "", "", "c", "3"}, {"2", "3", "10.0.0.1", "z", "1"}}));
        QCOMPARE(EditButtonsEnabled(form), 0);
    }

    void deleteShiftsWholeRows_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<Rows>("left");
        QTest::newRow("middle row") << 2 << Rows{{"1", "1", "x", "a", "n1"}, {"0", "1", "y", "c", "n3"}};
        QTest::newRow("last row") << 3 << Rows{{"1", "1", "x", "a", "n1"}, {"", "", "", "b", "n2"}};
        QTest::newRow("first row") << 1 << Rows{{"", "", "", "b", "n2"}, {"0", "1", "y", "c", "n3"}};
    }

    void deleteShiftsWholeRows()
    {
        QFETCH(int, row);
        QFETCH(Rows, left);
        TMainForm form;
        SetHosts(form, {{"a", "n1"}, {"b", "n2"}, {"c", "n3"}});
        for (const auto &[r, cells] :
             {std::pair{1, QStringList{"1", "1", "x"}}, std::pair{3, QStringList{"0", "1", "y"}}})
            for (int column = 0; column < 3; ++column)
                form.MainViewSGrid->SetCell(column, r, cells[column].toStdString());
        form.SelectedRow = row;
        form.ModHostBtn->setEnabled(true);
        form.DelHostBtn->setEnabled(true);
        QString message;
        AnswerInfo(1, &message);
        form.DelHostBtn->click();
        QCOMPARE(message, QString("%1を削除してもいいですか？").arg(QChar('a' + row - 1)));
        QCOMPARE(Hosts(form, 0), left);
        QCOMPARE(form.MainViewSGrid->RowCount(), 4);
        QCOMPARE(form.MainViewSGrid->Rows(3), std::vector<std::string>(6));
        QCOMPARE(EditButtonsEnabled(form), 0);
    }

    void deleteThroughTheRealDialog()
    {
        TMainForm form;
        SetHosts(form, {{"only", ""}});
        form.SelectedRow = 1;
        bool cancelShown = false;
        int okLeft = 0;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<TInfoDlg *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            cancelShown = dialog->CancelBtn->isVisible();
            okLeft = dialog->OKBtn->x();
            QVERIFY(dialog->Label1->isHidden());
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        Application::StopRecording();
        form.DelHostBtnClick(form.DelHostBtn);
        QVERIFY(cancelShown);
        QCOMPARE(okLeft, 79);
        QCOMPARE(form.MainViewSGrid->RowCount(), 2);
    }

    void cancelledDeleteKeepsSelection()
    {
        TMainForm form;
        SetHosts(form, {{"a", ""}, {"b", ""}});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        ClickCell(form, 3, 2);
        AnswerInfo(2);
        form.DelHostBtn->click();
        QCOMPARE(Hosts(form).size(), 2);
        QCOMPARE(EditButtonsEnabled(form), 2);
        QCOMPARE(form.SelectedRow, 2);
    }

    void selectionOffersCells()
    {
        TMainForm form;
        SetHosts(form, {{"a", ""}, {"b", "note"}});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        ClickCell(form, 4, 1); // an empty note
        QCOMPARE(EditButtonsEnabled(form), 0);
        QCOMPARE(form.SelectedRow, 0);
        ClickCell(form, 4, 2);
        QCOMPARE(EditButtonsEnabled(form), 2);
        QCOMPARE(form.SelectedRow, 2);
        ClickCell(form, 3, 3); // the blank row
        QCOMPARE(form.SelectedRow, 2);
        QCOMPARE(form.MainViewSGrid->Row(), 2);
        // Before a sweep column 0 is empty, so keys cannot move the row.
        form.MainViewSGrid->setFocus();
        QTest::keyClick(form.MainViewSGrid, Qt::Key_Up);
        QCOMPARE(form.SelectedRow, 2);
        QCOMPARE(form.MainViewSGrid->Row(), 2);
        form.MainViewSGrid->SetCell(0, 1, "1");
        QTest::keyClick(form.MainViewSGrid, Qt::Key_Up);
        QCOMPARE(form.SelectedRow, 1);
    }

    void informationSign()
    {
        TInfoDlg dialog;
        const QImage sign = dialog.Image1->pixmap().toImage();
        QCOMPARE(sign.size(), QSize(30, 30));
        QCOMPARE(dialog.Image1->geometry(), QRect(8, 8, 30, 30));
        QCOMPARE(qAlpha(sign.pixel(0, 29)), 0);
        QCOMPARE(qAlpha(sign.pixel(0, 0)), 0);
        QCOMPARE(QColor(sign.pixel(15, 0)), QColor(Qt::black)); // the outline
        QCOMPARE(QColor(sign.pixel(7, 15)), QColor(Qt::yellow));
        QCOMPARE(QColor(sign.pixel(14, 7)), QColor(Qt::black)); // the dot of the i
        QCOMPARE(QColor(sign.pixel(14, 10)), QColor(Qt::yellow));
        QCOMPARE(QColor(sign.pixel(14, 18)), QColor(Qt::black)); // its stem
    }

    // Rows moved during a sweep carry their state: later reports land with
    // their host, and a deleted host's reports are dropped.
    void editsDuringSweep()
    {
        ScriptedPlatform platform;
        MonitorSettings.pingCount = 2;
        TMainForm form;
        SetHosts(form, {{"10.0.0.5", ""}, {"10.0.0.7", ""}});
        platform.Hold();
        form.RetrieveBtn->click();
        QTRY_COMPARE(platform.Sends().size(), size_t{2});

        AnswerHost("10.0.0.1", "");
        form.AddHostBtn->click(); // sorts in above both
        form.SelectedRow = 3;
        AnswerInfo(1);
        form.DelHostBtnClick(form.DelHostBtn); // 10.0.0.7
        platform.Release();
        QTRY_VERIFY(form.PendingCount == 0 && form.RetrieveBtn->isEnabled());

        QCOMPARE(Hosts(form, 0), (Rows{{"", "", "", "10.0.0.1", ""}, {"2", "2", "10.0.0.5", "10.0.0.5", ""}}));
        QCOMPARE(form.MainViewSGrid->Rows(3), std::vector<std::string>(6));
        QCOMPARE(form.AttemptCount[0], 0);
        QCOMPARE(form.AttemptCount[1], 2);

        // The next sweep covers the rows as they stand now.
        platform.Release();
        form.RetrieveBtn->click();
        QTRY_VERIFY(form.PendingCount == 0 && form.RetrieveBtn->isEnabled());
        QCOMPARE(Hosts(form, 0)[0], (QStringList{"2", "2", "10.0.0.1", "10.0.0.1", ""}));
    }
};

QTEST_MAIN(TestHostEdit)
#include "tst_hostedit.moc"
