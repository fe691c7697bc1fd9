#pragma once

#include "serial/find.h"
#include "serial/history.h"
#include "serial/lineending.h"

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

#include "serial/port.h"
#include "transfer/xmodem.h"

#include <QElapsedTimer>

#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QKeyEvent;
class QPushButton;
class QTimer;
class Ui_Widget;
class ConsoleModel;
struct ConsoleOptions;
struct NetPortUrl;

// The one main window. Its members are defined in the folder of the subsystem they serve, one
// .cpp file without a header each; they are declared below grouped by that file. The
// program-wide state they share is in app/globals.h; docs/ARCHITECTURE.md is the map.
class Widget : public QWidget
{
    Q_OBJECT

    // ---- app/widget.cpp: construction, and the close button that ends the program.
public:
    explicit Widget(QWidget *parent = nullptr);
    ~Widget() override;

private slots:
    void on_btn_close_clicked();

private:
    Ui_Widget *ui;

    // ---- app/chrome.cpp: the frameless window's title bar, corner grip, fold button, about
    // box and Ctrl+Z key.
public:
    // Names the profile after "Sermora" in the title bar and the window system's title, so that
    // windows side by side tell themselves apart.
    void ShowProfile(const QString &name);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_btn_min_clicked();
    void on_btn_max_clicked();
    void on_btn_top_clicked();
    void on_pushButton_expand_fold_clicked();
    void on_pushButton_about_clicked();
    void keyPressEvent(QKeyEvent *keyEvent) override;

private:
    bool isDragging = false;
    QPoint dragOffset;
    bool isResizing = false;
    QRect resizeStartGeometry;
    QPoint resizeStartPos;
    bool isOnTop = false;
    bool isRightPanelHidden = false;

    // ---- serial/ports.cpp: port discovery, the line parameters, opening and closing the port.
public:
    // Chooses the port named on the command line (a system name, a device path or a network
    // address) and opens it as OPEN does, with `baudRate` if not empty; a failure shows the box.
    void OpenFromCommandLine(const QString &name, const QString &baudRate);

private slots:
    void _KESTO_GetSerialPorts();
    void on_comboBox_baudrate_currentIndexChanged(const QString &arg1);
    void on_comboBox_databits_currentIndexChanged(const QString &arg1);
    void on_comboBox_parity_currentIndexChanged(const QString &arg1);
    void on_comboBox_flowcontrol_currentIndexChanged(const QString &arg1);
    void on_comboBox_stopbits_currentIndexChanged(const QString &arg1);
    void on_pushButton_serialOpen_clicked();
    void on_comboBox_serial_activated(int index);

private:
    // Opens the port chosen in the selector with the chosen line parameters; caller names the
    // debug traces. On failure nothing is left open and, if asked, the warning box says so.
    bool OpenPort(const QString &caller, bool warnOnFailure);
    // Closes the open port and restores the closed look; caller names the debug traces.
    void ClosePort(const QString &caller);
    // At a scan: reopens the port that an unplug closed, if it is back in time.
    void ReopenIfBack();
    // The open port says its device went for good: closed as at an unplug.
    void ClosePortThatWent();
    // Lists the stored network ports and gives the port list its context menu (add, remove).
    void SetUpNetworkPorts();
    // The add dialog: a valid address joins the list and is chosen, a malformed one is refused.
    void AskForNetworkPort();
    // Lists and stores the address unless it is listed already; its position in the list.
    int AddNetworkPort(const NetPortUrl &url);
    // Forgets the network port at this position of the list (no other entry).
    void RemoveNetworkPort(int index);
    // Unlocks or locks the six selectors (they are locked while a port is open).
    void SetPortSelectorsEnabled(bool enabled);

