#pragma once

// Program-wide state shared by the slots of every subsystem. All of it lives on the GUI thread.

#include <QFile>
#include <QList>
#include <QString>

class QCheckBox;
class QLineEdit;
class Port;
class QPushButton;
class QSettings;
class QTimer;

// The open port; null exactly when no port is open.
extern Port *serialPort;
// The settings store on "config.ini".
extern QSettings *settings;
// Coalesces bursts of received bytes into one console chunk.
extern QTimer *readTimer;
// Port names in the order of the items of comboBox_serial.
extern QList<QString> portNameList;
extern QFile logFile;
extern bool logRecording;
// The whole console content since the last clear, in both renditions.
extern QString textDisplayBuffer;
extern QString hexDisplayBuffer;
extern bool isBatchRunning;
// Sessions the port scan has reopened after an unplug. A batch run or file send started before
// stops when this changes: the unplug ended it, and a reopened port does not resume it.
extern int reopenedSessions;

// Row N (1..150) sits at position N-1 of each list.
extern QList<QCheckBox *> selectCheckBoxList;
extern QList<QCheckBox *> hexCheckBoxList;
extern QList<QCheckBox *> enterCheckBoxList;
extern QList<QLineEdit *> cmdLineEditList;
extern QList<QLineEdit *> delayLineEditList;
extern QList<QPushButton *> sendButtonList;
