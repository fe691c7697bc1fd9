#include "app/commandline.h"
#include "app/widget.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    const CommandLine command = ParseCommandLine(argc, argv);
    if (command.action != CommandLine::Run)
        return AnswerCommandLine(command);
    if (command.fromMenu)
        PrepareMenuLaunch();

    QApplication a(argc, argv);
    // Ties the window to the desktop entry and its icon (Wayland matches them by this name).
    QGuiApplication::setDesktopFileName(QStringLiteral(SERMORA_APP_ID));
    Widget w;
    w.show();
    return a.exec();
}