    // ---- serial/receive.cpp: reading bursts, the console and its switches.
public:
    // Puts one chunk on the console (both renditions) and, while recording, into the log.
    void ShowData(QByteArray data, bool received);
    // Hands every delivery of the open port to `consumer` as it arrives, instead of to the
    // console; an empty one gives the stream back to the console.
    void SetReceiveConsumer(std::function<void(const QByteArray &)> consumer);

private slots:
    void _KESTO_UartRecvIRQ_Handler();
    void _KESTO_ReadSerialData();
    // At the read timer: reads the burst once it has gone quiet or is due, else waits the rest.
    void ReadWhenQuiet();
    void on_checkBox_ShowHex_stateChanged(int arg1);
    void on_checkBox_ShowHex_clicked(bool checked);
    void on_checkBox_Timestamp_stateChanged(int arg1);
    void on_pushButton_clear_screen_clicked();

private:
    // Shows the received bytes the console does not have yet, before the port goes.
    void FlushReceived();
    // Every byte the program receives comes through here; it counts them for the line strip.
    QByteArray ReadFromPort();
    // The switches that decide how a chunk is shown, as they stand.
    ConsoleOptions ConsoleOptionsShown() const;

    // What the console holds; its parts go into the log while recording.
    ConsoleModel *console = nullptr;
    // Takes the received stream from the console while set.
    std::function<void(const QByteArray &)> receiveConsumer;

    // ---- serial/controllines.cpp: the bottom bar's line strip: the byte counters, DTR and RTS,
    // break, and the device's modem lines.
private slots:
    void on_pushButton_dtr_clicked(bool checked);
    void on_pushButton_rts_clicked(bool checked);
    void on_pushButton_dtr_toggled(bool checked);
    void on_pushButton_rts_toggled(bool checked);
    void on_pushButton_break_clicked();

private:
    // Creates the strip's timers and the toggles' pulse menus.
    void SetUpLineStrip();
    // Sets the toggle's line on the open port; a refusal is traced.
    Port::LineResult SetLine(QPushButton *toggle, bool on);
    // A click on a toggle: sets its line, or shows the line unchanged when the driver refuses.
    void ToggleLine(QPushButton *toggle, bool checked);
    // Inverts the toggle's line for a moment, then puts it back.
    void PulseLine(QPushButton *toggle);
    void EndBreak();
    // RTS is the driver's own under RTS/CTS flow control.
    void UpdateRtsToggle();
    // Right after an open: the counters from 0, the stored output lines, the input lines read.
    void StartLines();
    // Before a close: a break or a pulse under way ends, the input lines go dim.
    void StopLines();
    // At the line timer: the input lines and the counters.
    void ReadLines();
    // Bytes went in or out: the counters show them at the next tick of the line timer.
    void CountsChanged();
    void ShowCounts();
    void ResetCounts();

    QTimer *lineTimer = nullptr;
    QTimer *breakTimer = nullptr;
    QTimer *dtrPulse = nullptr;
    QTimer *rtsPulse = nullptr;
    // Bytes received and sent since the port was opened (or the counters were clicked).
    qint64 bytesReceived = 0;
    qint64 bytesSent = 0;
    // The driver reports the modem lines of the open port.
    bool linesReported = false;

    // ---- serial/consolemenu.cpp: the console's context menu and its two options.
private slots:
    void on_textBrowser_customContextMenuRequested(const QPoint &pos);

private:
    // Creates the options; they start unchecked.
    void SetUpConsoleMenu();

    // Stops the console following new output while checked; scrolling up checks it, scrolling
    // back to the end clears it.
    void SetPaused(bool on);

    // Stored in "config.ini"; read by the receive path and the port scan.
    QAction *ansiColoursAction = nullptr;
    QAction *autoReopenAction = nullptr;
    QAction *findAction = nullptr;
    QAction *pauseAction = nullptr;

    // ---- serial/findbar.cpp: the find bar over the command line.
private:
    void SetUpFindBar();
    void OpenFindBar();
    // Hides the bar and removes the highlights.
    void CloseFindBar();
    // Searches the console afresh for what the bar holds.
    void RestartFind();
    // Brings the matches up to date with what the console added since.
    void FollowConsole();
    // Moves to the next or previous match, wrapping, and scrolls it into view.
    void FindStep(bool forward);
    void ScrollToCurrentMatch();
    // The count, and the highlights of the matches in view.
    void ShowMatches();

    TextFinder finder;

