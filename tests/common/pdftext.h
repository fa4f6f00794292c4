#pragma once
// The PDFs the report engine writes, read back as a person would: their text through pdftotext and,
// for a look by eye, their pages as pictures through pdftoppm (both from poppler-utils).

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace pdf {

// The ligatures a font draws for "fi" and "fl", read back as the letters a person reads.
inline QString readable(QString line)
{
    return line.replace(QChar(0xFB01), QStringLiteral("fi")).replace(QChar(0xFB02), QStringLiteral("fl"));
}

// Each page's lines of text, as laid out, without blanks around them and without empty lines.
inline QList<QStringList> pages(const QString &path)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        qFatal("pdftotext is missing: install poppler-utils (scripts/install-deps.sh)");
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                                               QStringLiteral("-")});
    if (!reader.waitForFinished(120000) || reader.exitStatus() != QProcess::NormalExit || reader.exitCode() != 0)
        return {};
    QList<QStringList> pages;
    for (const QString &page : QString::fromUtf8(reader.readAllStandardOutput()).split(QLatin1Char('\f'))) {
        QStringList lines;
        for (const QString &line : page.split(QLatin1Char('\n'))) {
            if (!line.trimmed().isEmpty())
                lines << readable(line.trimmed());
        }
        pages << lines;
    }
    // pdftotext ends the last page with a form feed too.
    if (!pages.isEmpty() && pages.last().isEmpty())
        pages.removeLast();
    return pages;
}

// With SIGILLO_SHOTS set to a folder, the PDF's first pages as <name>-<page>.png there, at 100 dpi.
inline void shoot(const QString &path, const QString &name, int pageCount = 2)
{
    const QString folder = qEnvironmentVariable("SIGILLO_SHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("100"),
                                                   QStringLiteral("-l"), QString::number(pageCount), path,
                                                   QDir(folder).filePath(name)});
}

} // namespace pdf
