#include "app/commandline.h"
#include "app/startup.h"
#include "app/widget.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    const CommandLine command = ParseCommandLine(argc, argv);
    if (command.action != CommandLine::Run)
        return AnswerCommandLine(command);
    PrepareLaunch(command);

    // The window draws nothing with OpenGL, yet on X the toolkit would probe for it at the first
    // window, loading the GL driver stack (and with a software renderer, LLVM): a third of the
    // start-up and half the memory. A user who sets the variable still gets their choice.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    EnableHighDpiScaling();
    QApplication a(argc, argv);
    // Ties the window to the desktop entry and its icon (Wayland matches them by this name).
    QGuiApplication::setDesktopFileName(QStringLiteral(SERMORA_APP_ID));
    InstallTranslation(a);
    Widget w;
    if (!command.profile.isEmpty())
        w.ShowProfile(command.profile);
    w.show();
    // From the event loop, so that the window is on the screen under a failure's box.
    if (!command.port.isEmpty())
        QTimer::singleShot(
            0, &w, [&w, &command] { w.OpenFromCommandLine(command.port, command.baudRate); });
    return a.exec();
}
