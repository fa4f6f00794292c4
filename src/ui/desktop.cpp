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

} // namespace

void Desktop::showFolder(const QString &folder)
{
    if (inTestMode()) {
        shown().append(folder);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

QStringList Desktop::shownFolders()
{
    return shown();
}

void Desktop::clear()
{
    shown().clear();
}
