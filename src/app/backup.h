#pragma once
// The backup: a copy of dati/, of year folders and of the configuration file (the only place where
// the per-year authorisation lists live) into a new folder under the backup root.
//
// Invariants:
// - The folder is named after the moment of the backup, AAAA-MM-GG_hhmm, and is always new: when that
//   name is taken, "-2", "-3", ... is added. A backup never writes into an earlier one.
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

struct Outcome {
    QString folder;      // the backup folder, also when the backup failed part way
    bool ok = false;
};

// Copies dati/, each year's folder and the configuration file into a new folder under the root.
// Each error is passed to `onError` as the copy reports it.
Outcome save(const Request &request, const std::function<void(const QString &)> &onError);

// "copia di salvataggio...": the working year and dati/ with the data closed, then reopened for the
// same year; the outcome is shown to the user.
void CopiaDiSalvataggio();

} // namespace backup
