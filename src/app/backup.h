#pragma once
// The backup: a copy of dati/, of year folders and of the configuration file (the only place where
// the per-year authorisation lists live) into a new folder under the backup root.
//
// Invariants:
// - A finished backup's folder is named after the moment of the backup, AAAA-MM-GG_hhmm, and is always
//   new: when that name is taken, "-2", "-3", ... is added. A backup never writes into an earlier one.
// - The backup is written under its name followed by ".incompleto" and gets its own name only once
//   every file has been copied and each copy has its source's size. A failed backup's folder is
//   removed; one whose process was killed keeps the name that says it is incomplete.
// - Only the files directly inside each saved folder are copied; sub-folders are not.
// - Every copy error is reported, and a backup with any error is a failed backup.
// - The tables must not change while they are copied: the menu command closes the data first, and
//   sigillo-cli takes the base directory's lock.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

namespace backup {

// The clock the folder name comes from; tests set a fixed one, nullptr restores the system clock.
void setClock(std::function<QDateTime()> clock);
QDateTime now();

QString folderName(const QDateTime &when);
// The root: the settings' Dir_backup when set, otherwise DirBase + "backup".
QString root(const QString &dirBackup, const QString &dirBase);
// Dir_backup read from dati/impostazioni; empty when the table cannot be read.
QString dirBackupSetting(const QString &dataDir);
// The year folders (four digits) directly under DirBase, in ascending order.
QStringList yearFolders(const QString &dirBase);

struct Request {
    QString dirBase;
    QStringList years;
    QString configFile;  // copied when not empty
    QString root;
    QDateTime when;
};

// Added to the name of a backup folder until every file in it has been copied and checked.
inline constexpr char IncompleteSuffix[] = ".incompleto";

struct Outcome {
    QString folder;       // the finished backup; empty when it failed
    QString leftOver;     // a failed backup's folder that could not be removed
    QStringList notSaved; // what a failed backup could not save: folder names under DirBase, the configuration file
    bool ok = false;
};

// Copies dati/, each year's folder and the configuration file into a new folder under the root.
// Each error is passed to `onError` as the copy reports it. A missing folder fails the backup before
// anything is written.
Outcome save(const Request &request, const std::function<void(const QString &)> &onError);
// What the user is told at the end of a failed backup: what was not saved and where its folder is.
QString failureSummary(const Outcome &outcome);

// "copia di salvataggio...": the working year and dati/ with the data closed, then reopened for the
// same year; the outcome is shown to the user.
void CopiaDiSalvataggio();

} // namespace backup
