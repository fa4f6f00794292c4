#pragma once
// FileDialogs: every open-file, save-file and folder dialog of the program goes through here. In test
// mode (ground/testmode.h) no dialog appears: each request takes the next name the test queued, an empty
// one standing for "Annulla", and a request with nothing queued is a fatal error.

#include <QString>

class QWidget;

class FileDialogs {
public:
    static QString getOpenFileName(QWidget *parent, const QString &caption, const QString &directory = {},
                                   const QString &filter = {});
    static QString getSaveFileName(QWidget *parent, const QString &caption, const QString &directory = {},
                                   const QString &filter = {});
    static QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &directory = {});

    // Test support.
    static void setNextFileName(const QString &filePath);
    static void setNextDirectory(const QString &directory);
    static qsizetype pendingAnswers();
    static void clear();
};
