#include "ui/filedialogs.h"

#include "ground/testmode.h"

#include <QFileDialog>
#include <QQueue>

namespace {

enum class Request { FileName, Directory };

QQueue<std::pair<Request, QString>> &answers()
{
    static QQueue<std::pair<Request, QString>> queue;
    return queue;
}

QString scriptedAnswer(Request request, const QString &caption)
{
    if (answers().isEmpty() || answers().head().first != request)
        qFatal("FileDialogs: no %s queued for \"%s\"", request == Request::FileName ? "file name" : "directory",
               qPrintable(caption));
    return answers().dequeue().second;
}

} // namespace

QString FileDialogs::getOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                                     const QString &filter)
{
    if (inTestMode())
        return scriptedAnswer(Request::FileName, caption);
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString FileDialogs::getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                                     const QString &filter)
{
    if (inTestMode())
        return scriptedAnswer(Request::FileName, caption);
    return QFileDialog::getSaveFileName(parent, caption, directory, filter);
}

QString FileDialogs::getExistingDirectory(QWidget *parent, const QString &caption, const QString &directory)
{
    if (inTestMode())
        return scriptedAnswer(Request::Directory, caption);
    return QFileDialog::getExistingDirectory(parent, caption, directory);
}

void FileDialogs::setNextFileName(const QString &filePath)
{
    answers().enqueue({Request::FileName, filePath});
}

void FileDialogs::setNextDirectory(const QString &directory)
{
    answers().enqueue({Request::Directory, directory});
}

qsizetype FileDialogs::pendingAnswers()
{
    return answers().size();
}

void FileDialogs::clear()
{
    answers().clear();
}
