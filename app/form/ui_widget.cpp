#include "app/form/ui_widget.h"

#include "app/form/pixmaps.h"
#include "app/form/styles.h"
#include "app/qtcompat.h"
#include "app/texts.h"
#include "transfer/sendprotocol.h"

#include <QCoreApplication>
#include <QIcon>
#include <QSpacerItem>

namespace {

const QString UiFont = QStringLiteral("font: 9pt \"微软雅黑\";");
const QString WhiteBackground = QStringLiteral("background-color: rgb(255, 255, 255);");

void SetFixed(QWidget *w, int width, int height)
{
    w->setMinimumSize(width, height);
    w->setMaximumSize(width, height);
}

void SetHeight(QWidget *w, int height)
{
    w->setMinimumHeight(height);
    w->setMaximumHeight(height);
}

QSpacerItem *HSpacer()
{
    return new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
}

template <typename T> T *Named(QWidget *parent, const QString &name)
{
    T *w = new T(parent);
    w->setObjectName(name);
    return w;
}

QHBoxLayout *HBox(QWidget *w, int spacing, int left, int top, int right, int bottom)
{
    auto *layout = new QHBoxLayout(w);
    layout->setSpacing(spacing);
    layout->setContentsMargins(left, top, right, bottom);
    return layout;
}

QVBoxLayout *VBox(QWidget *w, int spacing, int left, int top, int right, int bottom)
{
    auto *layout = new QVBoxLayout(w);
    layout->setSpacing(spacing);
    layout->setContentsMargins(left, top, right, bottom);
    return layout;
}

} // namespace

void Ui_Widget::setupUi(QWidget *form)
{
    if (form->objectName().isEmpty())
        form->setObjectName(QStringLiteral("Widget"));
    form->resize(1015, 732);
    form->setWindowIcon(QIcon(QStringLiteral(":/image/image/logo.png")));
    form->setStyleSheet(QStringLiteral("background-color: rgb(64, 66, 68);\n"
                                       "border-color: rgb(0, 170, 255);"));

    verticalLayout = VBox(form, 0, 0, 0, 0, 0);
    verticalLayout->addWidget(setupTitleBar(form), 1);

    widget_container = Named<QWidget>(form, QStringLiteral("widget_container"));
    horizontalLayout_container = HBox(widget_container, 0, 0, 0, 0, 0);
    horizontalLayout_container->addWidget(setupLeftPanel(widget_container), 4);
    horizontalLayout_container->addWidget(setupRightPanel(widget_container), 3);
    verticalLayout->addWidget(widget_container, 20);

    verticalLayout->addWidget(setupBottomBar(form), 1);

    retranslateUi(form);
    pushButton_send_file_path->setDefault(false);
    tabWidget->setCurrentIndex(0);
    ConnectSlotsByName(form);
}

QWidget *Ui_Widget::setupTitleBar(QWidget *form)
{
    widget_menuBar = Named<QWidget>(form, QStringLiteral("widget_menuBar"));
    SetHeight(widget_menuBar, 25);
    widget_menuBar->setStyleSheet(QStringLiteral("background-color: rgb(64, 66, 68);\n"
                                                 "color: rgb(255, 255, 255);"));
    horizontalLayout_menuBar = HBox(widget_menuBar, 5, 5, 0, 0, 0);

    label_logo = Named<QLabel>(widget_menuBar, QStringLiteral("label_logo"));
    SetFixed(label_logo, 20, 20);
    label_logo->setTextFormat(Qt::AutoText);
    label_logo->setPixmap(FormPixmap(QStringLiteral(":/image/image/logo.png")));
    label_logo->setScaledContents(true);
    label_logo->setWordWrap(false);
    horizontalLayout_menuBar->addWidget(label_logo);

    label_title = Named<QLabel>(widget_menuBar, QStringLiteral("label_title"));
    label_title->setStyleSheet(UiFont);
    horizontalLayout_menuBar->addWidget(label_title);

    widget_winIcon = Named<QWidget>(widget_menuBar, QStringLiteral("widget_winIcon"));
    widget_winIcon->setLayoutDirection(Qt::RightToLeft);
    horizontalLayout_winIcon = HBox(widget_winIcon, 5, 0, 0, 5, 0);
    // Right-to-left: the first button added stands at the far right.
    auto titleButton = [&](const char *name, const char *icon, bool small) {
        auto *b = Named<QPushButton>(widget_winIcon, QString::fromLatin1(name));
        SetFixed(b, 25, 25);
        b->setStyleSheet(Styles::TitleButton());
        b->setIcon(QIcon(QString::fromLatin1(icon)));
        if (small)
            b->setIconSize(QSize(10, 10));
        horizontalLayout_winIcon->addWidget(b);
        return b;
    };
    btn_close = titleButton("btn_close", ":/image/image/btn_close.png", true);
    btn_max = titleButton("btn_max", ":/image/image/btn_max.png", true);
    btn_min = titleButton("btn_min", ":/image/image/btn_min.png", true);
    btn_top = titleButton("btn_top", ":/image/image/lock.png", false);
    pushButton_about = titleButton("pushButton_about", ":/image/image/help.png", false);
    horizontalLayout_winIcon->addItem(HSpacer());
    horizontalLayout_menuBar->addWidget(widget_winIcon);
    horizontalLayout_menuBar->setStretch(2, 1);
    return widget_menuBar;
}

