#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

class QDialog;
class QWidget;

namespace platform {

// The application object: its title, the exception display, the simple
// message box and modal showing. Every message box and modal dialog goes
// through here, so tests can record messages and answer dialogs.
class Application {
public:
    enum class MessageKind { Error, Message };
    using MessageSink = std::function<void(MessageKind kind, const QString &text)>;

    static QString Title();
    static void SetTitle(const QString &title);

    // A message box captioned with the title, error icon and OK.
    static void ShowException(const std::exception &error);
    // An information box captioned with the title.
    static void ShowMessage(const QString &text);
    // Shows a dialog modally and returns its result.
    static int ShowModal(QDialog &dialog);

    // While recording, message boxes are not shown but kept as
    // "error: TEXT" and "message: TEXT", and modal dialogs are answered by
    // the queued answers in order (a dialog with no answer left runs for real).
    static void StartRecording();
    static void StopRecording();
    static QStringList Messages();
    static void AnswerNextModal(std::function<int(QDialog &)> answer);

    // With a sink set, the exception display and the simple message box hand
    // their text to it instead of opening a box, so a program without a
    // screen to click on can report them; an empty sink brings the boxes back.
    static void SetMessageSink(MessageSink sink);
};

// The text the exception display shows: "." is appended when the last
// character sorts after ".".
QString WithFinalPeriod(const QString &message);

// Calls a handler with the signal's arguments, or with none when it takes none.
template <typename Handler, typename... Arguments>
void InvokeHandler(const Handler &handler, Arguments &&...arguments)
{
    if constexpr (std::is_invocable_v<const Handler &, Arguments...>)
        handler(std::forward<Arguments>(arguments)...);
    else
        handler();
}

// Wraps an event handler so that an exception leaving it goes to the
// exception display, and the program carries on.
template <typename Handler>
auto Guarded(Handler handler)
{
    return [handler](auto &&...arguments) {
        try {
            InvokeHandler(handler, std::forward<decltype(arguments)>(arguments)...);
        } catch (const std::exception &error) {
            Application::ShowException(error);
        }
    };
}

} // namespace platform
