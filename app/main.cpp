#include "monitor/main.h"
#include "platform/Application.h"

#include <QApplication>
#include <memory>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    platform::Application::SetTitle(QStringLiteral("Quorvel V0.99"));
    try {
        const auto form = std::make_unique<TMainForm>();
        form->show();
        application.exec();
    } catch (const std::exception &error) {
        platform::Application::ShowException(error);
    }
    return 0;
}