QWidget *Ui_Widget::setupLeftPanel(QWidget *parent)
{
    widget_left = Named<QWidget>(parent, QStringLiteral("widget_left"));
    verticalLayout_left = VBox(widget_left, 1, 2, 2, 1, 0);
    verticalLayout_left->addWidget(setupPortGroup(widget_left));

    auto *console = Named<QWidget>(widget_left, QStringLiteral("widget_console"));
    console->setMinimumHeight(200);
    console->setStyleSheet(WhiteBackground);
    auto *consoleLayout = VBox(console, 6, 0, 0, 0, 0);
    textBrowser = Named<QTextBrowser>(console, QStringLiteral("textBrowser"));
    textBrowser->setStyleSheet(QStringLiteral("border:none;\nfont: 9pt \"等线\";"));
    consoleLayout->addWidget(textBrowser);
    verticalLayout_left->addWidget(console);

    verticalLayout_left->addWidget(setupControls(widget_left));
    return widget_left;
}

QWidget *Ui_Widget::setupPortGroup(QWidget *parent)
{
    auto *holder = Named<QWidget>(parent, QStringLiteral("widget_portSettings"));
    holder->setMinimumWidth(550);
    SetHeight(holder, 90);
    HBox(holder, 0, 0, 0, 0, 0);

    groupBox = Named<QGroupBox>(holder, QStringLiteral("groupBox"));
    groupBox->setStyleSheet(UiFont + QStringLiteral("\n") + WhiteBackground);
    holder->layout()->addWidget(groupBox);
    auto *groupLayout = HBox(groupBox, 0, 0, 0, 0, 2);

    auto *gridHolder = Named<QWidget>(groupBox, QStringLiteral("widget_portGrid"));
    gridHolder->setMinimumWidth(450);
    gridHolder->setMaximumWidth(450);
    gridLayout_port = new QGridLayout(gridHolder);
    gridLayout_port->setSpacing(6);
    gridLayout_port->setContentsMargins(11, 11, 11, 11);
    auto pair = [&](int row, int column, const char *labelName, const char *comboName,
                    QLabel **labelOut, QComboBox **comboOut) {
        auto *l = Named<QLabel>(gridHolder, QString::fromLatin1(labelName));
        l->setMaximumWidth(40);
        auto *c = Named<QComboBox>(gridHolder, QString::fromLatin1(comboName));
        c->setMinimumWidth(50);
        c->setMaximumWidth(100);
        c->setStyleSheet(Styles::Combo());
        gridLayout_port->addWidget(l, row, column);
        gridLayout_port->addWidget(c, row, column + 1);
        *labelOut = l;
        *comboOut = c;
    };
    pair(0, 0, "label", "comboBox_serial", &label, &comboBox_serial);
    pair(0, 2, "label_6", "comboBox_baudrate", &label_6, &comboBox_baudrate);
    pair(0, 4, "label_4", "comboBox_databits", &label_4, &comboBox_databits);
    pair(1, 0, "label_2", "comboBox_parity", &label_2, &comboBox_parity);
    pair(1, 2, "label_3", "comboBox_flowcontrol", &label_3, &comboBox_flowcontrol);
    pair(1, 4, "label_5", "comboBox_stopbits", &label_5, &comboBox_stopbits);
    label->setStyleSheet(UiFont);
    groupLayout->addWidget(gridHolder);

    auto *openHolder = Named<QWidget>(groupBox, QStringLiteral("widget_openButton"));
    openHolder->setMinimumWidth(120);
    openHolder->setMaximumWidth(120);
    auto *openLayout = HBox(openHolder, 6, 11, 11, 11, 11);
    pushButton_serialOpen = Named<QPushButton>(openHolder, QStringLiteral("pushButton_serialOpen"));
    SetHeight(pushButton_serialOpen, 45);
    pushButton_serialOpen->setStyleSheet(Styles::OpenButtonClosed());
    openLayout->addWidget(pushButton_serialOpen);
    groupLayout->addWidget(openHolder);
    groupLayout->addItem(HSpacer());
    groupLayout->setStretch(0, 3);
    groupLayout->setStretch(1, 1);
    return holder;
}

