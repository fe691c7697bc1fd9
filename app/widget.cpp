#include "app/widget.h"

#include "app/counts.h"
#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/texts.h"
#include "app/warning.h"
#include "config/inicheck.h"
#include "serial/trace.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTimer>

namespace {

template <typename T> T *RowControl(QWidget *panel, QList<T *> &list, const char *prefix, int row)
{
    T *control = panel->findChild<T *>(QString::fromLatin1(prefix) + QString::number(row));
    list.append(control);
    return control;
}

} // namespace

Widget::Widget(QWidget *parent) : QWidget(parent), ui(new Ui_Widget)
{
    ui->setupUi(this);

    auto *portScanTimer = new QTimer(this);
    portScanTimer->setSingleShot(false);
    connect(portScanTimer, &QTimer::timeout, this, &Widget::_KESTO_GetSerialPorts);
    portScanTimer->start(1000);

    readTimer = new QTimer(this);
    readTimer->setSingleShot(true);
    connect(readTimer, &QTimer::timeout, this, &Widget::_KESTO_ReadSerialData);

    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);

    ui->widget_menuBar->installEventFilter(this);
    ui->label_zoom->installEventFilter(this);
    ui->label_zoom->setCursor(Qt::SizeFDiagCursor);

    const QString setAside = SetAsideIfSerialized(QStringLiteral("config.ini"));
    // Owned by the window, so a change still waiting for its deferred write is written when the
    // window goes, even after the event loop has ended.
    settings = new QSettings(QStringLiteral("config.ini"), QSettings::IniFormat, this);

    // Each window starts from empty lists, so several windows built in one process (the tests
    // restart the window this way) never see stale rows or ports.
    for (auto *list : {&selectCheckBoxList, &hexCheckBoxList, &enterCheckBoxList})
        list->clear();
    cmdLineEditList.clear();
    delayLineEditList.clear();
    sendButtonList.clear();
    portNameList.clear();

    QWidget *panel = ui->widget_right;
    for (int i = 1; i <= RowCount; ++i) {
        connect(RowControl(panel, selectCheckBoxList, "checkBox_selectList_", i),
                &QCheckBox::stateChanged, this, &Widget::OnSelectCheckboxListStateChanged);
        connect(RowControl(panel, hexCheckBoxList, "checkBox_hexList_", i),
                &QCheckBox::stateChanged, this, &Widget::OnHexCheckboxListStateChanged);
        connect(RowControl(panel, enterCheckBoxList, "checkBox_enterList_", i),
                &QCheckBox::stateChanged, this, &Widget::OnEnterCheckboxListStateChanged);
        QLineEdit *cmd = RowControl(panel, cmdLineEditList, "lineEdit_cmdList_", i);
        connect(cmd, &QLineEdit::textChanged, this, &Widget::OnCmdLineListEditingFinished);
        connect(cmd, &QLineEdit::returnPressed, this, &Widget::OnCmdLineListReturnPressed);
        connect(RowControl(panel, delayLineEditList, "lineEdit_delayList_", i),
                &QLineEdit::textChanged, this, &Widget::OnDelayLineListEditingFinished);
        connect(RowControl(panel, sendButtonList, "pushButton_sendList_", i), &QPushButton::clicked,
                this, &Widget::OnSendBtnListClicked);
    }

    LoadConfigFile(QStringLiteral("config.ini"));

    // Told once the event loop runs, so the box comes up over the window that main has shown.
    if (!setAside.isEmpty())
        QTimer::singleShot(0, this, [setAside] { ShowWarning(Texts::SettingsSetAside(setAside)); });
}

Widget::~Widget()
{
    delete ui;
}

void Widget::on_btn_close_clicked()
{
    isBatchRunning = false;
    qCDebug(SessionTrace) << "app closeing...";
    QCoreApplication::exit(0);
}
