// The application object: exception display, simple message box, modal showing.
#include "platform/Application.h"
#include "platform/Exception.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace {

struct SeenBox {
    QString Caption;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
};

// Reads the modal message box that the next call opens, then presses OK.
SeenBox &WatchNextBox(SeenBox &seen)
{
    QTimer::singleShot(0, [&seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen = {box->windowTitle(), box->text(), box->icon()};
        box->button(QMessageBox::Ok)->click();
    });
    return seen;
}

} // namespace

class TestApplication : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { platform::Application::StopRecording(); }

    void finalPeriod_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Japanese sentence") << "ファイル a は開けません"
                                           << "ファイル a は開けません.";
        QTest::newRow("ends in a Japanese stop") << "出来ませんでした。"
                                                 << "出来ませんでした。.";
        QTest::newRow("ends in a letter") << "General failure"
                                          << "General failure.";
        QTest::newRow("ends in a period") << "done."
                                          << "done.";
        QTest::newRow("ends in a sign before the period") << "what!"
                                                          << "what!";
        QTest::newRow("ends in a hyphen") << "a-"
                                          << "a-";
        QTest::newRow("ends in a slash") << "a/"
                                         << "a/.";
        QTest::newRow("empty") << ""
                               << "";
    }

    void finalPeriod()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(platform::WithFinalPeriod(message), shown);
    }

    void exceptionDisplayShowsErrorBox()
    {
        SeenBox seen;
        WatchNextBox(seen);
        platform::Application::ShowException(platform::Exception("'x' は整数ではありません"));
        QCOMPARE(seen.Caption, QString("Quorvel V0.99"));
        QCOMPARE(seen.Text, QString("'x' は整数ではありません."));
        QCOMPARE(seen.Icon, QMessageBox::Critical);
    }

    void simpleMessageBoxShowsInformation()
    {
        SeenBox seen;
        WatchNextBox(seen);
        platform::Application::ShowMessage("ホストを登録するには");
        QCOMPARE(seen.Caption, QString("Quorvel V0.99"));
        QCOMPARE(seen.Text, QString("ホストを登録するには"));
        QCOMPARE(seen.Icon, QMessageBox::Information);
    }

    void modalDialogRunsForReal()
    {
        QDialog dialog;
        QTimer::singleShot(0, [&dialog] {
            QCOMPARE(QApplication::activeModalWidget(), &dialog);
            dialog.done(2);
        });
        QCOMPARE(platform::Application::ShowModal(dialog), 2);
    }

    void recordingKeepsMessagesAndAnswersDialogs()
    {
        platform::Application::StartRecording();
        platform::Application::ShowMessage("one");
        platform::Guarded([] { throw platform::Exception("two"); })();
        QDialog dialog;
        platform::Application::AnswerNextModal([](QDialog &shown) {
            shown.setObjectName("answered");
            return 1;
        });
        QCOMPARE(platform::Application::ShowModal(dialog), 1);
        QCOMPARE(dialog.objectName(), QString("answered"));
        QCOMPARE(platform::Application::Messages(), (QStringList{"message: one", "error: two."}));
    }
};

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