QWidget *Ui_Widget::setupControls(QWidget *parent)
{
    auto *controls = Named<QWidget>(parent, QStringLiteral("widget_controls"));
    SetHeight(controls, 160);
    controls->setStyleSheet(WhiteBackground + QStringLiteral("\n") + UiFont);
    auto *layout = VBox(controls, 0, 2, 0, 2, 0);
    auto row = [&](const char *name) {
        auto *w = Named<QWidget>(controls, QString::fromLatin1(name));
        SetHeight(w, 40);
        HBox(w, 10, 0, 0, 0, 0);
        layout->addWidget(w);
        return w;
    };
    auto button = [](QWidget *p, const char *name, int width, int height) {
        auto *b = Named<QPushButton>(p, QString::fromLatin1(name));
        SetFixed(b, width, height);
        b->setStyleSheet(Styles::BlueButton());
        p->layout()->addWidget(b);
        return b;
    };
    auto check = [](QWidget *p, const char *name) {
        auto *c = Named<QCheckBox>(p, QString::fromLatin1(name));
        p->layout()->addWidget(c);
        return c;
    };

    QWidget *r1 = row("widget_controlRow1");
    pushButton_clear_screen = button(r1, "pushButton_clear_screen", 80, 30);
    pushButton_send_ctrlz = button(r1, "pushButton_send_ctrlz", 80, 30);
    checkBox_ShowHex = check(r1, "checkBox_ShowHex");
    checkBox_CmdHexSend = check(r1, "checkBox_CmdHexSend");
    checkBox_Timestamp = check(r1, "checkBox_Timestamp");
    checkBox_CmdWithEnter = check(r1, "checkBox_CmdWithEnter");
    r1->layout()->addItem(HSpacer());
    pushButton_expand_fold = Named<QPushButton>(r1, QStringLiteral("pushButton_expand_fold"));
    SetFixed(pushButton_expand_fold, 30, 30);
    pushButton_expand_fold->setStyleSheet(Styles::FoldButton());
    pushButton_expand_fold->setIcon(QIcon(QStringLiteral(":/image/image/expand.jpg")));
    pushButton_expand_fold->setIconSize(QSize(25, 25));
    r1->layout()->addWidget(pushButton_expand_fold);

    // The find bar stands over the command line, hidden until asked for; the window shows it by
    // making the controls one row taller (see FindBarHeight).
    widget_findBar = row("widget_findBar");
    widget_findBar->hide();
    lineEdit_find = Named<QLineEdit>(widget_findBar, QStringLiteral("lineEdit_find"));
    SetHeight(lineEdit_find, 30);
    widget_findBar->layout()->addWidget(lineEdit_find);
    pushButton_find_previous = button(widget_findBar, "pushButton_find_previous", 40, 30);
    pushButton_find_next = button(widget_findBar, "pushButton_find_next", 40, 30);
    checkBox_find_case = check(widget_findBar, "checkBox_find_case");
    label_find_count = Named<QLabel>(widget_findBar, QStringLiteral("label_find_count"));
    label_find_count->setMinimumWidth(80);
    widget_findBar->layout()->addWidget(label_find_count);

    QWidget *r2 = row("widget_controlRow2");
    lineEdit_main_cmd = Named<QLineEdit>(r2, QStringLiteral("lineEdit_main_cmd"));
    SetHeight(lineEdit_main_cmd, 30);
    lineEdit_main_cmd->setStyleSheet(WhiteBackground);
    r2->layout()->addWidget(lineEdit_main_cmd);
    pushButton_main_cmd_send = button(r2, "pushButton_main_cmd_send", 80, 30);

    QWidget *r3 = row("widget_controlRow3");
    pushButton_send_file_path = Named<QPushButton>(r3, QStringLiteral("pushButton_send_file_path"));
    SetHeight(pushButton_send_file_path, 30);
    pushButton_send_file_path->setStyleSheet(Styles::PathButton());
    pushButton_send_file_path->setAutoDefault(false);
    pushButton_send_file_path->setFlat(false);
    r3->layout()->addWidget(pushButton_send_file_path);
    progressBar = Named<QProgressBar>(r3, QStringLiteral("progressBar"));
    SetFixed(progressBar, 100, 30);
    progressBar->setValue(0);
    progressBar->setAlignment(Qt::AlignCenter);
    progressBar->setStyleSheet(WhiteBackground + QStringLiteral("\nborder: 1px solid gray;"));
    r3->layout()->addWidget(progressBar);
    // Protocol names, the same in every language, so they are not looked up.
    comboBox_sendProtocol = Named<QComboBox>(r3, QStringLiteral("comboBox_sendProtocol"));
    SetFixed(comboBox_sendProtocol, 90, 30);
    comboBox_sendProtocol->setStyleSheet(Styles::Combo());
    comboBox_sendProtocol->addItems(SendProtocolTexts());
    r3->layout()->addWidget(comboBox_sendProtocol);
    pushButton_send_file = button(r3, "pushButton_send_file", 80, 30);

    QWidget *r4 = row("widget_controlRow4");
    pushButton_log_filepath = Named<QPushButton>(r4, QStringLiteral("pushButton_log_filepath"));
    SetHeight(pushButton_log_filepath, 30);
    pushButton_log_filepath->setStyleSheet(Styles::PathButton());
    r4->layout()->addWidget(pushButton_log_filepath);
    checkBox_sendlog_record = check(r4, "checkBox_sendlog_record");
    SetFixed(checkBox_sendlog_record, 100, 30);
    pushButton_log = button(r4, "pushButton_log", 80, 30);
    return controls;
}