    // ---- serial/transmit.cpp: the one send routine and the command line.
private slots:
    void _KESTO_UartSend(QString data, bool hexSend, bool withEnter);
    void on_pushButton_main_cmd_send_clicked();
    void on_lineEdit_main_cmd_returnPressed();
    void on_pushButton_send_ctrlz_clicked();
    void on_checkBox_CmdHexSend_stateChanged(int arg1);
    void on_checkBox_CmdWithEnter_stateChanged(int arg1);

private:
    // Sets up the command line's history and the line ending's menu, and restores both.
    void SetUpCommandLine();
    void SetLineEnding(LineEnding ending);
    CommandHistory &HistoryShown();

    CommandHistory textHistory;
    CommandHistory hexHistory;
    LineEnding lineEnding = LineEnding::CrLf;
    // The line ending's choices, stored through the settings table.
    QActionGroup *lineEndingGroup = nullptr;

    // Every byte the program sends goes through here; the count the port accepted. Callers check
    // first that a port is open.
    qint64 WriteToPort(const QByteArray &bytes);

    // ---- commands/rows.cpp: the slots of the 150 command rows and of the page headers.
private slots:
    void OnSelectCheckboxListStateChanged();
    void OnCmdLineListEditingFinished();
    void OnCmdLineListReturnPressed();
    void OnHexCheckboxListStateChanged();
    void OnEnterCheckboxListStateChanged();
    void OnSendBtnListClicked();
    void OnDelayLineListEditingFinished();

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

private:
    // Ticks or clears the 25 boxes of one page in one column.
    void SetPageColumn(QList<QCheckBox *> &column, int page, int state);

    // ---- commands/pages.cpp: naming a page.
private slots:
    void on_tabWidget_tabBarDoubleClicked(int index);

    // ---- commands/batch.cpp: the batch run.
private slots:
    void on_pushButton_run_clicked();
    void on_pushButton_stop_clicked();
    void on_lineEdit_RunTimes_textChanged(const QString &arg1);
    void on_lineEdit_Interval_textChanged(const QString &arg1);

    // ---- config/loader.cpp: applying a configuration file.
public:
    // Applies a configuration file to the window; the global block only for "config.ini".
    // False, with nothing changed, for a file that cannot be read or holds serialised values.
    bool LoadConfigFile(const QString &path);

    // ---- config/configfiles.cpp: saving, loading and clearing configurations.
private slots:
    void on_pushButton_clearAllConfMsg_clicked();
    void on_pushButton_loadConfingFile_clicked();
    void on_pushButton_saveConfigFile_clicked();

    // ---- config/log.cpp: log recording.
private slots:
    void on_pushButton_log_filepath_clicked();
    void on_pushButton_log_clicked();

private:
    // Writes one displayed part to the log file while recording.
    void LogWrite(const QString &part);

    // The chosen log file; empty until one is chosen. Its path button shows it.
    QString logPath;

    // ---- transfer/sendfile.cpp: sending a file.
private slots:
    void on_pushButton_send_file_path_clicked();
    void on_pushButton_send_file_clicked();

private:
    // The chosen file to send; empty until one is chosen. Its path button shows it.
    QString fileToSend;

    // ---- transfer/protocolsend.cpp: sending a file in XMODEM, XMODEM-1K or YMODEM.
public:
    // The waits of the next transfers; the tests shorten them.
    void SetTransferTimeouts(const XmodemTimeouts &timeouts);

private slots:
    void on_comboBox_sendProtocol_currentIndexChanged(const QString &arg1);

private:
    // Refuses a missing port or file at once; otherwise starts waiting for the receiver.
    void StartTransfer(SendProtocol protocol);
    // The send button during a transfer: CAN CAN CAN, and the console line only.
    void CancelTransfer();
    // Before the port goes (a click or an unplug): the transfer ends, the box comes later.
    void EndTransferForClose();
    void TransferReceived(const QByteArray &bytes);
    // Writes the engine's output, shows its progress and waits for its next deadline, or ends
    // the transfer once the engine has finished. `rest` arrived after the end and is the
    // console's.
    void TransferStep(const QByteArray &output, const QByteArray &rest = QByteArray());
    void FinishTransfer(const QByteArray &rest);

    // The running transfer; null when none runs.
    std::unique_ptr<XmodemSender> transfer;
    QTimer *transferTimer = nullptr;
    QElapsedTimer transferClock;
    XmodemTimeouts transferTimeouts;
};
