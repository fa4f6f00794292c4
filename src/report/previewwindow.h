#pragma once
// PreviewWindow: a prepared report on screen, one page at a time. Zoom to the page's width, the whole
// page or a percentage (Ctrl+wheel, Ctrl++ and Ctrl+- step through them); pages with the buttons,
// PgUp/PgDn and Ctrl+Home/Ctrl+End; "Trova" (Ctrl+F, then Enter or F3 for the next one) highlights the
// next box holding the text, on this page or a later one, and starts again from the first page at the
// end; "Stampa" (Ctrl+P) through the print dialog; "Salva PDF"; "Chiudi" (Esc).
//
// Only the page shown is drawn, once for each page and zoom.

#include "report/prepared.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QSpinBox;

namespace report {

class PageView;
class WindowServices;

class PreviewWindow : public QDialog {
    Q_OBJECT

public:
    PreviewWindow(PreparedReport report, WindowServices &services, QWidget *parent = nullptr);
    ~PreviewWindow() override;

    const PreparedReport &report() const { return m_report; }
    int currentPage() const; // 0-based
    void showPage(int page);
    double pixelsPerMm() const;
    // The box last found, or none.
    const Match &lastMatch() const { return m_match; }

    void findNext();
    void print();
    void saveAsPdf();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyZoom();
    void stepZoom(int steps);
    void updatePageControls();

    PreparedReport m_report;
    WindowServices &m_services;
    QScrollArea *m_scroll;
    PageView *m_view;
    QComboBox *m_zoom;
    QSpinBox *m_pageNumber;
    QLabel *m_pageTotal;
    QLineEdit *m_find;
    Match m_match;
    QString m_searched;
};

} // namespace report