QWidget *Ui_Widget::setupRightPanel(QWidget *parent)
{
    widget_right = Named<QWidget>(parent, QStringLiteral("widget_right"));
    widget_right->setStyleSheet(QString());
    verticalLayout_right = VBox(widget_right, 1, 1, 1, 2, 0);
    auto *panel = Named<QWidget>(widget_right, QStringLiteral("widget_pages"));
    panel->setStyleSheet(WhiteBackground);
    auto *panelLayout = VBox(panel, 0, 0, 0, 0, 0);

    tabWidget = Named<QTabWidget>(panel, QStringLiteral("tabWidget"));
    // The pages' only push buttons are the 150 send buttons, so their look goes here with the
    // tabs' rather than on each button (which the toolkit would parse and keep 150 times) or on
    // each page: adding the first page shows and polishes it, and a style sheet set on it after
    // that would polish its 175 controls a second time.
    tabWidget->setStyleSheet(Styles::Tabs() + QStringLiteral("\n") + Styles::RowButton());
    tabWidget->setElideMode(Qt::ElideNone);
    for (int page = 0; page < PageCount; ++page)
        tabWidget->addTab(setupPage(page), QString());
    tab_0 = tabs[0];
    tab_1 = tabs[1];
    tab_2 = tabs[2];
    tab_3 = tabs[3];
    tab_4 = tabs[4];
    tab_5 = tabs[5];
    checkBox_p0_CmdSelectAll = selectAll[0];
    checkBox_p1_CmdSelectAll = selectAll[1];
    checkBox_p2_CmdSelectAll = selectAll[2];
    checkBox_p3_CmdSelectAll = selectAll[3];
    checkBox_p4_CmdSelectAll = selectAll[4];
    checkBox_p5_CmdSelectAll = selectAll[5];
    checkBox_p0_hexSelectAll = hexAll[0];
    checkBox_p1_hexSelectAll = hexAll[1];
    checkBox_p2_hexSelectAll = hexAll[2];
    checkBox_p3_hexSelectAll = hexAll[3];
    checkBox_p4_hexSelectAll = hexAll[4];
    checkBox_p5_hexSelectAll = hexAll[5];
    checkBox_p0_EnterSeledtAll = enterAll[0];
    checkBox_p1_EnterSeledtAll = enterAll[1];
    checkBox_p2_EnterSeledtAll = enterAll[2];
    checkBox_p3_EnterSeledtAll = enterAll[3];
    checkBox_p4_EnterSeledtAll = enterAll[4];
    checkBox_p5_EnterSeledtAll = enterAll[5];
    label_11 = delayLabels[0];
    label_12 = delayLabels[1];
    label_13 = delayLabels[2];
    label_14 = delayLabels[3];
    label_15 = delayLabels[4];
    label_16 = delayLabels[5];
    panelLayout->addWidget(tabWidget);
    panelLayout->addWidget(setupRunBar(panel));
    verticalLayout_right->addWidget(panel);
    return widget_right;
}

