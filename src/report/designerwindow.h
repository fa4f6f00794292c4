#pragma once
// DesignerWindow: edits a copy of a report's template. The bands and their boxes on a canvas
// (report/designcanvas.h); beside it what the mouse does not say: the selected box's text, font,
// alignment, frame and exact place, the selected band's kind, height and data set, the page. Boxes
// and bands are added and deleted, templates opened from and saved to ".frf" files, and "Anteprima"
// shows the report with the template as it stands.
//
// What is saved becomes the report's template. Closing, or opening another file, with changes not
// saved asks first, so that nothing is dropped without the user's word.

#include "report/template.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;

namespace report {

class DesignCanvas;
class Report;
class WindowServices;

class DesignerWindow : public QDialog {
    Q_OBJECT

public:
    DesignerWindow(Report &report, const QString &filePath, WindowServices &services, QWidget *parent = nullptr);
    ~DesignerWindow() override;

    const Template &layout() const { return m_layout; }
    QString filePath() const { return m_path; }
    bool isModified() const { return m_layout != m_saved; }
    DesignCanvas *canvas() const { return m_canvas; }

    void openFile();
    bool save();
    bool saveAs();
    void preview();
    void addText();
    void addRule();
    void removeElement();
    void addBand(BandKind kind);
    void removeBand();

    void done(int result) override;

private:
    void buildPanel(QWidget *panel);
    void edited();       // the layout changed: canvas, panel and caption follow
    void showSelection();
    // A control of the panel changed the selection's element or band, or the page.
    void editElement(const std::function<void(Element &)> &change);
    void editBand(const std::function<void(Band &)> &change);
    void editPage(const std::function<void(PageSetup &)> &change);
    void updateCaption();
    bool mayDropChanges();
    void addElement(Element element);

    Report &m_report;
    WindowServices &m_services;
    QString m_path;
    Template m_layout;
    Template m_saved;
    DesignCanvas *m_canvas;
    bool m_showing = false; // the panel is being filled from the model, not edited

    QGroupBox *m_elementBox;
    QDoubleSpinBox *m_x, *m_y, *m_width, *m_height;
    QPlainTextEdit *m_text;
    QFontComboBox *m_family;
    QDoubleSpinBox *m_size;
    QCheckBox *m_bold, *m_italic, *m_underline, *m_wrap;
    QComboBox *m_align, *m_valign;
    QCheckBox *m_frameLeft, *m_frameTop, *m_frameRight, *m_frameBottom;
    QDoubleSpinBox *m_lineWidth;
    QGroupBox *m_bandBox;
    QComboBox *m_bandKind;
    QDoubleSpinBox *m_bandHeight;
    QLineEdit *m_dataSet;
    QCheckBox *m_landscape;
    QDoubleSpinBox *m_margins[4];
};

} // namespace report
