// Layering: every unit of src/ stands on one floor (the lists of src/CMakeLists.txt) and includes only
// headers of its own floor or of floors below it. A header without a source of its own stands on its
// folder's floor.

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Floors {
    QStringList order;           // lowest first
    QHash<QString, int> ofUnit;  // unit path without extension ("app/backup") -> floor number
};

Floors readFloors(const QString &text)
{
    Floors floors;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString floor = line.section(QLatin1Char(' '), 0, 0);
        const QString path = line.section(QLatin1Char(' '), 1);
        if (!floors.order.contains(floor))
            floors.order << floor;
        floors.ofUnit.insert(path.section(QLatin1Char('.'), 0, 0), int(floors.order.indexOf(floor)));
    }
    return floors;
}

int folderFloor(const QString &unit, const Floors &floors)
{
    const auto named = [&](const char *floor) { return int(floors.order.indexOf(QLatin1String(floor))); };
    if (unit.startsWith(QLatin1String("codfis/")))
        return named("CODFIS");
    if (unit.startsWith(QLatin1String("ground/")))
        return named("GROUND");
    if (unit.startsWith(QLatin1String("data/engine/")))
        return named("ENGINE");
    if (unit.startsWith(QLatin1String("data/")))
        return named("DATA");
    if (unit.startsWith(QLatin1String("report/")))
        return named("REPORT");
    if (unit.startsWith(QLatin1String("ui/")))
        return named("UI");
    return named("OPERATION");
}

QStringList layeringProblems(const QString &root, const Floors &floors)
{
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*\"([^\"]+)\""),
                                            QRegularExpression::MultilineOption);
    const QDir dir(root);
    const auto floorOf = [&](const QString &unit) { return floors.ofUnit.value(unit, folderFloor(unit, floors)); };
    QStringList problems;
    QDirIterator files(root, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = dir.relativeFilePath(files.next());
        const QString unit = path.section(QLatin1Char('.'), 0, 0);
        if (path.endsWith(QLatin1String(".cpp")) && !floors.ofUnit.contains(unit))
            problems << QStringLiteral("%1 stands on no floor").arg(path);
        const int floor = floorOf(unit);
        QFile file(dir.filePath(path));
        if (!file.open(QIODevice::ReadOnly))
            problems << QStringLiteral("%1 cannot be read").arg(path);
        const QString text = QString::fromUtf8(file.readAll());
        for (auto m = include.globalMatch(text); m.hasNext();) {
            const QString target = m.next().captured(1);
            if (!dir.exists(target))
                continue;
            const int targetFloor = floorOf(target.section(QLatin1Char('.'), 0, 0));
            if (targetFloor > floor)
                problems << QStringLiteral("%1 (%2) includes %3 (%4)")
                                .arg(path, floors.order.value(floor), target, floors.order.value(targetFloor));
        }
    }
    problems.sort();
    return problems;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class TestLayering : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void checkerFindsWhatBreaksTheFloors_data()
    {
        QTest::addColumn<QByteArray>("recordRules");
        QTest::addColumn<QString>("floors");
        QTest::addColumn<QStringList>("problems");
        const QString floors = QStringLiteral("GROUND ground/state.cpp\nDATA data/rules.cpp\nOPERATION app/backup.cpp\nUI ui/grid.cpp\n");
        QTest::newRow("includes below") << QByteArray("#include \"data/rules.h\"\n#include \"ground/state.h\"\n#include <QString>\n")
                                        << floors << QStringList();
        QTest::newRow("a header above") << QByteArray("#include \"ground/state.h\"\n  #  include \"ui/grid.h\"\n")
                                        << floors << QStringList{QStringLiteral("data/rules.cpp (DATA) includes ui/grid.h (UI)")};
        QTest::newRow("an operation's header") << QByteArray("#include \"app/backup.h\"\n") << floors
                                               << QStringList{QStringLiteral("data/rules.cpp (DATA) includes app/backup.h (OPERATION)")};
        QTest::newRow("unit on no floor") << QByteArray() << QString(floors).remove(QStringLiteral("DATA data/rules.cpp\n"))
                                          << QStringList{QStringLiteral("data/rules.cpp stands on no floor")};
    }
    void checkerFindsWhatBreaksTheFloors()
    {
        QFETCH(QByteArray, recordRules);
        QFETCH(QString, floors);
        QFETCH(QStringList, problems);
        QTemporaryDir root;
        for (const char *header : {"ground/state.h", "data/rules.h", "app/backup.h", "ui/grid.h"})
            writeFile(root.filePath(QString::fromLatin1(header)), "#pragma once\n");
        writeFile(root.filePath(QStringLiteral("data/rules.cpp")), recordRules);
        QCOMPARE(layeringProblems(root.path(), readFloors(floors)), problems);
    }

    void noUnitIncludesAFloorAbove()
    {
        QFile list(QStringLiteral(SIGILLO_FLOORS_FILE));
        QVERIFY(list.open(QIODevice::ReadOnly));
        const Floors floors = readFloors(QString::fromUtf8(list.readAll()));
        QCOMPARE(floors.order, (QStringList{"CODFIS", "GROUND", "ENGINE", "DATA", "OPERATION", "REPORT", "UI", "WINDOW"}));
        const QStringList problems = layeringProblems(QStringLiteral(SIGILLO_SOURCE_DIR), floors);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(TestLayering)
#include "tst_layering.moc"