QWidget *Ui_Widget::setupPage(int page)
{
    const QString p = QString::number(page);
    QWidget *tab = Named<QWidget>(nullptr, QStringLiteral("tab_") + p);
    tabs[page] = tab;
    auto *layout = VBox(tab, 2, 5, 2, 5, 2);

    auto *header = Named<QWidget>(tab, QStringLiteral("widget_p%1_header").arg(p));
    auto *headerLayout = HBox(header, 5, 0, 0, 0, 0);
    selectAll[page] = Named<QCheckBox>(header, QStringLiteral("checkBox_p%1_CmdSelectAll").arg(p));
    headerLayout->addWidget(selectAll[page]);
    if (page == 0) {
        label_9 = Named<QLabel>(header, QStringLiteral("label_9"));
        headerLayout->addWidget(label_9);
    }
    hexAll[page] = Named<QCheckBox>(header, QStringLiteral("checkBox_p%1_hexSelectAll").arg(p));
    hexAll[page]->setLayoutDirection(Qt::RightToLeft);
    hexAll[page]->setStyleSheet(QStringLiteral("margin-right:6px;"));
    hexAll[page]->setTristate(false);
    headerLayout->addWidget(hexAll[page]);
    enterAll[page] = Named<QCheckBox>(header, QStringLiteral("checkBox_p%1_EnterSeledtAll").arg(p));
    enterAll[page]->setMinimumWidth(64);
    enterAll[page]->setMaximumWidth(64);
    headerLayout->addWidget(enterAll[page]);
    delayLabels[page] = Named<QLabel>(header, QStringLiteral("label_%1").arg(11 + page));
    delayLabels[page]->setMinimumWidth(50);
    delayLabels[page]->setMaximumWidth(70);
    delayLabels[page]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    headerLayout->addWidget(delayLabels[page]);
    layout->addWidget(header);

    for (int k = page * RowsPerPage + 1; k <= (page + 1) * RowsPerPage; ++k) {
        const QString n = QString::number(k);
        auto *row = Named<QWidget>(tab, QStringLiteral("widget_row_") + n);
        auto *rowLayout = HBox(row, 5, 0, 0, 0, 0);
        rowLayout->addWidget(Named<QCheckBox>(row, QStringLiteral("checkBox_selectList_") + n));
        rowLayout->addWidget(Named<QLineEdit>(row, QStringLiteral("lineEdit_cmdList_") + n));
        rowLayout->addWidget(Named<QCheckBox>(row, QStringLiteral("checkBox_hexList_") + n));
        rowLayout->addWidget(Named<QCheckBox>(row, QStringLiteral("checkBox_enterList_") + n));
        auto *send = Named<QPushButton>(row, QStringLiteral("pushButton_sendList_") + n);
        send->setMinimumSize(40, 20);
        send->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        rowButtons.append(send);
        rowLayout->addWidget(send);
        auto *delay = Named<QLineEdit>(row, QStringLiteral("lineEdit_delayList_") + n);
        delay->setMinimumWidth(50);
        delay->setMaximumWidth(70);
        rowLayout->addWidget(delay);
        layout->addWidget(row);
    }
    return tab;
}

