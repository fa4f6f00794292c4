// The data-bound widgets and the window helpers of ui/, each over a real cursor in a temporary base.

#include "data/engine/bulkscope.h"
#include "ground/messages.h"
#include "ground/state.h"
#include "guitest.h"
#include "testbase.h"
#include "ui/closeguard.h"
#include "ui/datefield.h"
#include "ui/dbcheckbox.h"
#include "ui/dbcombobox.h"
#include "ui/dbdateedit.h"
#include "ui/dbedit.h"
#include "ui/dbgrid.h"
#include "ui/dblookupcombobox.h"
#include "ui/forms.h"
#include "ui/keyhelpers.h"
#include "ui/radiogroup.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

using engine::DataSource;
using engine::Table;
using engine::TableState;

namespace {

const QList<QVariantMap> shops{
    {{"Id_esercizio", 1}, {"Ragione_sociale", "BAR ROMA"}, {"Piva", "11111111111"}, {"Comune", "ROMA"}},
    {{"Id_esercizio", 2}, {"Ragione_sociale", "L'ARTE SRL"}, {"Piva", "22222222222"}, {"Comune", "MILANO"}},
    {{"Id_esercizio", 3}, {"Ragione_sociale", "CAFFE NAPOLI"}, {"Piva", "33333333333"}, {"Comune", "NAPOLI"}},
};

} // namespace

class tst_DataWidgets : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<TestBase> m_base;
    std::unique_ptr<Table> m_shops;
    std::unique_ptr<Table> m_settings;
    std::unique_ptr<DataSource> m_shopSource;
    std::unique_ptr<DataSource> m_settingsSource;

    static std::unique_ptr<Table> openTable(const QString &name)
    {
        auto table = std::make_unique<Table>();
        table->setDirectory(appState().dataDir());
        table->setTableName(name);
        table->open();
        return table;
    }

    void setUp() override
    {
        m_base = std::make_unique<TestBase>();
        TestBase::addDataRows(QStringLiteral("esercizio"), shops);
        TestBase::addDataRows(QStringLiteral("impostazioni"), {{{"Tipo_intest", 1}}});
        m_shops = openTable(QStringLiteral("esercizio"));
        m_settings = openTable(QStringLiteral("impostazioni"));
        m_shopSource = std::make_unique<DataSource>(m_shops.get());
        m_settingsSource = std::make_unique<DataSource>(m_settings.get());
    }

    void tearDown() override
    {
        m_shopSource.reset();
        m_settingsSource.reset();
        m_shops.reset();
        m_settings.reset();
        m_base.reset();
    }

