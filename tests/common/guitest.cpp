#include "guitest.h"

#include "ground/messages.h"
#include "ground/testmode.h"
#include "ui/filedialogs.h"
#include "pdftext.h"
#include "ui/printdialogs.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QRegularExpression>

GuiTest::GuiTest()
{
    setTestMode(true);
}

void GuiTest::init()
{
    Messages::clear();
    ModalWindows::clear();
    FileDialogs::clear();
    PrintDialogs::clear();
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^ApriModale: the test left .* open")));
    setUp();
}

void GuiTest::cleanup()
{
    tearDown();
    const qsizetype answers = Messages::pendingAnswers();
    const qsizetype handlers = ModalWindows::pendingHandlers();
    const qsizetype names = FileDialogs::pendingAnswers();
    const qsizetype printers = PrintDialogs::pendingAnswers();
    Messages::clear();
    ModalWindows::clear();
    FileDialogs::clear();
    PrintDialogs::clear();
    QVERIFY2(answers == 0, qPrintable(QStringLiteral("%1 message answer(s) queued and never asked for").arg(answers)));
    QVERIFY2(handlers == 0, qPrintable(QStringLiteral("%1 window handler(s) queued and no window opened").arg(handlers)));
    QVERIFY2(names == 0, qPrintable(QStringLiteral("%1 file dialog answer(s) queued and never asked for").arg(names)));
    QVERIFY2(printers == 0, qPrintable(QStringLiteral("%1 print dialog answer(s) queued and never asked for").arg(printers)));
}

QAbstractButton *button(QWidget &window, const char *name)
{
    auto *found = window.findChild<QAbstractButton *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no button %s", name);
    return found;
}

QLineEdit *lineEdit(QWidget &window, const char *name)
{
    auto *found = window.findChild<QLineEdit *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no edit %s", name);
    return found;
}

void addPickerAnswerRows(const PickerCommands &commands)
{
    QTest::addColumn<bool>("picking");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("chosen");
    QTest::newRow("Seleziona") << true << QString::fromLatin1(commands.select) << true;
    QTest::newRow("Annulla") << true << QString::fromLatin1(commands.cancel) << false;
    QTest::newRow("not a picker") << false << QString::fromLatin1(commands.close) << false;
}

void typeInto(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar character : text) {
        // QTest knows keys for ASCII only; an accented letter arrives as the text of a key, as from a keyboard.
        if (character.unicode() < 0x80)
            QTest::keyClick(edit, character.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
}

QStringList walkWithTab(int steps)
{
    QStringList walked;
    for (int step = 0; step < steps; ++step) {
        walked << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return walked;
}

void shoot(QWidget &window, const QString &name)
{
    const QString folder = qEnvironmentVariable("SIGILLO_SHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    const QSize size = window.size();
    window.resize(1280, 800);
    QCoreApplication::processEvents();
    window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    window.resize(size);
}

QList<QStringList> printThroughPreview(QAbstractButton *print, const QString &path, const QString &name)
{
    return printThroughPreview([print] { print->click(); }, path, name);
}

QList<QStringList> printThroughPreview(const std::function<void()> &print, const QString &path, const QString &name)
{
    ModalWindows::setNextHandler([&](QDialog &preview) {
        shoot(preview, name + QStringLiteral("-anteprima"));
        FileDialogs::setNextFileName(path);
        button(preview, "pdfButton")->click();
        preview.reject();
    });
    print();
    pdf::shoot(path, name, 1);
    return pdf::pages(path);
}
