#include "platform/Edit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPointer>
#include <QScopedValueRollback>
#include <QTimer>

namespace platform {

namespace {

// Set while an exit handler runs. The focus it moves (its message box, its
// taking the focus back) never counts as leaving the control the focus
// passes through: that control was never entered.
bool ExitRunning = false;

// Eats the next mouse press delivered to a widget.
class PressDropper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::MouseButtonPress || !watched->isWidgetType())
            return false;
        qApp->removeEventFilter(this);
        return true;
    }
};

// A mouse press gives the focus away before it reaches the control pressed.
// When the exit handler took the focus back, that press must not go on to
// act on the control (press OK, tick a box).
void DropPressUnderway()
{
    auto *dropper = new PressDropper(qApp);
    qApp->installEventFilter(dropper);
    // The press is delivered before the event loop runs again.
    QTimer::singleShot(0, dropper, &QObject::deleteLater);
}

} // namespace

TEdit::TEdit(QWidget *parent) : QLineEdit(parent) {}

void TEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    const QPointer<QWidget> target = QApplication::focusWidget();
    const bool toOwnWindow = target && target != this && target->window() == window();
    if (!OnExit || ExitRunning || !toOwnWindow)
        return;
    {
        const QScopedValueRollback running(ExitRunning, true);
        OnExit(this);
    }
    if (event->reason() == Qt::MouseFocusReason && QApplication::focusWidget() != target)
        DropPressUnderway();
}

} // namespace platform