QWidget *Ui_Widget::setupRunBar(QWidget *parent)
{
    auto *bar = Named<QWidget>(parent, QStringLiteral("widget_runBar"));
    SetHeight(bar, 80);
    bar->setStyleSheet(UiFont);
    auto *layout = VBox(bar, 0, 0, 0, 0, 0);
    auto row = [&](const char *name) {
        auto *w = Named<QWidget>(bar, QString::fromLatin1(name));
        HBox(w, 5, 5, 0, 5, 0);
        layout->addWidget(w);
        return w;
    };
    auto button = [](QWidget *p, const char *name, const QString &style) {
        auto *b = Named<QPushButton>(p, QString::fromLatin1(name));
        b->setMinimumSize(100, 30);
        b->setStyleSheet(style);
        p->layout()->addWidget(b);
        return b;
    };

    QWidget *r1 = row("widget_runRow");
    pushButton_run = button(r1, "pushButton_run", Styles::BlueButton());
    pushButton_run->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    pushButton_stop = button(r1, "pushButton_stop", Styles::StopButton());
    label_7 = Named<QLabel>(r1, QStringLiteral("label_7"));
    r1->layout()->addWidget(label_7);
    lineEdit_RunTimes = Named<QLineEdit>(r1, QStringLiteral("lineEdit_RunTimes"));
    lineEdit_RunTimes->setMinimumHeight(30);
    r1->layout()->addWidget(lineEdit_RunTimes);
    label_RunInterval = Named<QLabel>(r1, QStringLiteral("label_RunInterval"));
    r1->layout()->addWidget(label_RunInterval);
    lineEdit_Interval = Named<QLineEdit>(r1, QStringLiteral("lineEdit_Interval"));
    lineEdit_Interval->setMinimumHeight(30);
    r1->layout()->addWidget(lineEdit_Interval);
    r1->layout()->addItem(HSpacer());

    QWidget *r2 = row("widget_configRow");
    pushButton_saveConfigFile = button(r2, "pushButton_saveConfigFile", Styles::BlueButton());
    pushButton_loadConfingFile = button(r2, "pushButton_loadConfingFile", Styles::BlueButton());
    pushButton_clearAllConfMsg = button(r2, "pushButton_clearAllConfMsg", Styles::BlueButton());
    r2->layout()->addItem(HSpacer());
    return bar;
}

QWidget *Ui_Widget::setupBottomBar(QWidget *form)
{
    widget_bottomBar = Named<QWidget>(form, QStringLiteral("widget_bottomBar"));
    SetHeight(widget_bottomBar, 25);
    widget_bottomBar->setStyleSheet(QStringLiteral("font: 8pt \"微软雅黑\";\n"
                                                   "color: rgb(255, 255, 255);"));
    horizontalLayout_bottomBar = HBox(widget_bottomBar, 0, 0, 0, 3, 0);
    horizontalLayout_bottomBar->addWidget(setupLineStrip(widget_bottomBar));
    label_copyright = Named<QLabel>(widget_bottomBar, QStringLiteral("label_copyright"));
    label_copyright->setAlignment(Qt::AlignCenter);
    horizontalLayout_bottomBar->addWidget(label_copyright);
    label_zoom = Named<QLabel>(widget_bottomBar, QStringLiteral("label_zoom"));
    SetFixed(label_zoom, 15, 15);
    label_zoom->setPixmap(FormPixmap(QStringLiteral(":/image/image/zoom.png")));
    label_zoom->setScaledContents(true);
    label_zoom->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    horizontalLayout_bottomBar->addWidget(label_zoom);
    horizontalLayout_bottomBar->setStretch(1, 1);
    return widget_bottomBar;
}

