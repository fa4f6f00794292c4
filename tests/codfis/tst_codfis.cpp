// Tcodfis and PivaValida: the parts of the code, the error codes, the check character, Controlla
// with OnError, the partita IVA, and codes of real people's data computed and checked end to end.

#include "codfis/codfis.h"
#include "codfis/piva.h"

#include <QTest>

class TestCodfis : public QObject {
    Q_OBJECT

private:
    static QString compute(const QString &cognome, const QString &nome, const QString &comune = QStringLiteral("H501"),
                           QDate birth = QDate(1980, 1, 1), Tcodfis::TSesso sesso = Tcodfis::M)
    {
        QString result = QStringLiteral("stale");
        Tcodfis::CalcolaCodice(cognome, nome, result, comune, birth, sesso);
        return result;
    }

private Q_SLOTS:
    void initialState()
    {
        Tcodfis codfis;
        QCOMPARE(codfis.codfis(), QString(16, QLatin1Char(' ')));
        QCOMPARE(codfis.Valido(), false);
        QCOMPARE(codfis.sesso(), Tcodfis::M);
        QCOMPARE(codfis.Data_Nascita(), QDate(1899, 12, 30));
        QVERIFY(codfis.cognome().isEmpty());
        QVERIFY(codfis.nome().isEmpty());
        QVERIFY(codfis.Codice_comune().isEmpty());

        // The owner's stored form reaches the component by property name.
        QVERIFY(codfis.setProperty("codfis", QStringLiteral("RSSMRA80A01H501U")));
        QCOMPARE(codfis.property("Valido").toBool(), true);
        codfis.setProperty("sesso", QVariant::fromValue(Tcodfis::F));
        QCOMPARE(codfis.sesso(), Tcodfis::F);
    }

    void validoCannotBeSet()
    {
        Tcodfis codfis;
        codfis.setValido(true);
        codfis.setProperty("Valido", true);
        QCOMPARE(codfis.Valido(), false);

        codfis.setCodfis(QStringLiteral("RSSMRA80A01H501U"));
        codfis.setValido(false);
        QCOMPARE(codfis.Valido(), true);
    }

    void surnamePart_data()
    {
        QTest::addColumn<QString>("cognome");
        QTest::addColumn<QString>("part");

        QTest::newRow("consonant and vowel") << "RE" << "REX";
        QTest::newRow("vowels only") << "EO" << "EOX";
        QTest::newRow("only two vowels are taken") << "AIA" << "AIX";
        QTest::newRow("three consonants") << "ROSSI" << "RSS";
        QTest::newRow("apostrophe skipped") << "D'ANGELO" << "DNG";
        QTest::newRow("inner blank skipped") << "DE LUCA" << "DLC";
        QTest::newRow("one letter and apostrophe") << "O'" << "OXX";
        QTest::newRow("consonants before vowels") << "AIELLO" << "LLA";
        QTest::newRow("lower case and surrounding blanks") << "  rossi " << "RSS";
    }

    void surnamePart()
    {
        QFETCH(QString, cognome);
        QFETCH(QString, part);
        QCOMPARE(compute(cognome, QStringLiteral("MARIO")).left(3), part);
    }

    void firstNamePart_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("part");

