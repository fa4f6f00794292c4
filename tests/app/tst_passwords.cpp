// The login's passwords: hashes, the check of a user's password, clear-text passwords of older
// archives replaced at their first login, and the protected user every archive starts with.

#include "app/passwords.h"
#include "data/engine/tablefiles.h"
#include "data/tdm.h"
#include "filesizelimit.h"
#include "ground/messages.h"
#include "ground/testmode.h"
#include "testbase.h"

#include <QDir>
#include <QTest>

#include <memory>

using engine::Table;
using passwords::Login;

namespace {

QString usersFile(const QString &directory)
{
    return engine::tablefiles::filePath(directory, QStringLiteral("password_"));
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

// The password stored for the first user of that name, read through a cursor of its own.
QString storedPassword(const QString &name)
{
    Table users;
    users.setDirectory(appState().dataDir());
    users.setTableName(QStringLiteral("password_"));
    users.open();
    if (!users.locate(QStringLiteral("Nome"), {name}))
        qFatal("no user %s", qPrintable(name));
    return users.asString(QStringLiteral("Password"));
}

// dati/password_ as the first version of the program made it: passwords in clear text, in 10 characters.
void makeOlderUsersTable(const QList<QVariantMap> &rows)
{
    const QString data = appState().dataDir();
    engine::TableSchema older = catalogue::schema(QStringLiteral("password_"));
    older.version = 1;
    for (engine::FieldDef &field : older.fields)
        field.size = 10;
    QVERIFY(QFile::remove(usersFile(data)));
    engine::tablefiles::create(data, older);
    TestBase::addDataRows(QStringLiteral("password_"), rows);
}

} // namespace

class tst_Passwords : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setTestMode(true); }
    void init() { Messages::clear(); }

    void aHashIsSaltedAndNeverTheText()
    {
        const QString first = passwords::hash(QStringLiteral("SEGRETO"));
        const QString second = passwords::hash(QStringLiteral("SEGRETO"));
        QVERIFY(first.startsWith(QLatin1String("$argon2id$")));
        QVERIFY(passwords::isHash(first));
        QVERIFY(first != second);
        QVERIFY(!first.contains(QLatin1String("SEGRETO")));
        QVERIFY(first.size() <= catalogue::schema(QStringLiteral("password_")).field(QStringLiteral("Password"))->size);
    }

    void matches_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("matching");
        const QString hashed = passwords::hash(QStringLiteral("PIPPO"));
        QTest::newRow("hash, same text") << hashed << "PIPPO" << true;
        QTest::newRow("hash, one letter off") << hashed << "PIPPA" << false;
        QTest::newRow("hash, lower case") << hashed << "pippo" << false;
        QTest::newRow("hash, longer") << hashed << "PIPPO1" << false;
        QTest::newRow("hash typed as the password") << hashed << hashed << false;
        QTest::newRow("clear text, same text") << "PIPPO" << "PIPPO" << true;
        QTest::newRow("clear text, one letter off") << "PIPPO" << "PIPPA" << false;
        QTest::newRow("clear text, empty stored") << "" << "PIPPO" << false;
        QTest::newRow("damaged hash") << "$argon2id$v=19$rotto" << "PIPPO" << false;
    }
    void matches()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, matching);
        QCOMPARE(passwords::matches(stored, typed), matching);
    }

    void loginChecksTheFirstUserOfThatName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("outcome");
        QTest::newRow("first ROSSI's password") << "ROSSI" << "PRIMO" << int(Login::LoggedIn);
        QTest::newRow("second ROSSI's password") << "ROSSI" << "SECONDO" << int(Login::WrongPassword);
        QTest::newRow("name in lower case") << "rossi" << "PRIMO" << int(Login::UnknownUser);
        QTest::newRow("no such user") << "BIANCHI" << "PRIMO" << int(Login::UnknownUser);
    }
    void loginChecksTheFirstUserOfThatName()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(int, outcome);
        TestBase base;
        TestBase::addDataRows(QStringLiteral("password_"),
                              {{{"Nome", "VERDI"}, {"Password", passwords::hash(QStringLiteral("PRIMO"))}},
                               {{"Nome", "ROSSI"}, {"Password", passwords::hash(QStringLiteral("PRIMO"))}},
                               {{"Nome", "ROSSI"}, {"Password", passwords::hash(QStringLiteral("SECONDO"))}}});
        Tdm data;
        QCOMPARE(int(passwords::login(*data.Tabpwd, name, typed)), outcome);
        QVERIFY(!data.Tabpwd->isEditing());
    }

    // The archive keeps its users through the upgrade of the table; each clear-text password lasts
    // until its user's first login and never after it.
    void anOlderArchiveKeepsItsUsersAndEachLoginHashesItsPassword()
    {
        TestBase base;
        makeOlderUsersTable({{{"Nome", "VESKSOFT"}, {"Password", "1"}, {"Livello", "A"}},
                             {{"Nome", "ROSSI"}, {"Password", "PIPPO"}, {"Livello", "B"}}});
        Tdm data;
        QVERIFY(Messages::shown().isEmpty());
        QCOMPARE(data.Tabpwd->recordCount(), 2);
        QCOMPARE(storedPassword(QStringLiteral("ROSSI")), QStringLiteral("PIPPO"));

        QCOMPARE(passwords::login(*data.Tabpwd, QStringLiteral("ROSSI"), QStringLiteral("PIPPA")), Login::WrongPassword);
        QCOMPARE(storedPassword(QStringLiteral("ROSSI")), QStringLiteral("PIPPO"));
        QCOMPARE(passwords::login(*data.Tabpwd, QStringLiteral("ROSSI"), QStringLiteral("PIPPO")), Login::LoggedIn);
        const QString hashed = storedPassword(QStringLiteral("ROSSI"));
        QVERIFY(passwords::isHash(hashed));
        QVERIFY(passwords::matches(hashed, QStringLiteral("PIPPO")));
        QCOMPARE(passwords::login(*data.Tabpwd, QStringLiteral("ROSSI"), QStringLiteral("PIPPO")), Login::LoggedIn);
        QCOMPARE(storedPassword(QStringLiteral("ROSSI")), hashed);
        QVERIFY(!fileBytes(usersFile(appState().dataDir())).contains("PIPPO"));

        // Only the user who logged in changed.
        QCOMPARE(storedPassword(QStringLiteral("VESKSOFT")), QStringLiteral("1"));
        QVERIFY(data.Tabpwd->locate(QStringLiteral("Nome"), {QStringLiteral("ROSSI")}));
        QCOMPARE(data.Tabpwd->asString(QStringLiteral("Livello")), QStringLiteral("B"));
        QCOMPARE(data.Tabpwd->recordCount(), 2);
    }

    // A disk that cannot take the hash: the user who typed the right password still gets in, and his
    // clear-text password stays whole for the next login to replace.
    void aHashThatCannotBeStoredStillLetsTheUserIn()
    {
        TestBase base;
        makeOlderUsersTable({{{"Nome", "ROSSI"}, {"Password", "PIPPO"}}});
        delete new Tdm; // brings the table up to date, which needs room on the disk
        const int outcome = filesizelimit::run(1, [] {
            Tdm data;
            const Login login = passwords::login(*data.Tabpwd, QStringLiteral("ROSSI"), QStringLiteral("PIPPO"));
            if (login != Login::LoggedIn)
                return 1;
            return data.Tabpwd->isEditing() || data.Tabpwd->asString(QStringLiteral("Password")) != QLatin1String("PIPPO") ? 2 : 0;
        });
        QCOMPARE(outcome, 0);
        QCOMPARE(storedPassword(QStringLiteral("ROSSI")), QStringLiteral("PIPPO"));

        Tdm data;
        QCOMPARE(passwords::login(*data.Tabpwd, QStringLiteral("ROSSI"), QStringLiteral("PIPPO")), Login::LoggedIn);
        QVERIFY(passwords::isHash(storedPassword(QStringLiteral("ROSSI"))));
    }

    void everyArchiveStartsWithTheProtectedUser()
    {
        TestBase base;
        catalogue::ensureTemplates(appState());
        const QString templateDir = appState().dataTemplateDir();
        Table users;
        users.setDirectory(templateDir);
        users.setTableName(QStringLiteral("password_"));
        users.open();
        QCOMPARE(users.recordCount(), 1);
        QCOMPARE(users.asString(QStringLiteral("Nome")), QStringLiteral("VESKSOFT"));
        const QString stored = users.asString(QStringLiteral("Password"));
        QVERIFY(passwords::isHash(stored));
        QVERIFY(passwords::matches(stored, QStringLiteral("1")));
        users.close();

        // A template whose users were changed is left as it is; dati/ gets no user from the program.
        TestBase::addRows(templateDir, QStringLiteral("password_"), {{{"Nome", "ROSSI"}}});
        catalogue::ensureTemplates(appState());
        users.open();
        QCOMPARE(users.recordCount(), 2);
        Tdm data;
        QVERIFY(data.Tabpwd->isEmpty());
    }

    void loginRequiredFollowsTheSettings_data()
    {
        QTest::addColumn<QVariant>("usaPwd"); // invalid: no settings record
        QTest::addColumn<bool>("required");
        QTest::newRow("no settings record") << QVariant() << false;
        QTest::newRow("Usa_pwd empty") << QVariant(QMetaType::fromType<bool>()) << false;
        QTest::newRow("Usa_pwd false") << QVariant(false) << false;
        QTest::newRow("Usa_pwd true") << QVariant(true) << true;
    }
    void loginRequiredFollowsTheSettings()
    {
        QFETCH(QVariant, usaPwd);
        QFETCH(bool, required);
        TestBase base;
        if (usaPwd.isValid())
            TestBase::addDataRows(QStringLiteral("impostazioni"), {{{"Usa_pwd", usaPwd}, {"Dir_backup", "/copie"}}});
        QVERIFY(!passwords::loginRequired());
        Tdm data;
        QCOMPARE(passwords::loginRequired(), required);
        data.dmDestroy();
        QVERIFY(!passwords::loginRequired());
    }
};

QTEST_GUILESS_MAIN(tst_Passwords)
#include "tst_passwords.moc"