QWidget *Ui_Widget::setupLineStrip(QWidget *bar)
{
    widget_lineStrip = Named<QWidget>(bar, QStringLiteral("widget_lineStrip"));
    horizontalLayout_lineStrip = HBox(widget_lineStrip, 4, 6, 0, 0, 0);
    const auto counter = [this](const char *name) {
        auto *label = Named<QLabel>(widget_lineStrip, QLatin1String(name));
        // Room for a count of a few gigabytes, so the strip does not move as it grows.
        label->setMinimumWidth(66);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setCursor(Qt::PointingHandCursor);
        horizontalLayout_lineStrip->addWidget(label);
        return label;
    };
    label_rxCount = counter("label_rxCount");
    label_txCount = counter("label_txCount");
    const auto button = [this](const char *name, bool checkable) {
        auto *b = Named<QPushButton>(widget_lineStrip, QLatin1String(name));
        SetFixed(b, 32, 17);
        b->setCheckable(checkable);
        b->setFocusPolicy(Qt::NoFocus);
        b->setStyleSheet(Styles::LineButton());
        horizontalLayout_lineStrip->addWidget(b);
        return b;
    };
    // Asserted, as the system leaves both lines after an open.
    pushButton_dtr = button("pushButton_dtr", true);
    pushButton_dtr->setChecked(true);
    pushButton_rts = button("pushButton_rts", true);
    pushButton_rts->setChecked(true);
    pushButton_break = button("pushButton_break", false);
    const auto indicator = [this](const char *name) {
        auto *label = Named<QLabel>(widget_lineStrip, QLatin1String(name));
        SetFixed(label, 28, 17);
        label->setAlignment(Qt::AlignCenter);
        label->setStyleSheet(Styles::LineIndicatorDim());
        horizontalLayout_lineStrip->addWidget(label);
        return label;
    };
    label_cts = indicator("label_cts");
    label_dsr = indicator("label_dsr");
    label_dcd = indicator("label_dcd");
    label_ri = indicator("label_ri");
    return widget_lineStrip;
}

