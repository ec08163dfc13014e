#include "platform/Application.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>

namespace platform {

namespace {

struct State {
    QString Title = QStringLiteral("Quorvel V0.99");
    bool Recording = false;
    QStringList Recorded;
    std::deque<std::function<int(QDialog &)>> Answers;
    Application::MessageSink Sink;
};

State &TheState()
{
    static State state;
    return state;
}

void Present(Application::MessageKind kind, const QString &text)
{
    State &state = TheState();
    if (state.Recording) {
        state.Recorded << (kind == Application::MessageKind::Error ? "error: " : "message: ") + text;
    } else if (state.Sink) {
        state.Sink(kind, text);
    } else {
        const auto icon = kind == Application::MessageKind::Error ? QMessageBox::Critical : QMessageBox::Information;
        QMessageBox box(icon, Application::Title(), text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }
}

} // namespace

QString Application::Title() { return TheState().Title; }

void Application::SetTitle(const QString &title)
{
    TheState().Title = title;
    QApplication::setApplicationDisplayName(title);
}

void Application::ShowException(const std::exception &error)
{
    Present(MessageKind::Error, WithFinalPeriod(QString::fromUtf8(error.what())));
}

void Application::ShowMessage(const QString &text) { Present(MessageKind::Message, text); }

int Application::ShowModal(QDialog &dialog)
{
    State &state = TheState();
    if (state.Recording && !state.Answers.empty()) {
        const auto answer = std::move(state.Answers.front());
        state.Answers.pop_front();
        return answer(dialog);
    }
    return dialog.exec();
}

void Application::StartRecording()
{
    TheState().Recording = true;
    TheState().Recorded.clear();
    TheState().Answers.clear();
}

void Application::StopRecording()
{
    TheState().Recording = false;
    TheState().Answers.clear();
}

QStringList Application::Messages() { return TheState().Recorded; }

void Application::SetMessageSink(MessageSink sink) { TheState().Sink = std::move(sink); }

void Application::AnswerNextModal(std::function<int(QDialog &)> answer)
{
    TheState().Answers.push_back(std::move(answer));
}

QString WithFinalPeriod(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

} // namespace platform