private Q_SLOTS:
    void editFollowsTheCursorAndWritesWhenLeft()
    {
        DBEdit edit;
        edit.bind(m_shopSource.get(), QStringLiteral("Ragione_sociale"));
        edit.setUpperCase(true);
        QCOMPARE(edit.text(), QStringLiteral("BAR ROMA"));
        QCOMPARE(edit.maxLength(), 60);
        m_shops->next();
        QCOMPARE(edit.text(), QStringLiteral("L'ARTE SRL"));

        // Typing starts the edit without touching the field; the text reaches it when committed.
        edit.selectAll();
        QTest::keyClicks(&edit, "bar sport");
        QCOMPARE(edit.text(), QStringLiteral("BAR SPORT"));
        QCOMPARE(m_shops->state(), TableState::Edit);
        QCOMPARE(m_shops->asString(QStringLiteral("Ragione_sociale")), QStringLiteral("L'ARTE SRL"));
        QVERIFY(edit.commit());
        QCOMPARE(m_shops->asString(QStringLiteral("Ragione_sociale")), QStringLiteral("BAR SPORT"));

        // A rule that sets the field is shown at once; a cancel shows the stored value again.
        m_shops->setValue(QStringLiteral("Ragione_sociale"), QStringLiteral("DA REGOLA"));
        QCOMPARE(edit.text(), QStringLiteral("DA REGOLA"));
        m_shops->cancel();
        QCOMPARE(edit.text(), QStringLiteral("L'ARTE SRL"));

        // The source pointed at another cursor brings the edit along.
        auto other = openTable(QStringLiteral("esercizio"));
        other->last();
        m_shopSource->setTable(other.get());
        QCOMPARE(edit.text(), QStringLiteral("CAFFE NAPOLI"));
        m_shopSource->setTable(m_shops.get());
        QVERIFY(Messages::shown().isEmpty());
    }

    void dateEditStoresWhatIsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("a date") << "01022021" << true << QVariant(QDate(2021, 2, 1));
        QTest::newRow("blank") << "" << true << QVariant();
        QTest::newRow("no such day") << "31022021" << false << QVariant(QDate(2020, 5, 6));
        QTest::newRow("half typed") << "0102" << false << QVariant(QDate(2020, 5, 6));
    }
    void dateEditStoresWhatIsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(QVariant, stored);
        const QString field = QStringLiteral("Impbck_ultimadata");
        m_settings->edit();
        m_settings->setValue(field, QDate(2020, 5, 6));
        m_settings->post();

        DBDateEdit edit;
        edit.bind(m_settingsSource.get(), field);
        QCOMPARE(edit.displayText(), QStringLiteral("06/05/2020"));
        edit.selectAll();
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(edit.displayText(), QString::fromLatin1(DBDateEdit::BlankText));
        edit.home(false);
        QTest::keyClicks(&edit, typed);

        QCOMPARE(edit.commit(), accepted);
        QCOMPARE(m_settings->value(field), stored);
        if (!accepted) {
            QCOMPARE(Messages::shown().size(), 1);
            QVERIFY(Messages::shownTexts().constFirst().startsWith(QStringLiteral("Data non valida")));
            QCOMPARE(edit.displayText().remove(QLatin1Char(' ')).remove(QLatin1Char('/')), typed);
        }
    }

    // However the focus comes (a page shown, Enter from the field before, a click in the middle of the
    // field), typing fills the day first; a date filled in by a rule while the user is in the field is
    // typed over.
    void aBlankDateTakesTypingFromItsStart()
    {
        QDialog window;
        auto *before = new QLineEdit(&window);
        auto *edit = new DBDateEdit(&window);
        edit->bind(m_settingsSource.get(), QStringLiteral("Impbck_ultimadata"));
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(before);
        layout->addWidget(edit);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        before->setFocus();
        edit->setFocus();
        QTest::keyClicks(edit, "01022021");
        QCOMPARE(edit->displayText(), QStringLiteral("01/02/2021"));

        m_settings->cancel();
        before->setFocus();
        edit->setFocus();
        m_settings->edit();
        m_settings->setValue(QStringLiteral("Impbck_ultimadata"), QDate(2021, 2, 1));
        QTest::keyClicks(edit, "15032022");
        QCOMPARE(edit->displayText(), QStringLiteral("15/03/2022"));
        m_settings->cancel();

        auto *unbound = new DateField(&window);
        layout->addWidget(unbound);
        for (QLineEdit *blank : {static_cast<QLineEdit *>(edit), unbound->edit()}) {
            blank->clear();
            before->setFocus();
            QTest::mouseClick(blank, Qt::LeftButton, {}, blank->rect().center());
            QTest::keyClicks(blank, "01022021");
            QCOMPARE(blank->displayText(), QStringLiteral("01/02/2021"));
        }
    }

    void choiceWidgetsStoreTheirCodes()
    {
        DBComboBox combo;
        combo.bind(m_shopSource.get(), QStringLiteral("Provincia"));
        combo.setItems({QStringLiteral("RM=Roma"), QStringLiteral("MI=Milano"), QStringLiteral("NA")});
        QCOMPARE(combo.currentIndex(), -1);
        combo.activated(1);
        QCOMPARE(m_shops->state(), TableState::Edit);
        QCOMPARE(m_shops->asString(QStringLiteral("Provincia")), QStringLiteral("MI"));
        QCOMPARE(combo.currentText(), QStringLiteral("MI=Milano"));
        m_shops->setValue(QStringLiteral("Provincia"), QStringLiteral("NA"));
        QCOMPARE(combo.currentIndex(), 2);
        m_shops->setValue(QStringLiteral("Provincia"), QStringLiteral("TO"));
        QCOMPARE(combo.currentIndex(), -1);
        m_shops->cancel();

        DBRadioGroup radio(QStringLiteral("Tipo"));
        radio.setItems({QStringLiteral("Giuridica"), QStringLiteral("Fisica")});
        radio.bind(m_shopSource.get(), QStringLiteral("Cap"));
        QCOMPARE(radio.itemIndex(), -1);
        radio.button(1)->click();
        QCOMPARE(m_shops->asString(QStringLiteral("Cap")), QStringLiteral("1"));
        radio.setValues({QStringLiteral("G"), QStringLiteral("F")});
        QCOMPARE(radio.itemIndex(), -1);
        radio.button(0)->click();
        QCOMPARE(m_shops->asString(QStringLiteral("Cap")), QStringLiteral("G"));
        m_shops->setValue(QStringLiteral("Cap"), QStringLiteral("F"));
        QCOMPARE(radio.itemIndex(), 1);
        m_shops->cancel();

        DBCheckBox check(QStringLiteral("Usa password"));
        check.bind(m_settingsSource.get(), QStringLiteral("Usa_pwd"));
        QVERIFY(!check.isChecked());
        check.click();
        QCOMPARE(m_settings->state(), TableState::Edit);
        QCOMPARE(m_settings->value(QStringLiteral("Usa_pwd")), QVariant(true));
        m_settings->cancel();
        QVERIFY(!check.isChecked());

        // The lookup lists the other table in its order and stores the chosen row's key.
        DBLookupComboBox lookup;
        lookup.bind(m_settingsSource.get(), QStringLiteral("Salto"));
        m_shops->setIndexName(QStringLiteral("rs_index"));
        lookup.setListSource(m_shops.get(), QStringLiteral("Id_esercizio"), QStringLiteral("Ragione_sociale"));
        QCOMPARE(lookup.count(), 3);
        QCOMPARE(lookup.itemText(0), QStringLiteral("BAR ROMA"));
        QCOMPARE(lookup.itemText(1), QStringLiteral("CAFFE NAPOLI"));
        lookup.activated(1);
        QCOMPARE(m_settings->asInteger(QStringLiteral("Salto")), 3);
        m_settings->post();
        m_shops->append();
        m_shops->setValue(QStringLiteral("Id_esercizio"), 4);
        m_shops->setValue(QStringLiteral("Ragione_sociale"), QStringLiteral("ALFA"));
        m_shops->post();
        QCOMPARE(lookup.itemText(0), QStringLiteral("ALFA"));
        QCOMPARE(lookup.currentText(), QStringLiteral("CAFFE NAPOLI"));
        QVERIFY(Messages::shown().isEmpty());
    }

    void aReadOnlyFieldIsSilverAndTakesNoChange()
    {
        const QColor silver(0xC0, 0xC0, 0xC0);
        DBEdit edit;
        edit.bind(m_shopSource.get(), QStringLiteral("Ragione_sociale"));
        DBComboBox combo;
        combo.bind(m_shopSource.get(), QStringLiteral("Provincia"));
        combo.setItems({QStringLiteral("RM=Roma"), QStringLiteral("MI=Milano")});
        for (QWidget *control : {static_cast<QWidget *>(&edit), static_cast<QWidget *>(&combo)})
            ui::setFieldReadOnly(control, true);
        QCOMPARE(edit.palette().color(QPalette::Base), silver);
        QCOMPARE(combo.palette().color(QPalette::Button), silver);
        // Disabled, the combo's text stays as dark as an enabled one's.
        QCOMPARE(combo.palette().color(QPalette::Disabled, QPalette::ButtonText), combo.palette().color(QPalette::Active, QPalette::ButtonText));
        typeInto(&edit, QStringLiteral("ALTRO"));
        QCOMPARE(edit.text(), QStringLiteral("BAR ROMA"));
        QVERIFY(!combo.isEnabled());
        QCOMPARE(m_shops->state(), TableState::Browse);

        for (QWidget *control : {static_cast<QWidget *>(&edit), static_cast<QWidget *>(&combo)})
            ui::setFieldReadOnly(control, false);
        QCOMPARE(edit.palette().color(QPalette::Base), QColor(Qt::white));
        QVERIFY(combo.isEnabled());
        typeInto(&edit, QStringLiteral("ALTRO"));
        QCOMPARE(m_shops->state(), TableState::Edit);
        m_shops->cancel();
    }

    void gridAndCursorFollowEachOther()
    {
        DBGrid grid;
        grid.setDataSource(m_shopSource.get());
        grid.setColumns({{QStringLiteral("Ragione_sociale"), QStringLiteral("Ragione sociale"), 0, true},
                         {QStringLiteral("Comune"), QStringLiteral("Comune")}});
        grid.setRowColor([](const Table &table, int row) {
            return table.valueAt(row, QStringLiteral("Comune")).toString() == QLatin1String("MILANO") ? QColor(Qt::darkMagenta) : QColor();
        });
        grid.setRowTextColor([](const Table &table, int row) {
            return table.valueAt(row, QStringLiteral("Comune")).toString() == QLatin1String("ROMA") ? QColor(Qt::blue) : QColor();
        });
        TableModel *model = grid.tableModel();
        QCOMPARE(model->rowCount(), 3);
        // A text colour of its own, or one that reads on the row's background.
        QCOMPARE(model->index(0, 1).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::blue));
        QCOMPARE(model->index(1, 1).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
        QVERIFY(!model->index(2, 1).data(Qt::ForegroundRole).isValid());
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Ragione sociale"));
        QVERIFY(model->headerData(0, Qt::Horizontal, Qt::BackgroundRole).isValid());
        QVERIFY(!model->headerData(1, Qt::Horizontal, Qt::BackgroundRole).isValid());
        QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("MILANO"));
        QCOMPARE(model->index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::darkMagenta));
        QVERIFY(!model->index(0, 0).data(Qt::BackgroundRole).isValid());

        QCOMPARE(grid.currentIndex().row(), 0);
        grid.selectRow(2);
        QCOMPARE(m_shops->recNo(), 3);
        m_shops->first();
        QCOMPARE(grid.currentIndex().row(), 0);
        QVERIFY(grid.selectionModel()->isRowSelected(0, {}));

        // A new order or filter gives new rows; the cursor's row stays selected.
        m_shops->setIndexName(QStringLiteral("rs_index"));
        QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("CAFFE NAPOLI"));
        m_shops->setFilterText(QStringLiteral("[Comune] <> 'ROMA'"));
        m_shops->setFiltered(true);
        QCOMPARE(model->rowCount(), 2);
        m_shops->last();
        QCOMPARE(grid.currentIndex().row(), 1);

        // What is being typed into the current row shows; the user cannot move off a row being edited.
        QSignalSpy repaint(model, &QAbstractItemModel::dataChanged);
        m_shops->edit();
        m_shops->setValue(QStringLiteral("Ragione_sociale"), QStringLiteral("NUOVO NOME"));
        QVERIFY(!repaint.isEmpty());
        QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("NUOVO NOME"));
        grid.selectRow(0);
        QCOMPARE(m_shops->recNo(), 2);
        QCOMPARE(grid.currentIndex().row(), 1);
        QCOMPARE(m_shops->state(), TableState::Edit);
        m_shops->cancel();

        QSignalSpy titles(&grid, &DBGrid::titleClicked);
        grid.horizontalHeader()->sectionClicked(1);
        QCOMPARE(titles.size(), 1);
        QCOMPARE(titles.constFirst().constFirst().toString(), QStringLiteral("Comune"));

        m_shops->close();
        QCOMPARE(model->rowCount(), 0);
    }

    // Under Qt's model tester: a post or a delete is one row coming or going, an edit in place a
    // repaint; rows that a bulk scope or another cursor added come as one reset.
    void modelFollowsEachRowChange()
    {
        TableModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m_shops->setIndexName(QStringLiteral("rs_index"));
        model.setDataSource(m_shopSource.get());
        model.setColumns({{QStringLiteral("Ragione_sociale"), QStringLiteral("Ragione sociale")}, {QStringLiteral("Comune"), QStringLiteral("Comune")}});
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        QSignalSpy repainted(&model, &QAbstractItemModel::dataChanged);
        const auto names = [&] {
            QStringList shown;
            for (int row = 0; row < model.rowCount(); ++row)
                shown << model.index(row, 0).data().toString();
            return shown;
        };

        m_shops->append();
        m_shops->setValue(QStringLiteral("Id_esercizio"), 10);
        m_shops->setValue(QStringLiteral("Ragione_sociale"), QStringLiteral("BAR SPORT"));
        m_shops->post();
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted.at(0).at(1).toInt(), 1);
        QCOMPARE(names(), (QStringList{"BAR ROMA", "BAR SPORT", "CAFFE NAPOLI", "L'ARTE SRL"}));

        m_shops->edit(); // a new name moves the row
        m_shops->setValue(QStringLiteral("Ragione_sociale"), QStringLiteral("ZZ BAR"));
        m_shops->post();
        QCOMPARE(removed.size(), 1);
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(names(), (QStringList{"BAR ROMA", "CAFFE NAPOLI", "L'ARTE SRL", "ZZ BAR"}));

        repainted.clear();
        m_shops->edit(); // another field: the row stays and is repainted
        m_shops->setValue(QStringLiteral("Comune"), QStringLiteral("MILANO"));
        m_shops->post();
        QCOMPARE(inserted.size(), 2);
        QVERIFY(!repainted.isEmpty());
        QCOMPARE(model.index(3, 1).data().toString(), QStringLiteral("MILANO"));

        m_shops->first();
        m_shops->remove();
        QCOMPARE(removed.size(), 2);
        QCOMPARE(removed.at(1).at(1).toInt(), 0);
        QCOMPARE(reset.size(), 0);

        {
            engine::BulkScope scope;
            for (int id = 20; id < 23; ++id) {
                m_shops->append();
                m_shops->setValue(QStringLiteral("Id_esercizio"), id);
                m_shops->setValue(QStringLiteral("Ragione_sociale"), QStringLiteral("NUOVO %1").arg(id));
                m_shops->post();
            }
            QCOMPARE(inserted.size(), 2);
        }
        QCOMPARE(reset.size(), 1);
        QCOMPARE(model.rowCount(), 6);

        auto other = openTable(QStringLiteral("esercizio"));
        other->append();
        other->setValue(QStringLiteral("Id_esercizio"), 30);
        other->setValue(QStringLiteral("Ragione_sociale"), QStringLiteral("ALTRA FINESTRA"));
        other->post();
        QTRY_COMPARE(model.rowCount(), 7);
        QCOMPARE(names().first(), QStringLiteral("ALTRA FINESTRA"));
    }

    // The cells draw the grid's lines themselves: every cell, a coloured row's and one shown through
    // its column's own text among them, has its right and bottom lines, and an editor leaves them.
    void theGridsLinesFrameEveryCell()
    {
        DBGrid grid;
        grid.setDataSource(m_shopSource.get());
        GridColumn town{QStringLiteral("Comune"), QStringLiteral("Comune")};
        town.shownAs = [](const QString &text) { return text.toLower(); };
        grid.setColumns({{QStringLiteral("Ragione_sociale"), QStringLiteral("Ragione sociale")}, town});
        grid.setRowColor([](const Table &table, int row) {
            return table.valueAt(row, QStringLiteral("Comune")).toString() == QLatin1String("MILANO") ? QColor(Qt::darkMagenta) : QColor();
        });
        grid.resize(400, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCOMPARE(grid.model()->index(1, 1).data().toString(), QStringLiteral("milano"));
        QStyleOptionViewItem option;
        option.initFrom(&grid);
        const QColor line = QColor::fromRgba(QRgb(grid.style()->styleHint(QStyle::SH_Table_GridLineColor, &option, &grid)));
        const QImage shown = grid.viewport()->grab().toImage();
        for (int row = 0; row < 3; ++row) {
            const int top = grid.rowViewportPosition(row), bottom = top + grid.rowHeight(row) - 1;
            for (int column = 0; column < 2; ++column) {
                const int left = grid.columnViewportPosition(column), right = left + grid.columnWidth(column) - 1;
                QCOMPARE(shown.pixelColor(right, (top + bottom) / 2), line);
                QCOMPARE(shown.pixelColor(left + 2, bottom), line);
                const QRect cell = grid.visualRect(grid.model()->index(row, column));
                QCOMPARE(cell, QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
            }
        }
        QCOMPARE(shown.pixelColor(2, grid.rowViewportPosition(1) + 2), QColor(Qt::darkMagenta));
    }

    void anEditableGridPostsEachCellLeft_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("message"); // how the message shown begins; empty: none
        QTest::newRow("text, Enter") << "Dir_backup" << "/mnt/copie" << int(Qt::Key_Return) << QVariant(QStringLiteral("/mnt/copie")) << "";
        QTest::newRow("text, Esc") << "Dir_backup" << "/mnt/copie" << int(Qt::Key_Escape) << QVariant(QStringLiteral("")) << "";
        QTest::newRow("date") << "Impbck_ultimadata" << "01022021" << int(Qt::Key_Return) << QVariant(QDate(2021, 2, 1)) << "";
        QTest::newRow("no such date") << "Impbck_ultimadata" << "31022021" << int(Qt::Key_Return) << QVariant() << "Data non valida";
        QTest::newRow("not a number") << "Salto" << "x" << int(Qt::Key_Return) << QVariant() << "Valore non valido";
    }
    void anEditableGridPostsEachCellLeft()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QVariant, stored);
        QFETCH(QString, message);
        DBGrid grid;
        grid.setDataSource(m_settingsSource.get());
        grid.setColumns({{QStringLiteral("Dir_backup"), QStringLiteral("Cartella")},
                         {QStringLiteral("Impbck_ultimadata"), QStringLiteral("Ultima copia")},
                         {QStringLiteral("Salto"), QStringLiteral("Salto")}});
        const int column = field == QLatin1String("Dir_backup") ? 0 : field == QLatin1String("Salto") ? 2 : 1;
        const QModelIndex cell = grid.model()->index(0, column);
        QVERIFY(!(grid.model()->flags(cell) & Qt::ItemIsEditable));
        grid.setEditable(true);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));

        grid.edit(cell);
        auto *editor = qobject_cast<QLineEdit *>(grid.indexWidget(cell));
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Delete);
        editor->home(false);
        QTest::keyClicks(editor, typed);
        QCOMPARE(m_settings->state(), TableState::Edit);
        QTest::keyClick(editor, Qt::Key(key));

        // The view commits after the editor has had the key.
        QTRY_COMPARE(m_settings->state(), TableState::Browse);
        QVERIFY(!grid.indexWidget(cell));
        QCOMPARE(m_settings->value(field), stored);
        QCOMPARE(openTable(QStringLiteral("impostazioni"))->value(field), stored);
        QCOMPARE(Messages::shown().size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(Messages::shownTexts().constFirst().startsWith(message), qPrintable(Messages::shownTexts().constFirst()));
    }

    void tabLeavesTheGrid_data()
    {
        QTest::addColumn<bool>("backwards");
        QTest::newRow("Tab") << false;
        QTest::newRow("Shift+Tab") << true;
    }
    void tabLeavesTheGrid()
    {
        QFETCH(bool, backwards);
        QDialog window;
        auto *before = new QLineEdit(&window);
        auto *grid = new DBGrid(&window);
        auto *after = new QLineEdit(&window);
        grid->setDataSource(m_shopSource.get());
        grid->setColumns({{QStringLiteral("Ragione_sociale"), QStringLiteral("Ragione sociale")},
                          {QStringLiteral("Comune"), QStringLiteral("Comune")}});
        auto *layout = new QVBoxLayout(&window);
        for (QWidget *w : {static_cast<QWidget *>(before), static_cast<QWidget *>(grid), static_cast<QWidget *>(after)})
            layout->addWidget(w);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(QApplication::focusWidget(), backwards ? before : after);
        QCOMPARE(grid->currentIndex(), grid->model()->index(0, 0));
    }

    void enterMovesToTheNextFieldAndFunctionKeysClickVisibleButtons()
    {
        QDialog window;
        auto *pages = new QStackedWidget(&window);
        auto *list = new QWidget(pages);
        auto *newButton = new QPushButton(QStringLiteral("Nuovo"), list);
        new QVBoxLayout(list);
        list->layout()->addWidget(newButton);
        auto *entry = new QWidget(pages);
        auto *first = new QLineEdit(entry);
        auto *second = new QLineEdit(entry);
        auto *ok = new QPushButton(QStringLiteral("OK"), entry);
        ok->setDefault(true);
        new QVBoxLayout(entry);
        for (QWidget *w : {static_cast<QWidget *>(first), static_cast<QWidget *>(second), static_cast<QWidget *>(ok)})
            entry->layout()->addWidget(w);
        pages->addWidget(list);
        pages->addWidget(entry);
        new QVBoxLayout(&window);
        window.layout()->addWidget(pages);
        ui::enterMovesToNextField(entry);
        ui::setUpperCase(first);
        QSignalSpy newClicks(newButton, &QPushButton::clicked);
        QSignalSpy okClicks(ok, &QPushButton::clicked);
        ui::bindFunctionKey(&window, Qt::Key_F8, newButton);

        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_F8);
        QCOMPARE(newClicks.size(), 1);

        pages->setCurrentWidget(entry);
        first->setFocus();
        QTest::keyClicks(first, "via roma");
        QCOMPARE(first->text(), QStringLiteral("VIA ROMA"));
        QTest::keyClick(first, Qt::Key_Return);
        QVERIFY(second->hasFocus());
        QCOMPARE(okClicks.size(), 0);
        QVERIFY(window.isVisible());
        // A button on a page not shown cannot be reached by its key.
        QTest::keyClick(&window, Qt::Key_F8);
        QCOMPARE(newClicks.size(), 1);
    }

    void anotherWindowComingUpDoesNotLeaveTheEdit()
    {
        QDialog window;
        auto *edit = new DBEdit(&window);
        edit->bind(m_shopSource.get(), QStringLiteral("Comune"));
        auto *other = new QLineEdit(&window);
        new QVBoxLayout(&window);
        window.layout()->addWidget(edit);
        window.layout()->addWidget(other);
        QDialog zoom;
        window.show();
        zoom.show();
        QApplication::setActiveWindow(&window);
        edit->setFocus();
        QVERIFY(edit->hasFocus());
        QTest::keyClicks(edit, "ROM");

        // A partial name typed before a zoom comes up is not yet the field's value.
        QApplication::setActiveWindow(&zoom);
        QVERIFY(!edit->hasFocus());
        QCOMPARE(m_shops->asString(QStringLiteral("Comune")), QStringLiteral("ROMA"));
        QApplication::setActiveWindow(&window);
        QCOMPARE(edit->text(), QStringLiteral("ROMAROM"));
        other->setFocus();
        QCOMPARE(m_shops->asString(QStringLiteral("Comune")), QStringLiteral("ROMAROM"));
    }

    void enterFollowsItsChainAndPressesTheButtonAtItsEnd()
    {
        QDialog window;
        auto *first = new QLineEdit(&window);
        auto *aside = new QPushButton(QStringLiteral("Cerca"), &window);
        auto *second = new QLineEdit(&window);
        auto *ok = new QPushButton(QStringLiteral("OK"), &window);
        new QVBoxLayout(&window);
        for (QWidget *w : std::initializer_list<QWidget *>{first, aside, second, ok})
            window.layout()->addWidget(w);
        ui::enterMovesToNextField(&window);
        ui::enterMovesAlong({first, second, ok});
        QSignalSpy asideClicks(aside, &QPushButton::clicked);
        QSignalSpy okClicks(ok, &QPushButton::clicked);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        first->setFocus();
        QTest::keyClick(first, Qt::Key_Tab);
        QVERIFY(aside->hasFocus()); // Tab still reaches the button beside the field
        first->setFocus();
        QTest::keyClick(first, Qt::Key_Return);
        QVERIFY(second->hasFocus());
        QTest::keyClick(second, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(ok->hasFocus());
        QCOMPARE(okClicks.size(), 0);
        QTest::keyClick(ok, Qt::Key_Return);
        QCOMPARE(okClicks.size(), 1);
        QCOMPARE(asideClicks.size(), 0);
        // Shift+Enter is not Enter.
        first->setFocus();
        QTest::keyClick(first, Qt::Key_Return, Qt::ShiftModifier);
        QVERIFY(first->hasFocus());
    }

    void aRowsColoursAreAskedOnceUntilItChanges()
    {
        m_shops->setIndexName(QStringLiteral("rs_index")); // BAR ROMA, CAFFE NAPOLI, L'ARTE SRL (MILANO)
        DBGrid grid;
        grid.setDataSource(m_shopSource.get());
        grid.setColumns({{QStringLiteral("Ragione_sociale"), QStringLiteral("Ragione sociale")},
                         {QStringLiteral("Comune"), QStringLiteral("Comune")}});
        int asked = 0;
        grid.setRowColor([&asked](const Table &table, int row) {
            ++asked;
            return table.valueAt(row, QStringLiteral("Comune")).toString() == QLatin1String("MILANO") ? QColor(Qt::darkMagenta) : QColor();
        });
        TableModel *model = grid.tableModel();
        const auto colour = [model](int row) { return model->index(row, 1).data(Qt::BackgroundRole).value<QColor>(); };
        asked = 0;
        for (int column : {0, 1}) {
            QCOMPARE(model->index(2, column).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::darkMagenta));
            QCOMPARE(model->index(2, column).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
        }
        QCOMPARE(asked, 1);

        // A value typed into the row, and a row inserted before it, give it its colour again.
        m_shops->last();
        m_shops->edit();
        m_shops->setValue(QStringLiteral("Comune"), QStringLiteral("ROMA"));
        QVERIFY(!colour(2).isValid());
        m_shops->cancel();
        QCOMPARE(colour(2), QColor(Qt::darkMagenta));
        m_shops->append();
        m_shops->setValue(QStringLiteral("Ragione_sociale"), QStringLiteral("AAA PRIMO"));
        m_shops->post();
        QVERIFY(!colour(2).isValid());
        QCOMPARE(colour(3), QColor(Qt::darkMagenta));
    }

    void leavingAnAreaIsNotGoingToItsPopupOrAnotherWindow()
    {
        QDialog window;
        auto *area = new QWidget(&window);
        auto *list = new QComboBox(area);
        list->addItems({QStringLiteral("A"), QStringLiteral("B")});
        auto *inside = new QLineEdit(area);
        auto *areaLayout = new QVBoxLayout(area);
        areaLayout->addWidget(list);
        areaLayout->addWidget(inside);
        auto *outside = new QLineEdit(&window);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(area);
        layout->addWidget(outside);
        int left = 0;
        ui::whenLeft(area, [&left] { ++left; });
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        list->setFocus();
        inside->setFocus();
        list->setFocus();
        list->showPopup();
        list->hidePopup();
        QCOMPARE(left, 0);
        outside->setFocus();
        QCOMPARE(left, 1);

        // A message or another window takes the focus and gives it back.
        inside->setFocus();
        QDialog other;
        auto *otherEdit = new QLineEdit(&other);
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        otherEdit->setFocus();
        other.close();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), inside);
        QCOMPARE(left, 1);
        outside->setFocus();
        QCOMPARE(left, 2);
    }

    void closeGuardRefusesTheFrameButNotTheCommands()
    {
        QDialog window;
        QString refusal = QStringLiteral("Per uscire dalla finestra usare i tasti opportuni");
        new CloseGuard(&window, [&refusal] { return refusal; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QVERIFY(!window.close());
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QCOMPARE(Messages::shownTexts(), QStringList{refusal});
        window.accept();
        QVERIFY(!window.isVisible());

        // While the window gives no refusal, the frame and Esc close it as usual.
        refusal.clear();
        window.show();
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        window.show();
        QVERIFY(window.close());
        QCOMPARE(Messages::shown().size(), 1);
    }
};

QTEST_MAIN(tst_DataWidgets)
#include "tst_datawidgets.moc"
