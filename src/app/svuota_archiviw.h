#pragma once
// TSVUOTA_ARCHIVIForm: the choice of the archives to empty. The data are closed while it is open; its
// "OK" reopens them, asks once more, empties the chosen archives and reopens the data again.

#include "app/svuota.h"

#include <QDialog>

class QCheckBox;

class TSVUOTA_ARCHIVIForm : public QDialog {
    Q_OBJECT

public:
    explicit TSVUOTA_ARCHIVIForm(QWidget *parent = nullptr);

private Q_SLOTS:
    void okClick();
    void annullaClick();
    void informazioniClick();

private:
    QCheckBox *addCheck(const char *objectName, const QString &text, Archivio archivio);
    QList<std::pair<QCheckBox *, Archivio>> m_checks;
};

extern TSVUOTA_ARCHIVIForm *SVUOTA_ARCHIVIForm;

// "svuota archivi": the warning question, then the window with the data closed; the data are open
// again when it returns.
void SvuotaArchiviCommand(QWidget *parent);
