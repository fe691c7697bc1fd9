#include "app/widget.h"

#include "app/counts.h"
#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/qtcompat.h"
#include "app/texts.h"
#include "app/warning.h"
#include "config/globalsettings.h"
#include "config/inicheck.h"
#include "serial/consolemodel.h"
#include "serial/trace.h"

#include <QCoreApplication>
#include <QHash>
#include <QSettings>
#include <QTimer>

namespace {

// Every object below `panel` by object name. One walk of the tree instead of a recursive
// search of about a thousand objects for each of the 900 row controls.
QHash<QString, QObject *> ObjectsByName(QWidget *panel)
{
    QHash<QString, QObject *> byName;
    const QList<QObject *> all = panel->findChildren<QObject *>();
    byName.reserve(all.size());
    for (QObject *object : all)
        byName.insert(object->objectName(), object);
    return byName;
}

template <typename T>
T *RowControl(const QHash<QString, QObject *> &byName, QList<T *> &list, const char *prefix,
              int row)
{
    T *control =
        qobject_cast<T *>(byName.value(QString::fromLatin1(prefix) + QString::number(row)));
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
    connect(readTimer, &QTimer::timeout, this, &Widget::ReadWhenQuiet);

    const Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                                  Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
    // A top-level window that the window system has not seen yet takes its flags when show()
    // creates it. setWindowFlags() would re-parent it instead, which re-polishes each of the
    // thousand widgets under their style sheets: a third of the start-up.
    if (parentWidget())
        setWindowFlags(flags);
    else
        overrideWindowFlags(flags);

    ui->widget_menuBar->installEventFilter(this);
    ui->label_zoom->installEventFilter(this);
    ui->label_zoom->setCursor(Qt::SizeFDiagCursor);

    const QString setAside = SetAsideIfSerialized(QStringLiteral("config.ini"));
    // Owned by the window, so a change still waiting for its deferred write is written when the
    // window goes, even after the event loop has ended.
    settings = new QSettings(QStringLiteral("config.ini"), QSettings::IniFormat, this);
    KeepQt5IniForm(*settings);
    SetUpConsoleMenu();
    SetUpLineStrip();
    console = new ConsoleModel(ui->textBrowser, textDisplayBuffer, hexDisplayBuffer, this);
    console->setObjectName(QStringLiteral("consoleModel"));
    connect(console, &ConsoleModel::partShown, this, [this](const QString &part) {
        if (logRecording)
            LogWrite(part);
    });
    SetUpFindBar();
    SetUpCommandLine();

    // Each window starts from empty lists, so several windows built in one process (the tests
    // restart the window this way) never see stale rows or ports.
    for (auto *list : {&selectCheckBoxList, &hexCheckBoxList, &enterCheckBoxList})
        list->clear();
    cmdLineEditList.clear();
    delayLineEditList.clear();
    sendButtonList.clear();
    portNameList.clear();

    const QHash<QString, QObject *> rows = ObjectsByName(ui->widget_right);
    for (int i = 1; i <= RowCount; ++i) {
        connect(RowControl(rows, selectCheckBoxList, "checkBox_selectList_", i),
                &QCheckBox::stateChanged, this, &Widget::OnSelectCheckboxListStateChanged);
        connect(RowControl(rows, hexCheckBoxList, "checkBox_hexList_", i), &QCheckBox::stateChanged,
                this, &Widget::OnHexCheckboxListStateChanged);
        connect(RowControl(rows, enterCheckBoxList, "checkBox_enterList_", i),
                &QCheckBox::stateChanged, this, &Widget::OnEnterCheckboxListStateChanged);
        QLineEdit *cmd = RowControl(rows, cmdLineEditList, "lineEdit_cmdList_", i);
        connect(cmd, &QLineEdit::textChanged, this, &Widget::OnCmdLineListEditingFinished);
        connect(cmd, &QLineEdit::returnPressed, this, &Widget::OnCmdLineListReturnPressed);
        connect(RowControl(rows, delayLineEditList, "lineEdit_delayList_", i),
                &QLineEdit::textChanged, this, &Widget::OnDelayLineListEditingFinished);
        connect(RowControl(rows, sendButtonList, "pushButton_sendList_", i), &QPushButton::clicked,
                this, &Widget::OnSendBtnListClicked);
    }

    ShowDefaults(this);
    LoadConfigFile(QStringLiteral("config.ini"));
    UpdateRtsToggle();
    SetUpNetworkPorts();
    KeepQt5TextHeights(this);

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
