// The intervention types window: at most nine types, unique codes, locked rows.

#include "ground/messages.h"
#include "ground/state.h"
#include "data/tdm.h"
#include "guitest.h"
#include "register/tipo_intw.h"
#include "testbase.h"
#include "ui/dbgrid.h"

#include <QSpinBox>
#include <QStackedWidget>

#include <memory>

using engine::Table;

namespace {

QList<QVariantMap> types(int count)
{
    const char *const names[] = {"MESSA IN SERVIZIO", "DEFISCALIZZAZIONE", "VERIFICA PERIODICA", "RIPARAZIONE",
                                 "SOSTITUZIONE", "COLLAUDO", "PROVA", "RITIRO", "VARIE"};
    QList<QVariantMap> rows;
    for (int i = 0; i < count; ++i)
        rows.append({{"Id", i + 1}, {"descrizione", names[i]}, {"tipo", i + 1}, {"locked", i < 3}});
    return rows;
}

} // namespace

class tst_TipoInt : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<TestBase> m_base;
    std::unique_ptr<Tdm> m_data;

    void start(int rows)
    {
        m_base = std::make_unique<TestBase>();
        TestBase::addDataRows(QStringLiteral("tipo_int"), types(rows));
        m_data = std::make_unique<Tdm>();
    }
    static int page(QWidget &window) { return window.findChild<QStackedWidget *>(QStringLiteral("PageControl1"))->currentIndex(); }
    static QSpinBox *code(QWidget &window) { return window.findChild<QSpinBox *>(QStringLiteral("SpinEdit1")); }
    static void choose(QWidget &window, const QString &description)
    {
        QVERIFY(dm->Tabtipo_int->locate(QStringLiteral("descrizione"), {description}));
        QCOMPARE(window.findChild<DBGrid *>(QStringLiteral("DBGrid1"))->currentIndex().row(), dm->Tabtipo_int->recNo() - 1);
    }

    void tearDown() override
    {
        m_data.reset();
        m_base.reset();
    }

private Q_SLOTS:
    void nuovoUpToNineTypes_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("8 rows") << 8 << true;
        QTest::newRow("9 rows") << 9 << false;
    }
    void nuovoUpToNineTypes()
    {
        QFETCH(int, rows);
        QFETCH(bool, allowed);
        start(rows);
        openWindow<Ttipo_intForm>(tipo_intForm, [&](Ttipo_intForm &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Tipo di intervento:"));
            if (!allowed)
                shoot(window, QStringLiteral("tipo_int"));
            button(window, "SpeedButton1")->click();
            QCOMPARE(page(window), int(allowed ? Ttipo_intForm::EditPage : Ttipo_intForm::ListPage));
            if (allowed) {
                QCOMPARE(code(window)->value(), 1);
                typeInto(lineEdit(window, "DBEdit1"), QStringLiteral("varie"));
                code(window)->setValue(9);
                shoot(window, QStringLiteral("tipo_int_nuovo"));
                button(window, "SpeedButton5")->click();
                QCOMPARE(page(window), int(Ttipo_intForm::ListPage));
            }
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(Messages::shownTexts(), allowed ? QStringList() : QStringList{QStringLiteral("possono essere inseriti solo 9 tipi di intervento")});
        QCOMPARE(m_data->Tabtipo_int->recordCount(), 9);
        if (allowed) {
            QVERIFY(m_data->Tabtipo_int->locate(QStringLiteral("tipo"), {9}));
            QCOMPARE(m_data->Tabtipo_int->asString(QStringLiteral("descrizione")), QStringLiteral("VARIE"));
            QCOMPARE(m_data->Tabtipo_int->asInteger(QStringLiteral("Id")), 9);
        }
    }

    void aCodeUsedByAnotherTypeIsRefused_data()
    {
        QTest::addColumn<int>("newCode");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("its own code") << 4 << true;
        QTest::newRow("a free code") << 7 << true;
        QTest::newRow("another type's code") << 5 << false;
        QTest::newRow("a locked type's code") << 1 << false;
    }
    void aCodeUsedByAnotherTypeIsRefused()
    {
        QFETCH(int, newCode);
        QFETCH(bool, accepted);
        start(5);
        openWindow<Ttipo_intForm>(tipo_intForm, [&](Ttipo_intForm &window) {
            choose(window, QStringLiteral("RIPARAZIONE"));
            button(window, "SpeedButton2")->click();
            QCOMPARE(page(window), int(Ttipo_intForm::EditPage));
            QCOMPARE(code(window)->value(), 4);
            typeInto(lineEdit(window, "DBEdit1"), QStringLiteral("riparazione guasti"));
            code(window)->setValue(newCode);
            button(window, "SpeedButton5")->click();
            QCOMPARE(page(window), int(accepted ? Ttipo_intForm::ListPage : Ttipo_intForm::EditPage));
            if (!accepted)
                button(window, "SpeedButton6")->click();
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(Messages::shownTexts(), accepted ? QStringList() : QStringList{QStringLiteral("codice TIPO già in uso. Cambialo.")});
        QVERIFY(m_data->Tabtipo_int->locate(QStringLiteral("Id"), {4}));
        QCOMPARE(m_data->Tabtipo_int->asInteger(QStringLiteral("tipo")), accepted ? newCode : 4);
        QCOMPARE(m_data->Tabtipo_int->asString(QStringLiteral("descrizione")),
                 accepted ? QStringLiteral("RIPARAZIONE GUASTI") : QStringLiteral("RIPARAZIONE"));
    }

    void aNewTypeCannotTakeACodeJustStored()
    {
        start(3);
        openWindow<Ttipo_intForm>(tipo_intForm, [](Ttipo_intForm &window) {
            for (const char *description : {"RIPARAZIONE", "SOSTITUZIONE"}) {
                button(window, "SpeedButton1")->click();
                typeInto(lineEdit(window, "DBEdit1"), QString::fromLatin1(description));
                code(window)->setValue(6);
                button(window, "SpeedButton5")->click();
            }
            QCOMPARE(page(window), int(Ttipo_intForm::EditPage));
            button(window, "SpeedButton6")->click();
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(Messages::shownTexts(), QStringList{QStringLiteral("codice TIPO già in uso. Cambialo.")});
        QCOMPARE(m_data->Tabtipo_int->recordCount(), 4);
    }

    void lockedTypesCanBeNeitherModifiedNorDeleted_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("locked");
        QTest::newRow("locked") << "DEFISCALIZZAZIONE" << true;
        QTest::newRow("not locked") << "RIPARAZIONE" << false;
    }
    void lockedTypesCanBeNeitherModifiedNorDeleted()
    {
        QFETCH(QString, description);
        QFETCH(bool, locked);
        start(4);
        openWindow<Ttipo_intForm>(tipo_intForm, [&](Ttipo_intForm &window) {
            choose(window, description);
            button(window, "SpeedButton2")->click();
            QCOMPARE(page(window), int(locked ? Ttipo_intForm::ListPage : Ttipo_intForm::EditPage));
            if (!locked)
                button(window, "SpeedButton6")->click();
            button(window, "SpeedButton3")->click();
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(Messages::shownTexts(), locked ? (QStringList{QStringLiteral("Record non modificabile"), QStringLiteral("Record non eliminabile")})
                                                : QStringList());
        QCOMPARE(m_data->Tabtipo_int->locate(QStringLiteral("descrizione"), {description}), locked);
        QCOMPARE(m_data->Tabtipo_int->recordCount(), locked ? 4 : 3);
    }
};

QTEST_MAIN(tst_TipoInt)
#include "tst_tipo_int.moc"
