#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// What a file dialog offered before the test answered it.
struct FileDialogSeen
{
    bool shown = false;
    QString caption;
    QStringList nameFilters;
    // The file the dialog had selected when it came up, as an absolute path.
    QString proposedFile;
    QString directory;
    bool saveDialog = false;
    bool hasParent = false;
    // The save dialog asked whether to replace an existing file (the test answers Yes).
    bool overwriteAsked = false;
};

// Answers the next modal QFileDialog: records what it offered, types `path` into its file name
// field and accepts it; an empty `path` cancels the dialog instead. `then` runs once the dialog
// is answered, the place to arm the answer to a box the program shows next.
std::shared_ptr<FileDialogSeen>
answerNextFileDialog(const QString &path, std::function<void()> then = {}, int timeoutMs = 10000);
