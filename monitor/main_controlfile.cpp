// The control file at start-up and at close, applied to the window.
#include "monitor/main.h"

#include "monitor/ControlFile.h"
#include "monitor/MonitorSettings.h"
#include "platform/Application.h"
#include "platform/FileEntry.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <functional>
#include <utility>

namespace {

bool FitsOnAScreen(const QRect &frame)
{
    for (const QScreen *screen : QGuiApplication::screens())
        if (screen->availableGeometry().contains(frame))
            return true;
    return false;
}

// Tells the operator, once the window has opened, how many hosts of the file
// found no room in the table.
class TLeftOutHostsNotice : public QObject {
public:
    explicit TLeftOutHostsNotice(QWidget *form) : QObject(form) { form->installEventFilter(this); }

    void Count() { ++LeftOut; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            // Queued, so that the message comes after the window is up.
            QTimer::singleShot(0, watched, [count = LeftOut] {
                platform::Application::ShowMessage(QStringLiteral("ホストは %1 件までです。"
                                                                  "コントロールファイルにある残りの %2 件は"
                                                                  "読み込みませんでした。")
                                                       .arg(MaxHosts)
                                                       .arg(count));
            });
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    int LeftOut = 0;
};

// Puts each value the reader finds into the window at once.
class TFormTarget final : public TControlFileTarget {
public:
    using THostRowAdder = std::function<void(const std::string &host, const std::string &note)>;

    // placed: whether the first show may keep the window where the file put
    // it; addHostRow: the add command's way of appending a row.
    TFormTarget(TMainForm &form, bool &placed, THostRowAdder addHostRow)
        : Form(form),
          Placed(placed),
          AddHostRow(std::move(addHostRow))
    {
    }

    void SetWindowValue(TWindowValue which, int32_t value) override
    {
        switch (which) {
        case TWindowValue::Height:
            Form.resize(Form.width(), value);
            break;
        case TWindowValue::Width:
            Form.resize(value, Form.height());
            break;
        case TWindowValue::Top:
            Form.move(Form.x(), value);
            PositionRead = true;
            break;
        case TWindowValue::Left:
            Form.move(value, Form.y());
            PositionRead = true;
            break;
        }
        // A stored position that no screen shows any more gives way to the
        // centred placement.
        if (PositionRead)
            Placed = FitsOnAScreen(QRect(Form.pos(), Form.size()));
    }

    void SetColWidth(int column, int32_t width) override { Form.MainViewSGrid->SetColWidth(column, width); }

    void AddHost(const std::string &host, const std::string &note) override { AddHostRow(host, note); }

    void LeaveOutHost() override
    {
        if (!Notice)
            Notice = new TLeftOutHostsNotice(&Form);
        Notice->Count();
    }

private:
    TMainForm &Form;
    bool &Placed;
    THostRowAdder AddHostRow;
    bool PositionRead = false;
    TLeftOutHostsNotice *Notice = nullptr;
};

} // namespace

void TMainForm::LoadControlFile()
{
    if (!platform::FileEntryExists(ControlFile))
        return;
    platform::TStringList lines;
    lines.LoadFromFile(ControlFile);
    TFormTarget target(*this, Placed,
                       [this](const std::string &host, const std::string &note) { AddHostRow(host, note); });
    ApplyControlFile(lines, target, MonitorSettings, MaxHosts);
}

void TMainForm::SaveControlFile()
{
    TControlFileContent content;
    content.Height = height();
    content.Width = width();
    content.Top = y();
    content.Left = x();
    for (int column = 0; column < StoredColumns; ++column)
        content.ColWidths[static_cast<size_t>(column)] = MainViewSGrid->ColWidth(column);
    content.Settings = MonitorSettings;
    for (int row = 1; row < MainViewSGrid->RowCount() - 1; ++row)
        content.Hosts.push_back({MainViewSGrid->Cell(3, row), MainViewSGrid->Cell(4, row)});
    ControlFileLines(content).SaveToFile(ControlFile);
}

void TMainForm::FormClose(QObject *) { SaveControlFile(); }

// A control file that cannot be written keeps the window open, so the
// operator can close again once the cause is gone.
void TMainForm::closeEvent(QCloseEvent *event)
{
    try {
        FormClose(this);
        event->accept();
    } catch (const std::exception &error) {
        platform::Application::ShowException(error);
        event->ignore();
    }
}
