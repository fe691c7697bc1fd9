#include "app/globals.h"

Port *serialPort = nullptr;
QSettings *settings = nullptr;
QTimer *readTimer = nullptr;
QList<QString> portNameList;
QFile logFile;
bool logRecording = false;
QString textDisplayBuffer;
QString hexDisplayBuffer;
bool isBatchRunning = false;
int reopenedSessions = 0;

QList<QCheckBox *> selectCheckBoxList;
QList<QCheckBox *> hexCheckBoxList;
QList<QCheckBox *> enterCheckBoxList;
QList<QLineEdit *> cmdLineEditList;
QList<QLineEdit *> delayLineEditList;
QList<QPushButton *> sendButtonList;