void Ui_Widget::retranslateUi(QWidget *form)
{
    form->setWindowTitle(QCoreApplication::translate("Widget", "Sermora"));
    label_logo->setText(QString());
    label_title->setText(QCoreApplication::translate("Widget", "Kesto · Sermora"));
    btn_close->setText(QString());
    btn_max->setText(QString());
    btn_min->setText(QString());
    btn_top->setText(QString());
    pushButton_about->setText(QString());

    groupBox->setTitle(QCoreApplication::translate("Widget", "会话配置"));
    label->setText(QCoreApplication::translate("Widget", "端口号"));
    label_6->setText(QCoreApplication::translate("Widget", "波特率"));
    label_4->setText(QCoreApplication::translate("Widget", "数据位"));
    label_2->setText(QCoreApplication::translate("Widget", "检验位"));
    label_3->setText(QCoreApplication::translate("Widget", "流控制"));
    label_5->setText(QCoreApplication::translate("Widget", "停止位"));
    comboBox_baudrate->clear();
    comboBox_baudrate->insertItems(0, {QCoreApplication::translate("Widget", "110"),
                                       QCoreApplication::translate("Widget", "300"),
                                       QCoreApplication::translate("Widget", "600"),
                                       QCoreApplication::translate("Widget", "1200"),
                                       QCoreApplication::translate("Widget", "2400"),
                                       QCoreApplication::translate("Widget", "4800"),
                                       QCoreApplication::translate("Widget", "9600"),
                                       QCoreApplication::translate("Widget", "14400"),
                                       QCoreApplication::translate("Widget", "19200"),
                                       QCoreApplication::translate("Widget", "38400"),
                                       QCoreApplication::translate("Widget", "57600"),
                                       QCoreApplication::translate("Widget", "115200"),
                                       QCoreApplication::translate("Widget", "230400"),
                                       QCoreApplication::translate("Widget", "380400"),
                                       QCoreApplication::translate("Widget", "460800"),
                                       QCoreApplication::translate("Widget", "921600")});
    comboBox_databits->clear();
    comboBox_databits->insertItems(0, {QCoreApplication::translate("Widget", "5"),
                                       QCoreApplication::translate("Widget", "6"),
                                       QCoreApplication::translate("Widget", "7"),
                                       QCoreApplication::translate("Widget", "8")});
    comboBox_parity->clear();
    comboBox_parity->insertItems(0, {QCoreApplication::translate("Widget", "None"),
                                     QCoreApplication::translate("Widget", "Odd"),
                                     QCoreApplication::translate("Widget", "Even"),
                                     QCoreApplication::translate("Widget", "Mark"),
                                     QCoreApplication::translate("Widget", "Space")});
    comboBox_stopbits->clear();
    comboBox_stopbits->insertItems(0, {QCoreApplication::translate("Widget", "1"),
                                       QCoreApplication::translate("Widget", "1.5"),
                                       QCoreApplication::translate("Widget", "2")});
    comboBox_flowcontrol->clear();
    comboBox_flowcontrol->insertItems(0, {QCoreApplication::translate("Widget", "NONE"),
                                          QCoreApplication::translate("Widget", "RTS/CTS"),
                                          QCoreApplication::translate("Widget", "XON/XOFF")});
    pushButton_serialOpen->setText(Texts::OpenButton());

    pushButton_clear_screen->setText(QCoreApplication::translate("Widget", "清空屏幕内容"));
    pushButton_send_ctrlz->setText(QCoreApplication::translate("Widget", "发送Ctrl-Z"));
    checkBox_ShowHex->setText(QCoreApplication::translate("Widget", "HEX显示"));
    checkBox_CmdHexSend->setText(QCoreApplication::translate("Widget", "HEX发送"));
    checkBox_Timestamp->setText(QCoreApplication::translate("Widget", "时间戳"));
    checkBox_CmdWithEnter->setText(QCoreApplication::translate("Widget", "发送回车换行"));
    pushButton_expand_fold->setText(QString());
    pushButton_main_cmd_send->setText(QCoreApplication::translate("Widget", "发送内容"));
    lineEdit_find->setPlaceholderText(QCoreApplication::translate("Widget", "查找"));
    pushButton_find_previous->setText(QStringLiteral("▲"));
    pushButton_find_previous->setToolTip(
        QCoreApplication::translate("Widget", "上一个 (Shift+F3)"));
    pushButton_find_next->setText(QStringLiteral("▼"));
    pushButton_find_next->setToolTip(QCoreApplication::translate("Widget", "下一个 (F3)"));
    checkBox_find_case->setText(QCoreApplication::translate("Widget", "区分大小写"));
    label_find_count->setText(QStringLiteral("0/0"));
    pushButton_send_file_path->setText(Texts::NoFileToSend());
    pushButton_send_file->setText(Texts::SendFileButton());
    pushButton_log_filepath->setText(Texts::NoLogPath());
    checkBox_sendlog_record->setText(QCoreApplication::translate("Widget", "记录发送内容"));
    pushButton_log->setText(Texts::StartLogButton());
    textBrowser->setHtml(QStringLiteral("<html><head><meta name=\"qrichtext\" content=\"1\" />"
                                        "</head><body style=\"font-family:'等线'; "
                                        "font-size:9pt;\"></body></html>"));

    for (int page = 0; page < PageCount; ++page) {
        tabWidget->setTabText(page, QCoreApplication::translate("Widget", "Page%1").arg(page));
        selectAll[page]->setText(QCoreApplication::translate("Widget", "Choose All/None"));
        hexAll[page]->setText(QCoreApplication::translate("Widget", "Hex"));
        enterAll[page]->setText(QCoreApplication::translate("Widget", "Enter"));
        delayLabels[page]->setText(QCoreApplication::translate("Widget", "Delay(ms)"));
    }
    label_9->setText(QString());
    for (int k = 0; k < rowButtons.size(); ++k)
        rowButtons[k]->setText(QString::number(k + 1));

    pushButton_run->setText(Texts::RunButton());
    pushButton_stop->setText(QCoreApplication::translate("Widget", "STOP"));
    label_7->setText(QCoreApplication::translate("Widget", "运行次数"));
    label_RunInterval->setText(QCoreApplication::translate("Widget", " 循环间隔"));
    pushButton_saveConfigFile->setText(QCoreApplication::translate("Widget", "保存配置到文件"));
    pushButton_loadConfingFile->setText(QCoreApplication::translate("Widget", "加载配置文件"));
    pushButton_clearAllConfMsg->setText(QCoreApplication::translate("Widget", "清空配置信息"));

    label_copyright->setText(
        QCoreApplication::translate("Widget", "Copyright © 2026 Kesto. Sermora serial terminal."));
    label_zoom->setText(QString());
    // Line names and counts read the same in every language.
    label_rxCount->setText(QStringLiteral("RX 0"));
    label_txCount->setText(QStringLiteral("TX 0"));
    label_rxCount->setToolTip(Texts::CounterToolTip());
    label_txCount->setToolTip(Texts::CounterToolTip());
    pushButton_dtr->setText(QStringLiteral("DTR"));
    pushButton_rts->setText(QStringLiteral("RTS"));
    pushButton_break->setText(QStringLiteral("BRK"));
    label_cts->setText(QStringLiteral("CTS"));
    label_dsr->setText(QStringLiteral("DSR"));
    label_dcd->setText(QStringLiteral("DCD"));
    label_ri->setText(QStringLiteral("RI"));
}
