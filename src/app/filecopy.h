#pragma once
// TFileCopyNew: copies one file, or the files of a folder that match a pattern ("dati/*.*",
// "vuoto/misurazioni2.*"), into another folder; the year selection builds years with it and the backup
// saves with it. It shows nothing: every error goes to OnError, and Execute() says whether the copy
// succeeded.
//
// Invariants:
// - A target is written through a save file (ground/savefile.h), unbuffered: it is replaced only once
//   every byte has been written, so a copy that fails half way (a full disk) leaves an existing target
//   as it was and no half-written file.
// - A write that stores fewer bytes than were read is a write error, never a finished copy.
// - A pattern copy stops at the first file that fails; the files listed after it are not copied.
// - A file is never copied onto itself, however its two paths are spelled.

#include <QString>

#include <functional>

class TFileCopyNew {
public:
    // The percentages of the current file read and written so far, 0 to 100.
    using TOnProgressEvent = std::function<void(TFileCopyNew &sender, int readPercent, int writtenPercent)>;
    // Asked when a target file exists; the file is copied only if the handler sets canOverride.
    using TOnOverriding = std::function<void(TFileCopyNew &sender, bool &canOverride)>;
    using TOnError = std::function<void(TFileCopyNew &sender, const QString &errorMsg)>;
    // Receives "Ok - <file>" or "failed - <file>" for every file copied.
    using TMemo = std::function<void(const QString &line)>;

    TOnProgressEvent OnCopyProgress;
    TOnOverriding OnOverriding;
    TOnError OnError;
    // A file path, or a path whose file part holds "*".
    QString SourceFile;
    // A file path, or for a pattern the folder, ending with a separator.
    QString TargetFile;
    bool IncludeSubFolders = false;
    TMemo Memo;
    bool ShowProgressOnMemo = true;

    // Copies SourceFile to TargetFile. False when the copy failed; every error has been reported to
    // OnError by then.
    bool Execute();

    static constexpr qint64 BlockSize = 16384;

private:
    bool copyPattern(const QString &source, const QString &target);
    bool copyFile(const QString &source, const QString &target);
    void log(const QString &line);
    void error(const QString &message);
    void progress(qint64 total, qint64 read, qint64 written);
};

// How the program handles the copy's events, in the main window and in the year selection alike: an
// existing target is overwritten and every error is shown as "Errore contattare la VesK." followed by
// the copy's text.
void showCopyError(const QString &errorMsg);
void useProgramHandlers(TFileCopyNew &copy);
