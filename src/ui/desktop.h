#pragma once
// Desktop: what the program asks of the desktop beyond its own windows, through one place: showing a
// folder in the file manager. In test mode (ground/testmode.h) nothing is started; the folders asked
// for are kept for the test to read back.

#include <QStringList>

class Desktop {
public:
    static void showFolder(const QString &folder);

    // Test support.
    static QStringList shownFolders();
    static void clear();
};
