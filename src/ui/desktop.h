#pragma once
// Desktop: what the program asks of the desktop beyond its own windows, through one place: showing a
// folder in the file manager, opening a file with the program the desktop gives its type. In test mode
// (ground/testmode.h) nothing is started; the folders and files asked for are kept for the test to read
// back.

#include <QStringList>

class Desktop {
public:
    static void showFolder(const QString &folder);
    static void openFile(const QString &file);

    // Test support.
    static QStringList shownFolders();
    static QStringList openedFiles();
    static void clear();
};
