#include "app/filecopy.h"

#include "ground/messages.h"
#include "ground/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString absoluteClean(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool sameFile(const QString &source, const QString &target)
{
    const QFileInfo sourceInfo(source);
    const QFileInfo targetInfo(target);
    if (sourceInfo.exists() && targetInfo.exists())
        return sourceInfo.canonicalFilePath() == targetInfo.canonicalFilePath();
    return absoluteClean(source) == absoluteClean(target);
}

// True when `inner` is `outer` or lies below it.
bool isWithin(const QString &inner, const QString &outer)
{
    const QString in = absoluteClean(inner);
    const QString out = absoluteClean(outer);
    return in == out || in.startsWith(out + QLatin1Char('/'));
}

// Windows patterns: "*.*" is every entry, also those without a dot.
QString qtMask(const QString &mask)
{
    return mask == QLatin1String("*.*") ? QStringLiteral("*") : mask;
}

int percent(qint64 part, qint64 total)
{
    return total > 0 ? int(qMin<qint64>(100, part * 100 / total)) : 100;
}

} // namespace

bool TFileCopyNew::Execute()
{
    if (SourceFile.isEmpty()) {
        error(QStringLiteral("I can't copy\nSource File name missing"));
        return false;
    }
    if (TargetFile.isEmpty()) {
        error(QStringLiteral("I can't copy\nTarget File name missing"));
        return false;
    }
    if (copyPattern(SourceFile, TargetFile))
        return true;
    error(QStringLiteral("Execution failed :\n\n") + shown(SourceFile) + QStringLiteral(" -> ") + shown(TargetFile));
    return false;
}

bool TFileCopyNew::copyPattern(const QString &source, const QString &target)
{
    const QFileInfo sourceInfo(QDir::fromNativeSeparators(source));
    if (!sourceInfo.fileName().contains(QLatin1Char('*'))) {
        const bool copied = copyFile(source, target);
        if (Memo)
            Memo((copied ? QStringLiteral("Ok - ") : QStringLiteral("failed - ")) + shown(source));
        return copied;
    }

    const QString mask = sourceInfo.fileName();
    const QDir sourceDir(sourceInfo.path());
    // For a pattern the target is a folder: its path without the (empty) file part.
    const QString targetDir = QFileInfo(QDir::fromNativeSeparators(target)).path();
    const QFileInfoList entries = sourceDir.entryInfoList(
        {qtMask(mask)}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString sourceFile = sourceDir.filePath(entry.fileName());
        QDir().mkpath(targetDir);
        const QString targetFile = QDir(targetDir).filePath(entry.fileName());
        if (entry.isDir()) {
            if (!IncludeSubFolders)
                continue;
            if (isWithin(targetDir, sourceFile)) {
                error(QStringLiteral("ERROR : folder recursion\n\nCan't copy !"));
                return false;
            }
            QDir().mkpath(targetFile);
            copyPattern(QDir(sourceFile).filePath(mask), targetFile + QLatin1Char('/'));
            continue;
        }
        if (copyFile(sourceFile, targetFile)) {
            log(QStringLiteral("Ok - ") + shown(sourceFile));
        } else {
            log(QStringLiteral("failed - ") + shown(sourceFile));
            return false;
        }
    }
    return true;
}

bool TFileCopyNew::copyFile(const QString &source, const QString &target)
{
    if (sameFile(source, target)) {
        error(QStringLiteral("Error !!!\nI can't copy ") + shown(source) + QStringLiteral(" on itself"));
        return false;
    }

    QFile in(source);
    if (QFileInfo(source).isDir() || !in.open(QIODevice::ReadOnly)) {
        error(shown(source) + QStringLiteral(" missing or corrupted or opened for exclusive use"));
        return false;
    }
    const qint64 total = in.size();

    if (QFileInfo::exists(target)) {
        bool canOverride = false;
        if (OnOverriding)
            OnOverriding(*this, canOverride);
        if (!canOverride)
            return false;
    }

    SaveFile out(target);
    if (!out.open()) {
        error(QStringLiteral("Error on creating ") + shown(target));
        return false;
    }

    QByteArray block(int(BlockSize), Qt::Uninitialized);
    qint64 read = 0;
    qint64 written = 0;
    for (;;) {
        const qint64 count = in.read(block.data(), BlockSize);
        if (count < 0) {
            out.cancel();
            error(QStringLiteral("Read error on \n") + shown(source) + QStringLiteral("\nCopy failed."));
            return false;
        }
        if (count == 0)
            break;
        read += count;
        progress(total, read, written);
        if (!out.write(block.constData(), count))
            break;
        written += count;
        progress(total, read, written);
    }
    // A write that failed has dropped the file already; commit() then says so.
    if (!out.commit()) {
        error(QStringLiteral("Write error on \n") + shown(target) + QStringLiteral("\nCopy failed."));
        return false;
    }
    if (OnCopyProgress)
        OnCopyProgress(*this, 100, 100);
    return true;
}

void TFileCopyNew::log(const QString &line)
{
    if (!ShowProgressOnMemo)
        return;
    if (!Memo) {
        error(QStringLiteral("Error : you must assign an exsisting TMemo to memo property,\n"
                             "before setting ShowProgressOnMemo = True"));
        return;
    }
    Memo(line);
}

void TFileCopyNew::error(const QString &message)
{
    if (OnError)
        OnError(*this, message);
}

void TFileCopyNew::progress(qint64 total, qint64 read, qint64 written)
{
    if (OnCopyProgress)
        OnCopyProgress(*this, percent(read, total), percent(written, total));
}

void showCopyError(const QString &errorMsg)
{
    Messages::plain(QStringLiteral("Errore contattare la VesK.") + errorMsg);
}

void useProgramHandlers(TFileCopyNew &copy)
{
    copy.ShowProgressOnMemo = false;
    copy.IncludeSubFolders = false;
    copy.OnOverriding = [](TFileCopyNew &, bool &canOverride) { canOverride = true; };
    copy.OnError = [](TFileCopyNew &, const QString &errorMsg) { showCopyError(errorMsg); };
}
