#pragma once

#include "app/counts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>

// The main window's widget tree. The 150 command rows are built in a loop and reached by object
// name (see Widget's constructor), so they have no members of their own here.
class Ui_Widget
{
public:
    QVBoxLayout *verticalLayout;

    QWidget *widget_menuBar;
    QHBoxLayout *horizontalLayout_menuBar;
    QLabel *label_logo;
    QLabel *label_title;
    QWidget *widget_winIcon;
    QHBoxLayout *horizontalLayout_winIcon;
    QPushButton *btn_close;
    QPushButton *btn_max;
    QPushButton *btn_min;
    QPushButton *btn_top;
    QPushButton *pushButton_about;

    QWidget *widget_container;
    QHBoxLayout *horizontalLayout_container;
    QWidget *widget_left;
    QVBoxLayout *verticalLayout_left;
    QGroupBox *groupBox;
    QGridLayout *gridLayout_port;
    QLabel *label;
    QLabel *label_6;
    QLabel *label_4;
    QLabel *label_2;
    QLabel *label_3;
    QLabel *label_5;
    QComboBox *comboBox_serial;
    QComboBox *comboBox_baudrate;
    QComboBox *comboBox_databits;
    QComboBox *comboBox_parity;
    QComboBox *comboBox_flowcontrol;
    QComboBox *comboBox_stopbits;
    QPushButton *pushButton_serialOpen;
    QTextBrowser *textBrowser;
    QPushButton *pushButton_clear_screen;
    QPushButton *pushButton_send_ctrlz;
    QCheckBox *checkBox_ShowHex;
    QCheckBox *checkBox_CmdHexSend;
    QCheckBox *checkBox_Timestamp;
    QCheckBox *checkBox_CmdWithEnter;
    QPushButton *pushButton_expand_fold;
    QWidget *widget_findBar;
    QLineEdit *lineEdit_find;
    QPushButton *pushButton_find_previous;
    QPushButton *pushButton_find_next;
    QCheckBox *checkBox_find_case;
    QLabel *label_find_count;
    QLineEdit *lineEdit_main_cmd;
    QPushButton *pushButton_main_cmd_send;
    QPushButton *pushButton_send_file_path;
    QProgressBar *progressBar;
    QComboBox *comboBox_sendProtocol;
    QPushButton *pushButton_send_file;
    QPushButton *pushButton_log_filepath;
    QCheckBox *checkBox_sendlog_record;
    QPushButton *pushButton_log;

    QWidget *widget_right;
    QVBoxLayout *verticalLayout_right;
    QTabWidget *tabWidget;
    QWidget *tab_0;
    QWidget *tab_1;
    QWidget *tab_2;
    QWidget *tab_3;
    QWidget *tab_4;
    QWidget *tab_5;
    QCheckBox *checkBox_p0_CmdSelectAll;
    QCheckBox *checkBox_p1_CmdSelectAll;
    QCheckBox *checkBox_p2_CmdSelectAll;
    QCheckBox *checkBox_p3_CmdSelectAll;
    QCheckBox *checkBox_p4_CmdSelectAll;
    QCheckBox *checkBox_p5_CmdSelectAll;
    QCheckBox *checkBox_p0_hexSelectAll;
    QCheckBox *checkBox_p1_hexSelectAll;
    QCheckBox *checkBox_p2_hexSelectAll;
    QCheckBox *checkBox_p3_hexSelectAll;
    QCheckBox *checkBox_p4_hexSelectAll;
    QCheckBox *checkBox_p5_hexSelectAll;
    QCheckBox *checkBox_p0_EnterSeledtAll;
    QCheckBox *checkBox_p1_EnterSeledtAll;
    QCheckBox *checkBox_p2_EnterSeledtAll;
    QCheckBox *checkBox_p3_EnterSeledtAll;
    QCheckBox *checkBox_p4_EnterSeledtAll;
    QCheckBox *checkBox_p5_EnterSeledtAll;
    QLabel *label_9;
    QLabel *label_11;
    QLabel *label_12;
    QLabel *label_13;
    QLabel *label_14;
    QLabel *label_15;
    QLabel *label_16;
    QPushButton *pushButton_run;
    QPushButton *pushButton_stop;
    QLabel *label_7;
    QLineEdit *lineEdit_RunTimes;
    QLabel *label_RunInterval;
    QLineEdit *lineEdit_Interval;
    QPushButton *pushButton_saveConfigFile;
    QPushButton *pushButton_loadConfingFile;
    QPushButton *pushButton_clearAllConfMsg;

    QWidget *widget_bottomBar;
    QHBoxLayout *horizontalLayout_bottomBar;
    QWidget *widget_lineStrip;
    QHBoxLayout *horizontalLayout_lineStrip;
    QLabel *label_rxCount;
    QLabel *label_txCount;
    QPushButton *pushButton_dtr;
    QPushButton *pushButton_rts;
    QPushButton *pushButton_break;
    QLabel *label_cts;
    QLabel *label_dsr;
    QLabel *label_dcd;
    QLabel *label_ri;
    QLabel *label_copyright;
    QLabel *label_zoom;

    void setupUi(QWidget *form);
    void retranslateUi(QWidget *form);

private:
    QWidget *setupTitleBar(QWidget *form);
    QWidget *setupLeftPanel(QWidget *parent);
    QWidget *setupPortGroup(QWidget *parent);
    QWidget *setupControls(QWidget *parent);
    QWidget *setupRightPanel(QWidget *parent);
    QWidget *setupRunBar(QWidget *parent);
    QWidget *setupBottomBar(QWidget *form);
    QWidget *setupLineStrip(QWidget *bar);
    QWidget *setupPage(int page);

    QWidget *tabs[PageCount];
    QCheckBox *selectAll[PageCount];
    QCheckBox *hexAll[PageCount];
    QCheckBox *enterAll[PageCount];
    QLabel *delayLabels[PageCount];
    QList<QPushButton *> rowButtons;
};
