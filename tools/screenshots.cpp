// Renders the README's pictures from the real window and dialogs on the
// offscreen platform: the window after a sweep over scripted echoes, then
// each dialog as its command opens it, cancelled at once.
// Usage: screenshots OUTPUT_DIRECTORY
#include "dialogs/hostadd.h"
#include "dialogs/info.h"
#include "dialogs/option.h"
#include "monitor/ControlFile.h"
#include "monitor/main.h"
#include "platform/Application.h"
#include "tests/support/ScriptedPlatform.h"
#include "tools/ScreenshotScene.h"
#include "tools/WindowPicture.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QPushButton>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <iostream>
#include <stdexcept>

namespace {

void Save(const QImage &picture, const QString &path)
{
    if (!picture.save(path, "PNG"))
        throw std::runtime_error("cannot write " + path.toStdString());
}

// Runs the event loop until the condition holds: the sweep's reports and
// completions arrive as posted events.
void WaitUntil(const std::function<bool()> &done, const char *what)
{
    QEventLoop loop;
    QTimer check;
    const QDeadlineTimer deadline(30000);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.exit(0);
        else if (deadline.hasExpired())
            loop.exit(1);
    });
    check.start(10);
    if (loop.exec() != 0)
        throw std::runtime_error(std::string("timed out waiting for ") + what);
}

void SelectHost(TMainForm &form, const std::string &host)
{
    platform::TStringGrid &grid = *form.MainViewSGrid;
    for (int row = 1; row < grid.RowCount() - 1; ++row)
        if (grid.Cell(3, row) == host) {
            const QRect cell = grid.visualRect(grid.model()->index(row - 1, 3));
            QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
            return;
        }
    throw std::runtime_error("no host row " + host);
}

// Presses a button whose command opens a dialog, pictures the dialog once it
// is up and cancels it, so the command changes nothing.
template <typename Dialog>
void SaveDialog(QAbstractButton *button, const QString &path)
{
    QImage picture;
    QTimer::singleShot(0, [&picture] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<Dialog *>(modal))
            picture = WindowPicture(*dialog);
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
    });
    button->click();
    if (picture.isNull())
        throw std::runtime_error(std::string("no ") + Dialog::staticMetaObject.className() + " came up");
    Save(picture, path);
}

void RenderScreenshots(const QDir &output)
{
    // The window reads its control file from the working directory.
    QTemporaryDir work;
    if (!work.isValid() || !QDir::setCurrent(work.path()))
        throw std::runtime_error("cannot work in a temporary directory");
    ControlFileLines(ScreenshotControlFile()).SaveToFile(ControlFile);

    ScriptedPlatform echoes;
    ScriptScreenshotEchoes(echoes);
    TMainForm form;
    form.show();
    form.RetrieveBtn->click();
    WaitUntil([&form] { return form.PendingCount == 0 && form.RetrieveBtn->isEnabled(); }, "the sweep");
    Save(WindowPicture(form), output.filePath("main-window.png"));

    SelectHost(form, "nas01.example.jp");
    SaveDialog<THostAddDlg>(form.ModHostBtn, output.filePath("host-dialog.png"));
    SelectHost(form, "203.0.113.5");
    SaveDialog<TInfoDlg>(form.DelHostBtn, output.filePath("info-dialog.png"));
    SaveDialog<TOptionDlg>(form.OptionBtn, output.filePath("options-dialog.png"));
}

} // namespace

int main(int argc, char *argv[])
{
    // Pixels repeat from run to run on the offscreen platform at scale 1.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    for (const char *scaling : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI"})
        qunsetenv(scaling);
    QApplication application(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: screenshots OUTPUT_DIRECTORY\n";
        return 2;
    }
    const QDir output(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));
    // A blinking text cursor would be caught in either state.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
    platform::Application::SetTitle(QStringLiteral("Quorvel V0.99"));
    try {
        RenderScreenshots(output);
    } catch (const std::exception &error) {
        std::cerr << "screenshots: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
