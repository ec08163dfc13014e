#include "monitor/HeadlessSweep.h"

#include "monitor/MonitorSettings.h"
#include "monitor/SweepReport.h"
#include "monitor/main.h"
#include "platform/Application.h"

#include <QEvent>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>
#include <ostream>

namespace {

// Calls back on every change of a widget's enabled state.
class TEnabledChangeWatch : public QObject {
public:
    TEnabledChangeWatch(QWidget *widget, std::function<void()> onChange) : OnChange(std::move(onChange))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange)
            OnChange();
        return false;
    }

private:
    std::function<void()> OnChange;
};

} // namespace

void WaitForSweepEnd(TMainForm &form)
{
    QEventLoop loop;
    const auto quitWhenOver = [&form, &loop] {
        if (form.PendingCount == 0 && form.RetrieveBtn->isEnabled())
            loop.quit();
    };
    TEnabledChangeWatch watch(form.RetrieveBtn, quitWhenOver);
    QTimer::singleShot(0, &loop, quitWhenOver);
    loop.exec();
}

int RunHeadlessSweep(std::ostream &out, std::ostream &err)
{
    bool errorShown = false;
    platform::Application::SetMessageSink(
        [&err, &errorShown](platform::Application::MessageKind kind, const QString &text) {
            errorShown = errorShown || kind == platform::Application::MessageKind::Error;
            err << text.toStdString() << '\n' << std::flush;
        });
    TSweepExit status = SweepCannotRun;
    try {
        const auto form = std::make_unique<TMainForm>();
        form->show();
        if (!errorShown && !MonitorSettings.Exec)
            form->RetrieveBtn->click();
        WaitForSweepEnd(*form);
        if (!errorShown) {
            out << HostTableText(*form) << std::flush;
            status = SweepExitStatus(*form);
        }
    } catch (const std::exception &error) {
        platform::Application::ShowException(error);
    }
    platform::Application::SetMessageSink({});
    return status;
}
