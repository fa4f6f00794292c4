#include "ui/desktop.h"

#include "ground/testmode.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

QStringList &shown()
{
    static QStringList folders;
    return folders;
}

QStringList &opened()
{
    static QStringList files;
    return files;
}

void open(QStringList &record, const QString &path)
{
    if (inTestMode()) {
        record.append(path);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace

void Desktop::showFolder(const QString &folder)
{
    open(shown(), folder);
}

void Desktop::openFile(const QString &file)
{
    open(opened(), file);
}

QStringList Desktop::shownFolders()
{
    return shown();
}

QStringList Desktop::openedFiles()
{
    return opened();
}

void Desktop::clear()
{
    shown().clear();
    opened().clear();
}
