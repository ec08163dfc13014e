#pragma once

#include <QLineEdit>
#include <functional>

namespace platform {

// A single-line edit with an exit event. OnExit runs when the edit loses
// the focus to another control of its own window; losing it to another
// window, to a popup or to the window closing is no exit, nor is any focus
// change an exit handler makes. When the handler takes the focus back from
// a click, the click does not reach the control clicked.
class TEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TEdit(QWidget *parent = nullptr);

    std::function<void(QObject *Sender)> OnExit;

protected:
    void focusOutEvent(QFocusEvent *event) override;
};

} // namespace platform
