#include "app/form/styles.h"

namespace Styles {

QString TitleButton()
{
    return QStringLiteral("QPushButton{background-color: rgb(64, 66, 68);border-radius:1px;}\n"
                          "QPushButton:hover{background-color: rgb(160, 160, 160);"
                          "border-radius:1px;}");
}

QString Combo()
{
    return QStringLiteral("QComboBox{border: 1px solid gray;border-radius: 1px;"
                          "padding: 1px 2px 1px 2px;background-color: rgb(255, 255, 255);}\n"
                          "QComboBox::drop-down{subcontrol-origin: padding;"
                          "subcontrol-position: top right;width: 15px;"
                          "border-left-width: 1px;border-left-color: darkgray;"
                          "border-left-style: solid;border-top-right-radius: 3px;"
                          "border-bottom-right-radius: 3px;}\n"
                          "QComboBox::down-arrow{image: url(:/image/image/drop.jpg);}");
}

QString OpenButtonClosed()
{
    return QStringLiteral("QPushButton{color: rgb(255, 255, 255);font: 12pt \"微软雅黑\";"
                          "background-repeat: no-repeat;border-radius: 2px;"
                          "background-color: rgb(51, 136, 255);}\n"
                          "QPushButton:hover{background-color: rgb(40, 100, 255);}\n"
                          "QPushButton:pressed{background-color: #0eb2f1;}");
}

QString OpenButtonOpen()
{
    return QStringLiteral("QPushButton{background-color: rgb(170, 0, 0);border-radius: 3px;"
                          "color: rgb(255, 255, 255);font: 12pt \"微软雅黑\";}\n"
                          "QPushButton:hover{background-color: rgb(200, 0, 0);}");
}

QString BlueButton()
{
    return QStringLiteral("QPushButton{color: rgb(255, 255, 255);border-radius: 1px;"
                          "background-color: rgb(51, 136, 255);}\n"
                          "QPushButton:hover{background-color: rgb(40, 100, 255);}\n"
                          "QPushButton:pressed{background-color: #0eb2f1;}");
}

QString RowButton()
{
    return QStringLiteral("QPushButton{color: rgb(255, 255, 255);border-radius: 1px;"
                          "background-color: rgb(51, 136, 255);border: 1px solid gray;}\n"
                          "QPushButton:hover{background-color: rgb(40, 100, 255);}\n"
                          "QPushButton:pressed{background-color: #0eb2f1;}");
}

QString StopButton()
{
    return QStringLiteral("QPushButton{background-color: rgb(170, 0, 0);border-radius: 3px;"
                          "color: rgb(255, 255, 255);font: 9pt \"微软雅黑\";}\n"
                          "QPushButton:hover{background-color: rgb(200, 0, 0);}");
}

QString PathButton()
{
    return QStringLiteral("QPushButton{border: 1px solid gray;border-radius: 1px;"
                          "background-color: rgb(255, 255, 255);text-align: left;color: gray;}\n"
                          "QPushButton:pressed{background-color: rgb(230, 230, 230);}");
}

QString FoldButton()
{
    return QStringLiteral("QPushButton{border-radius: 1px;"
                          "background-color: rgb(255, 255, 255);text-align: left;color: gray;}\n"
                          "QPushButton:pressed{background-color: rgb(230, 230, 230);}");
}

QString Tabs()
{
    return QStringLiteral("QTabWidget::pane{border-bottom: 1px solid gray;"
                          "background-color: rgb(255, 255, 255);}\n"
                          "QTabWidget::tab-bar{alignment: left;}\n"
                          "QTabBar::tab{font: 8pt \"微软雅黑\";color: black;"
                          "background-color: rgb(255, 255, 255);min-width: 60px;height: 25px;"
                          "border: 1px solid gray;}\n"
                          "QTabBar::tab:selected{border: 1px solid green;"
                          "background-color: rgb(85, 170, 0);color: white;min-width: 60px;}");
}

QString PinOn()
{
    return QStringLiteral("QPushButton{background-color: rgb(120, 120, 120);border-radius:1px;}\n"
                          "QPushButton:hover{background-color: rgb(160, 160, 160);"
                          "border-radius:1px;}");
}

QString PinOff()
{
    return QStringLiteral("QPushButton{background-color: rgb(70, 70, 70);border-radius:1px;}\n"
                          "QPushButton:hover{background-color: rgb(160, 160, 160);"
                          "border-radius:1px;}");
}

QString LogRecording()
{
    return QStringLiteral("QPushButton { background-color: rgb(170, 0, 0); border-radius: 3px; "
                          "color: rgb(255, 255, 255); } QPushButton:hover { background-color: "
                          "rgb(200, 0, 0); }");
}

QString LineButton()
{
    return QStringLiteral(
        "QPushButton{color: rgb(200, 200, 200);border: 1px solid rgb(110, 110, 110);"
        "border-radius: 2px;background-color: rgb(64, 66, 68);}\n"
        "QPushButton:hover{border-color: rgb(170, 170, 170);}\n"
        "QPushButton:checked{color: rgb(255, 255, 255);"
        "background-color: rgb(0, 140, 80);border-color: rgb(0, 170, 100);}\n"
        "QPushButton:pressed{background-color: rgb(40, 100, 255);}\n"
        "QPushButton:disabled{color: rgb(120, 120, 120);"
        "border-color: rgb(90, 90, 90);}");
}

QString LineIndicatorLit()
{
    return QStringLiteral("color: rgb(0, 230, 118);");
}

QString LineIndicatorDim()
{
    return QStringLiteral("color: rgb(130, 130, 130);");
}

QString LineIndicatorUnknown()
{
    return QStringLiteral("color: rgb(110, 110, 110);text-decoration: line-through;");
}

} // namespace Styles
