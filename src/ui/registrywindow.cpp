#include "ui/registrywindow.h"

#include "ground/messages.h"
#include "ground/state.h"
#include "data/tdm.h"
#include "ui/closeguard.h"
#include "ui/fieldlink.h"
#include "ui/keyhelpers.h"

#include <QStackedWidget>
#include <QVBoxLayout>

using engine::Table;

RegistryWindow::RegistryWindow(const char *objectName, const QString &caption, QSize size, QWidget *parent)
    : QDialog(parent)
{
    requireDataModule();
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(caption);
    resize(size);

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    new CloseGuard(this, [this] { return closeRefusal(); });
}

void RegistryWindow::addPage(const char *objectName, QWidget *page, PageKind kind, QWidget *focus)
{
    page->setObjectName(QString::fromLatin1(objectName));
    if (kind == PageKind::Entry)
        ui::enterMovesToNextField(page);
    m_pages->addWidget(page);
    m_roles.append({kind, focus});
}

void RegistryWindow::addEntryPage(const char *objectName, const QString &title,
                                  const QList<QPair<QString, QWidget *>> &fields, const QList<QPushButton *> &buttons,
                                  QWidget *focus)
{
    addPage(objectName, ui::entryPage(title, fields, buttons, this), PageKind::Entry, focus);
}

void RegistryWindow::showPage(int page)
{
    m_pages->setCurrentIndex(page);
    if (QWidget *focus = m_roles.at(page).focus)
        focus->setFocus();
}

int RegistryWindow::currentPage() const
{
    return m_pages->currentIndex();
}

bool RegistryWindow::startEntry(Table *table, Entry entry, int page, Failure failure)
{
    try {
        if (entry == Entry::Append)
            table->append();
        else
            table->edit();
    } catch (const std::exception &error) {
        if (failure == Failure::Shown)
            Messages::error(error);
        return false;
    }
    if (!m_entered.contains(table))
        m_entered.append(table);
    showPage(page);
    return true;
}

bool RegistryWindow::storeEntry(Table *table, const std::function<void()> &fill)
{
    if (!commitEdits(m_pages->currentWidget()))
        return false;
    try {
        if (fill)
            fill();
        table->post();
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return false;
    }
    showPage(ListPage);
    return true;
}

void RegistryWindow::cancelEntry(Table *table)
{
    table->cancel();
    showPage(ListPage);
}

void RegistryWindow::offerChoice(QWidget *close, QWidget *select, QWidget *cancel)
{
    AppState &state = appState();
    const bool picking = state.SceltaFatta;
    state.SceltaFatta = false;
    close->setVisible(!picking);
    select->setVisible(picking);
    cancel->setVisible(picking);
}

void RegistryWindow::closeWithChoice()
{
    appState().SceltaFatta = true;
    accept();
}

void RegistryWindow::FormShow()
{
    showPage(ListPage);
}

QString RegistryWindow::closeRefusal() const
{
    return m_roles.at(currentPage()).kind == PageKind::Entry
        ? QStringLiteral("Terminare la fase di inserimento con i tasti di conferma")
        : QStringLiteral("Per uscire dalla finestra usare i tasti opportuni");
}

void RegistryWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void RegistryWindow::done(int result)
{
    for (Table *table : std::as_const(m_entered)) {
        if (table)
            table->cancel();
    }
    QDialog::done(result);
}