        QTest::newRow("consonants M R, vowels A I O") << "MARIO" << "MRA";
        QTest::newRow("four consonants G N F R") << "GIANFRANCO" << "GFR";
        QTest::newRow("four consonants R B R T") << "ROBERTO" << "RRT";
        QTest::newRow("three consonants kept") << "CARLO" << "CRL";
        QTest::newRow("blank skipped, fourth consonant after it") << "GIAN MARCO" << "GMR";
        QTest::newRow("two consonants") << "LUCA" << "LCU";
        QTest::newRow("one consonant") << "EVA" << "VEA";
        QTest::newRow("vowels only") << "IO" << "IOX";
        QTest::newRow("lower case") << "maria" << "MRA";
    }

    void firstNamePart()
    {
        QFETCH(QString, nome);
        QFETCH(QString, part);
        QCOMPARE(compute(QStringLiteral("ROSSI"), nome).mid(3, 3), part);
    }

    void errorCodes_data()
    {
        QTest::addColumn<QString>("cognome");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("comune");
        QTest::addColumn<QDate>("birth");
        QTest::addColumn<QString>("result");

        const QDate date(1980, 1, 1);
        const QString roma = QStringLiteral("H501");
        QTest::newRow("empty surname") << "" << "MARIO" << roma << date << "3";
        QTest::newRow("one-letter surname in blanks") << " R " << "MARIO" << roma << date << "3";
        QTest::newRow("one accented letter is short, not refused") << "È" << "MARIO" << roma << date << "3";
        QTest::newRow("accented capital") << "CANTÙ" << "MARIO" << roma << date << "1Ù";
        QTest::newRow("accented small letter stays small") << "cantù" << "MARIO" << roma << date << "1ù";
        QTest::newRow("hyphen") << "ROSSI-BIANCHI" << "MARIO" << roma << date << "1-";
        QTest::newRow("first refused character wins") << "RO2SS.I" << "MARIO" << roma << date << "12";
        QTest::newRow("refused character before missing vowel") << "BRT." << "MARIO" << roma << date << "1.";
        QTest::newRow("surname of consonants") << "BRT" << "MARIO" << roma << date << "4";
        QTest::newRow("surname of apostrophes and blanks") << "' '" << "MARIO" << roma << date << "4";
        QTest::newRow("surname checked before first name") << "BRT" << "M" << roma << date << "4";
        QTest::newRow("one-letter first name") << "ROSSI" << "M" << roma << date << "5";
        QTest::newRow("full stop in first name") << "ROSSI" << "G.MARIO" << roma << date << "2.";
        QTest::newRow("accented first name") << "ROSSI" << "NICOLÒ" << roma << date << "2Ò";
        QTest::newRow("first name of consonants") << "ROSSI" << "BRT" << roma << date << "6";
        QTest::newRow("four consonants before the vowel") << "ROSSI" << "BRNKA" << roma << date << "6";
        QTest::newRow("names checked before municipality") << "ROSSI" << "BRT" << "" << date << "6";
        QTest::newRow("no municipality") << "ROSSI" << "MARIO" << "" << date << "7";
        QTest::newRow("three-character municipality") << "ROSSI" << "MARIO" << "H50" << date << "7";
        QTest::newRow("five-character municipality") << "ROSSI" << "MARIO" << "H5011" << date << "7";
        QTest::newRow("blank in municipality") << "ROSSI" << "MARIO" << "H50 " << date << "7";
        QTest::newRow("invalid date") << "ROSSI" << "MARIO" << roma << QDate() << "8";
    }

    void errorCodes()
    {
        QFETCH(QString, cognome);
        QFETCH(QString, nome);
        QFETCH(QString, comune);
        QFETCH(QDate, birth);
        QFETCH(QString, result);
        QCOMPARE(compute(cognome, nome, comune, birth), result);
    }

    void birthDateAndSex_data()
    {
        QTest::addColumn<QDate>("birth");
        QTest::addColumn<Tcodfis::TSesso>("sesso");
        QTest::addColumn<QString>("part");

        QTest::newRow("man, 31st") << QDate(1980, 1, 31) << Tcodfis::M << "80A31";
        QTest::newRow("man, 1st") << QDate(1965, 2, 1) << Tcodfis::M << "65B01";
        QTest::newRow("woman, 5th") << QDate(1975, 3, 5) << Tcodfis::F << "75C45";
        QTest::newRow("woman, 31st") << QDate(1999, 5, 31) << Tcodfis::F << "99E71";
        QTest::newRow("June is H") << QDate(2000, 6, 10) << Tcodfis::M << "00H10";
        QTest::newRow("July is L") << QDate(2001, 7, 10) << Tcodfis::F << "01L50";
        QTest::newRow("December is T") << QDate(1899, 12, 30) << Tcodfis::M << "99T30";
    }

    void birthDateAndSex()
    {
        QFETCH(QDate, birth);
        QFETCH(Tcodfis::TSesso, sesso);
        QFETCH(QString, part);
        QCOMPARE(compute(QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("H501"), birth, sesso).mid(6, 5),
                 part);
    }

    // Codes computed by hand with the published rules; the first three are widely published examples.
    void realWorldCodes_data()
    {
        QTest::addColumn<QString>("cognome");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<Tcodfis::TSesso>("sesso");
        QTest::addColumn<QDate>("birth");
        QTest::addColumn<QString>("comune");
        QTest::addColumn<QString>("code");

        QTest::newRow("Rossi Mario, Roma") << "ROSSI" << "MARIO" << Tcodfis::M << QDate(1980, 1, 1) << "H501"
                                           << "RSSMRA80A01H501U";
        QTest::newRow("Moretti Matteo, Milano") << "Moretti" << "Matteo" << Tcodfis::M << QDate(1925, 4, 9) << "F205"
                                                << "MRTMTT25D09F205Z";
        QTest::newRow("Miller Samantha, USA") << "MILLER" << "SAMANTHA" << Tcodfis::F << QDate(1982, 9, 25) << "Z404"
                                              << "MLLSNT82P65Z404U";
        QTest::newRow("Bianchi Giovanna, Milano") << "BIANCHI" << "GIOVANNA" << Tcodfis::F << QDate(1975, 3, 5)
                                                  << "F205" << "BNCGNN75C45F205U";
        QTest::newRow("D'Angelo Gianfranco, Napoli") << "D'ANGELO" << "GIANFRANCO" << Tcodfis::M << QDate(1965, 12, 31)
                                                     << "F839" << "DNGGFR65T31F839A";
        QTest::newRow("Re Anna, Torino") << "RE" << "ANNA" << Tcodfis::F << QDate(2000, 2, 29) << "L219"
                                         << "REXNNA00B69L219G";
        QTest::newRow("La Rosa Maria, Palermo") << "LA ROSA" << "MARIA" << Tcodfis::F << QDate(1990, 8, 15) << "G273"
                                                << "LRSMRA90M55G273F";
        QTest::newRow("Rossi Luca, Bologna") << "ROSSI" << "LUCA" << Tcodfis::M << QDate(2003, 5, 7) << "A944"
                                             << "RSSLCU03E07A944I";
        QTest::newRow("De Luca Gian Marco, Firenze") << "DE LUCA" << "GIAN MARCO" << Tcodfis::M << QDate(1971, 6, 20)
                                                     << "D612" << "DLCGMR71H20D612W";
        QTest::newRow("Esposito Ciro, Napoli") << "ESPOSITO" << "CIRO" << Tcodfis::M << QDate(1958, 7, 12) << "F839"
                                               << "SPSCRI58L12F839G";
        QTest::newRow("Ferrari Chiara, Genova") << "FERRARI" << "CHIARA" << Tcodfis::F << QDate(1999, 11, 30) << "D969"
                                                << "FRRCHR99S70D969T";
    }

    void realWorldCodes()
    {
        QFETCH(QString, cognome);
        QFETCH(QString, nome);
        QFETCH(Tcodfis::TSesso, sesso);
        QFETCH(QDate, birth);
        QFETCH(QString, comune);
        QFETCH(QString, code);

        // The order the record rules follow.
        Tcodfis codfis;
        codfis.setCodfis(QString());
        codfis.setNome(nome);
        codfis.setCognome(cognome);
        codfis.setSesso(sesso);
        codfis.setData_Nascita(birth);
        codfis.setCodice_comune(comune);
        codfis.Calcola();
        QCOMPARE(codfis.codfis(), code);
        QVERIFY(codfis.Valido());

        Tcodfis checker;
        checker.setCodfis(code);
        QVERIFY(checker.Valido());
        for (QChar wrong = QLatin1Char('A'); wrong <= QLatin1Char('Z'); wrong = QChar(wrong.unicode() + 1)) {
            if (wrong == code.back())
                continue;
            checker.setCodfis(code.left(15) + wrong);
            QVERIFY2(!checker.Valido(), qPrintable(checker.codfis()));
        }
    }

    void calcolaFromProperties()
    {
        Tcodfis codfis;
        int errors = 0;
        codfis.setOnError([&errors](Tcodfis *, QString &) { ++errors; });
        codfis.setCognome(QStringLiteral("ROSSI"));
        codfis.setNome(QStringLiteral("MARIO"));
        codfis.setData_Nascita(QDate(1980, 1, 1));
        codfis.setCodice_comune(QStringLiteral("H501"));
        codfis.Calcola();
        QCOMPARE(codfis.codfis(), QStringLiteral("RSSMRA80A01H501U"));
        QVERIFY(codfis.Valido());

        // A later computation without a municipality must not borrow the previous one.
        codfis.setCodice_comune(QString());
        codfis.Calcola();
        QCOMPARE(codfis.codfis(), QStringLiteral("7"));
        QVERIFY(!codfis.Valido());

        codfis.setCodice_comune(QStringLiteral("H501"));
        codfis.setCognome(QStringLiteral("BRT"));
        codfis.Calcola();
        QCOMPARE(codfis.codfis(), QStringLiteral("4"));
        QVERIFY(!codfis.Valido());
        QCOMPARE(errors, 0);
    }

    void controlla_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("valid");

        QTest::newRow("valid") << "RSSMRA80A01H501U" << true;
        QTest::newRow("wrong check letter") << "RSSMRA80A01H501V" << false;
        QTest::newRow("one character changed") << "RSSMRA81A01H501U" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("initial blanks") << QString(16, QLatin1Char(' ')) << false;
        QTest::newRow("fifteen characters") << "RSSMRA80A01H501" << false;
        QTest::newRow("fifteen characters and a blank") << "RSSMRA80A01H501 " << false;
        QTest::newRow("leading blanks shift the code") << "  RSSMRA80A01H501U" << false;
        QTest::newRow("trailing blanks ignored") << "RSSMRA80A01H501U   " << true;
        QTest::newRow("characters after 16 ignored") << "RSSMRA80A01H501UXY" << true;
        QTest::newRow("lower case") << "rssmra80a01h501u" << true;
        QTest::newRow("mixed case") << "RssMra80a01H501u" << true;
        QTest::newRow("hyphen among the first 15") << "RSSMRA80A01H5-1U" << false;
        QTest::newRow("accented letter among the first 15") << "RSSMRÀ80A01H501U" << false;
        QTest::newRow("symbol as check character") << "RSSMRA80A01H501@" << false;
        QTest::newRow("digit as check character") << "RSSMRA80A01H5011" << false;
        QTest::newRow("omocodic, one letter") << "MRTMTT25D09F20RU" << true;
        QTest::newRow("omocodic, two letters") << "MRTMTT25D09F2LRF" << true;
        QTest::newRow("omocodic, three letters") << "MRTMTT25D09FNLRU" << true;
        QTest::newRow("omocodic, wrong check letter") << "MRTMTT25D09FNLRF" << false;
    }

    void controlla()
    {
        QFETCH(QString, code);
        QFETCH(bool, valid);

        Tcodfis codfis;
        int errors = 0;
        codfis.setOnError([&errors](Tcodfis *, QString &) { ++errors; });
        // Start from a valid code so that a wrong answer cannot come from the initial flag.
        codfis.setCodfis(QStringLiteral("RSSMRA80A01H501U"));
        QVERIFY(codfis.Valido());

        codfis.setCodfis(code);
        QCOMPARE(codfis.Valido(), valid);
        QCOMPARE(codfis.codfis(), code);
        QCOMPARE(errors, valid ? 0 : 1);
    }

    void onErrorGetsSenderAndStorage()
    {
        Tcodfis codfis;
        codfis.setObjectName(QStringLiteral("codfis1"));
        Tcodfis *sender = nullptr;
        QString seen;
        codfis.setOnError([&](Tcodfis *s, QString &value) {
            sender = s;
            seen = value;
            value = QStringLiteral("RSSMRA80A01H501U");
        });
        codfis.setCodfis(QStringLiteral("RSSMRA80A01H501V"));
        QCOMPARE(sender, &codfis);
        QCOMPARE(seen, QStringLiteral("RSSMRA80A01H501V"));
        // The handler rewrote the stored code; the flag still reports the code that was checked.
        QCOMPARE(codfis.codfis(), QStringLiteral("RSSMRA80A01H501U"));
        QVERIFY(!codfis.Valido());
    }

    void partitaIva_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");

        QTest::newRow("valid") << "12345678903" << true;
        QTest::newRow("wrong check digit") << "12345678901" << false;
        QTest::newRow("check digit 10 becomes 0") << "00000000000" << true;
        QTest::newRow("valid, doubled digits above 9") << "98765432103" << true;
        QTest::newRow("valid, leading zero") << "01234567897" << true;
        QTest::newRow("ten digits") << "1234567890" << false;
        QTest::newRow("eleven digits and a blank") << "12345678903 " << false;
        QTest::newRow("leading blank") << " 12345678903" << false;
        QTest::newRow("letter among the first ten") << "12345A78903" << false;
        QTest::newRow("letter as check digit") << "1234567890A" << false;
        QTest::newRow("blanks only") << QString(11, QLatin1Char(' ')) << false;
        QTest::newRow("empty") << "" << false;
    }

    void partitaIva()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(PivaValida(text), valid);
    }
};

QTEST_GUILESS_MAIN(TestCodfis)
#include "tst_codfis.moc"
