#pragma once

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

class QComboBox;
class QKeyEvent;
class Ui_Widget;

// The one main window. Its member functions live in the folder of the subsystem they serve:
// app/ (lifecycle, chrome), serial/, commands/, config/ and transfer/.
class Widget : public QWidget
{
    Q_OBJECT

public:
    explicit Widget(QWidget *parent = nullptr);
    ~Widget() override;

    // Puts one chunk on the console (both renditions) and, while recording, into the log.
    void ShowData(QByteArray data, bool received);
    // Applies a configuration file to the window; the global block only for "config.ini".
    // False, with nothing changed, for a file that cannot be read or holds serialised values.
    bool LoadConfigFile(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_btn_min_clicked();
    void on_btn_max_clicked();
    void on_btn_close_clicked();
    void on_btn_top_clicked();

    void OnSelectCheckboxListStateChanged();
    void OnCmdLineListEditingFinished();
    void OnCmdLineListReturnPressed();
    void OnHexCheckboxListStateChanged();
    void OnEnterCheckboxListStateChanged();
    void OnSendBtnListClicked();
    void OnDelayLineListEditingFinished();

    void on_pushButton_expand_fold_clicked();

    void on_checkBox_p0_CmdSelectAll_stateChanged(int arg1);
    void on_checkBox_p1_CmdSelectAll_stateChanged(int arg1);
    void on_checkBox_p2_CmdSelectAll_stateChanged(int arg1);
    void on_checkBox_p3_CmdSelectAll_stateChanged(int arg1);
    void on_checkBox_p4_CmdSelectAll_stateChanged(int arg1);
    void on_checkBox_p5_CmdSelectAll_stateChanged(int arg1);
    void on_checkBox_p0_hexSelectAll_stateChanged(int arg1);
    void on_checkBox_p1_hexSelectAll_stateChanged(int arg1);
    void on_checkBox_p2_hexSelectAll_stateChanged(int arg1);
    void on_checkBox_p3_hexSelectAll_stateChanged(int arg1);
    void on_checkBox_p4_hexSelectAll_stateChanged(int arg1);
    void on_checkBox_p5_hexSelectAll_stateChanged(int arg1);
    void on_checkBox_p0_EnterSeledtAll_stateChanged(int arg1);
    void on_checkBox_p1_EnterSeledtAll_stateChanged(int arg1);
    void on_checkBox_p2_EnterSeledtAll_stateChanged(int arg1);
    void on_checkBox_p3_EnterSeledtAll_stateChanged(int arg1);
    void on_checkBox_p4_EnterSeledtAll_stateChanged(int arg1);
    void on_checkBox_p5_EnterSeledtAll_stateChanged(int arg1);

    void on_tabWidget_tabBarDoubleClicked(int index);

    void _KESTO_GetSerialPorts();

    void on_comboBox_baudrate_currentIndexChanged(const QString &arg1);
    void on_comboBox_databits_currentIndexChanged(const QString &arg1);
    void on_comboBox_parity_currentIndexChanged(const QString &arg1);
    void on_comboBox_flowcontrol_currentIndexChanged(const QString &arg1);
    void on_comboBox_stopbits_currentIndexChanged(const QString &arg1);
    void on_pushButton_serialOpen_clicked();

    void _KESTO_UartRecvIRQ_Handler();
    void on_checkBox_ShowHex_stateChanged(int arg1);
    void on_checkBox_CmdHexSend_stateChanged(int arg1);
    void on_checkBox_Timestamp_stateChanged(int arg1);
    void on_checkBox_CmdWithEnter_stateChanged(int arg1);

    void on_lineEdit_RunTimes_textChanged(const QString &arg1);
    void on_lineEdit_Interval_textChanged(const QString &arg1);

    void on_pushButton_clearAllConfMsg_clicked();
    void on_pushButton_loadConfingFile_clicked();
    void on_pushButton_saveConfigFile_clicked();

    void on_pushButton_main_cmd_send_clicked();
    void on_lineEdit_main_cmd_returnPressed();
    void on_pushButton_send_ctrlz_clicked();

    void keyPressEvent(QKeyEvent *keyEvent) override;

    void on_pushButton_send_file_path_clicked();
    void on_pushButton_send_file_clicked();
    void on_pushButton_clear_screen_clicked();
    void on_pushButton_run_clicked();
    void on_pushButton_stop_clicked();
    void on_pushButton_log_filepath_clicked();
    void on_checkBox_ShowHex_clicked(bool checked);
    void on_pushButton_log_clicked();
    void _KESTO_UartSend(QString data, bool hexSend, bool withEnter);
    void on_pushButton_about_clicked();
    void _KESTO_ReadSerialData();

private:
    // Closes the open port and restores the closed look; caller names the debug traces.
    void ClosePort(const QString &caller);
    // Shows the received bytes the console does not have yet, before the port goes.
    void FlushReceived();
    // Inserts one part at the end of the console and, while recording, writes it to the log.
    void ShowPart(const QString &part);
    // The six selectors of the port group, the port first, each with the key its choice is
    // stored under ("config.ini"); the port's is empty, since it is not stored.
    QList<QPair<QComboBox *, QString>> PortSelectors() const;
    // Locks the selectors while a port is open.
    void SetPortSelectorsEnabled(bool enabled);
    // Writes one displayed part to the log file while recording.
    void LogWrite(const QString &part);
    // Ticks or clears the 25 boxes of one page in one column.
    void SetPageColumn(QList<class QCheckBox *> &column, int page, int state);

    Ui_Widget *ui;
    bool isDragging = false;
    QPoint dragOffset;
    bool isResizing = false;
    QRect resizeStartGeometry;
    QPoint resizeStartPos;
    bool isOnTop = false;
    bool isRightPanelHidden = false;
    // The chosen log file and file to send; empty until chosen. Their path buttons show them.
    QString logPath;
    QString fileToSend;
};
