#include "report/designerwindow.h"

#include "ground/messages.h"
#include "report/commandbutton.h"
#include "report/designcanvas.h"
#include "report/previewwindow.h"
#include "report/report.h"
#include "report/templatefile.h"
#include "report/windowservices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

namespace report {

namespace {

const QString Filter = QStringLiteral("Modelli di stampa (*.frf)");
constexpr BandKind Kinds[] = {BandKind::ReportTitle, BandKind::PageHeader, BandKind::ColumnHeader, BandKind::MasterData,
                              BandKind::PageFooter};

QDoubleSpinBox *lengthBox(const char *name, double minimum, double maximum, QWidget *parent)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(minimum, maximum);
    box->setDecimals(2);
    box->setSingleStep(DesignCanvas::Step);
    box->setSuffix(QStringLiteral(" mm"));
    box->setKeyboardTracking(false);
    return box;
}

QCheckBox *checkBox(const char *name, const QString &text, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

DesignerWindow::DesignerWindow(Report &report, const QString &filePath, WindowServices &services, QWidget *parent)
    : QDialog(parent), m_report(report), m_services(services), m_path(filePath), m_layout(report.layout()),
      m_saved(report.layout())
{
    setObjectName(QStringLiteral("designerWindow"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(1240, 800);

    QPushButton *open = commandButton(this, "openButton", QStringLiteral("Apri..."), &DesignerWindow::openFile);
    QPushButton *saveButton = commandButton(this, "saveButton", QStringLiteral("Salva"), &DesignerWindow::save);
    QPushButton *saveAsButton = commandButton(this, "saveAsButton", QStringLiteral("Salva con nome..."), &DesignerWindow::saveAs);
    QPushButton *previewButton = commandButton(this, "previewButton", QStringLiteral("Anteprima"), &DesignerWindow::preview);
    QPushButton *text = commandButton(this, "addTextButton", QStringLiteral("Nuovo testo"), &DesignerWindow::addText);
    QPushButton *line = commandButton(this, "addRuleButton", QStringLiteral("Nuova linea"), &DesignerWindow::addRule);
    QPushButton *remove = commandButton(this, "removeElementButton", QStringLiteral("Elimina elemento"), &DesignerWindow::removeElement);
    QPushButton *band = commandButton(this, "addBandButton", QStringLiteral("Nuova banda"), [] {});
    auto *kinds = new QMenu(band);
    for (BandKind kind : Kinds)
        kinds->addAction(bandCaption(kind), this, [this, kind] { addBand(kind); });
    band->setMenu(kinds);
    QPushButton *removeBandButton = commandButton(this, "removeBandButton", QStringLiteral("Elimina banda"), &DesignerWindow::removeBand);
    QPushButton *close = commandButton(this, "closeButton", QStringLiteral("Chiudi"), &DesignerWindow::reject);

    auto *bar = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{open, saveButton, saveAsButton, previewButton})
        bar->addWidget(w);
    bar->addSpacing(16);
    for (QWidget *w : std::initializer_list<QWidget *>{text, line, remove, band, removeBandButton})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(close);

    m_canvas = new DesignCanvas(m_layout, this);
    auto *scroll = new QScrollArea(this);
    scroll->setWidget(m_canvas);
    scroll->setBackgroundRole(QPalette::Dark);
    auto *panel = new QWidget(this);
    buildPanel(panel);
    auto *panelScroll = new QScrollArea(this);
    panelScroll->setWidget(panel);
    panelScroll->setWidgetResizable(true);
    panelScroll->setFixedWidth(panel->sizeHint().width() + 24);

    auto *body = new QHBoxLayout;
    body->addWidget(scroll, 1);
    body->addWidget(panelScroll);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(body, 1);

    connect(m_canvas, &DesignCanvas::selectionChanged, this, &DesignerWindow::showSelection);
    connect(m_canvas, &DesignCanvas::edited, this, &DesignerWindow::edited);
    connect(m_canvas, &DesignCanvas::removeRequested, this, &DesignerWindow::removeElement);
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this, &DesignerWindow::save);
    connect(new QShortcut(QKeySequence::Open, this), &QShortcut::activated, this, &DesignerWindow::openFile);

    m_canvas->setSelection(m_layout.bands.isEmpty() ? -1 : 0, -1);
    showSelection();
    updateCaption();
}

DesignerWindow::~DesignerWindow() = default;

void DesignerWindow::buildPanel(QWidget *panel)
{
    m_elementBox = new QGroupBox(QStringLiteral("Elemento"), panel);
    m_x = lengthBox("elementX", -1000, 1000, m_elementBox);
    m_y = lengthBox("elementY", -1000, 1000, m_elementBox);
    m_width = lengthBox("elementWidth", 0, 1000, m_elementBox);
    m_height = lengthBox("elementHeight", 0, 1000, m_elementBox);
    m_text = new QPlainTextEdit(m_elementBox);
    m_text->setObjectName(QStringLiteral("elementText"));
    m_text->setTabChangesFocus(true);
    m_text->setFixedHeight(90);
    m_family = new QFontComboBox(m_elementBox);
    m_family->setObjectName(QStringLiteral("fontFamily"));
    m_size = new QDoubleSpinBox(m_elementBox);
    m_size->setObjectName(QStringLiteral("fontSize"));
    m_size->setRange(1, 200);
    m_size->setDecimals(1);
    m_size->setSuffix(QStringLiteral(" pt"));
    m_size->setKeyboardTracking(false);
    m_bold = checkBox("fontBold", QStringLiteral("Grassetto"), m_elementBox);
    m_italic = checkBox("fontItalic", QStringLiteral("Corsivo"), m_elementBox);
    m_underline = checkBox("fontUnderline", QStringLiteral("Sottolineato"), m_elementBox);
    m_align = new QComboBox(m_elementBox);
    m_align->setObjectName(QStringLiteral("alignment"));
    m_align->addItems({QStringLiteral("A sinistra"), QStringLiteral("Al centro"), QStringLiteral("A destra")});
    m_valign = new QComboBox(m_elementBox);
    m_valign->setObjectName(QStringLiteral("verticalAlignment"));
    m_valign->addItems({QStringLiteral("In alto"), QStringLiteral("Al centro"), QStringLiteral("In basso")});
    m_wrap = checkBox("wordWrap", QStringLiteral("A capo automatico"), m_elementBox);
    m_frameLeft = checkBox("frameLeft", QStringLiteral("Sinistra"), m_elementBox);
    m_frameTop = checkBox("frameTop", QStringLiteral("Sopra"), m_elementBox);
    m_frameRight = checkBox("frameRight", QStringLiteral("Destra"), m_elementBox);
    m_frameBottom = checkBox("frameBottom", QStringLiteral("Sotto"), m_elementBox);
    m_lineWidth = lengthBox("lineWidth", 0.1, 5, m_elementBox);
    m_lineWidth->setSingleStep(0.1);

    const auto row = [](std::initializer_list<QWidget *> widgets) {
        auto *layout = new QHBoxLayout;
        for (QWidget *w : widgets)
            layout->addWidget(w);
        layout->addStretch();
        return layout;
    };
    auto *form = new QFormLayout(m_elementBox);
    form->addRow(QStringLiteral("X, Y:"), row({m_x, m_y}));
    form->addRow(QStringLiteral("Larghezza, altezza:"), row({m_width, m_height}));
    form->addRow(QStringLiteral("Testo:"), m_text);
    form->addRow(QStringLiteral("Carattere:"), m_family);
    form->addRow(QStringLiteral("Dimensione:"), m_size);
    form->addRow(QString(), row({m_bold, m_italic, m_underline}));
    form->addRow(QStringLiteral("Allineamento:"), row({m_align, m_valign}));
    form->addRow(QString(), m_wrap);
    form->addRow(QStringLiteral("Cornice:"), row({m_frameLeft, m_frameTop, m_frameRight, m_frameBottom}));
    form->addRow(QStringLiteral("Spessore linea:"), m_lineWidth);

    m_bandBox = new QGroupBox(QStringLiteral("Banda"), panel);
    m_bandKind = new QComboBox(m_bandBox);
    m_bandKind->setObjectName(QStringLiteral("bandKind"));
    for (BandKind kind : Kinds)
        m_bandKind->addItem(bandCaption(kind));
    m_bandHeight = lengthBox("bandHeight", DesignCanvas::Step, 300, m_bandBox);
    m_dataSet = new QLineEdit(m_bandBox);
    m_dataSet->setObjectName(QStringLiteral("bandDataSet"));
    auto *bandForm = new QFormLayout(m_bandBox);
    bandForm->addRow(QStringLiteral("Tipo:"), m_bandKind);
    bandForm->addRow(QStringLiteral("Altezza:"), m_bandHeight);
    bandForm->addRow(QStringLiteral("Dati (una riga per record di):"), m_dataSet);

    auto *pageBox = new QGroupBox(QStringLiteral("Pagina A4"), panel);
    m_landscape = checkBox("landscape", QStringLiteral("Orizzontale"), pageBox);
    const char *marginNames[] = {"marginLeft", "marginTop", "marginRight", "marginBottom"};
    for (int i = 0; i < 4; ++i)
        m_margins[i] = lengthBox(marginNames[i], 0, 100, pageBox);
    auto *pageForm = new QFormLayout(pageBox);
    pageForm->addRow(QString(), m_landscape);
    pageForm->addRow(QStringLiteral("Margini sinistro, superiore:"), row({m_margins[0], m_margins[1]}));
    pageForm->addRow(QStringLiteral("Margini destro, inferiore:"), row({m_margins[2], m_margins[3]}));

    auto *layout = new QVBoxLayout(panel);
    layout->addWidget(m_elementBox);
    layout->addWidget(m_bandBox);
    layout->addWidget(pageBox);
    layout->addStretch();

    // Each control writes its own property only, so that a value the control rounds is not written back.
    const auto onValue = [this](QDoubleSpinBox *box, auto change) {
        connect(box, &QDoubleSpinBox::valueChanged, this, [this, change](double v) { editElement([&](Element &e) { change(e, v); }); });
    };
    onValue(m_x, [](Element &e, double v) { e.rect.moveLeft(v); });
    onValue(m_y, [](Element &e, double v) { e.rect.moveTop(v); });
    onValue(m_width, [](Element &e, double v) { e.rect.setWidth(v); });
    onValue(m_height, [](Element &e, double v) { e.rect.setHeight(v); });
    onValue(m_size, [](Element &e, double v) { e.font.pointSize = v; });
    onValue(m_lineWidth, [](Element &e, double v) { (e.kind == Element::Kind::Rule ? e.lineWidth : e.frame.width) = v; });
    const auto onCheck = [this](QCheckBox *box, bool Element::*flag, bool FontSpec::*fontFlag, bool Frame::*side) {
        connect(box, &QCheckBox::toggled, this, [=, this](bool on) {
            editElement([&](Element &e) { (flag ? e.*flag : fontFlag ? e.font.*fontFlag : e.frame.*side) = on; });
        });
    };
    onCheck(m_bold, nullptr, &FontSpec::bold, nullptr);
    onCheck(m_italic, nullptr, &FontSpec::italic, nullptr);
    onCheck(m_underline, nullptr, &FontSpec::underline, nullptr);
    onCheck(m_wrap, &Element::wordWrap, nullptr, nullptr);
    onCheck(m_frameLeft, nullptr, nullptr, &Frame::left);
    onCheck(m_frameTop, nullptr, nullptr, &Frame::top);
    onCheck(m_frameRight, nullptr, nullptr, &Frame::right);
    onCheck(m_frameBottom, nullptr, nullptr, &Frame::bottom);
    connect(m_align, &QComboBox::currentIndexChanged, this, [this](int i) { editElement([&](Element &e) { e.align = HAlign(i); }); });
    connect(m_valign, &QComboBox::currentIndexChanged, this, [this](int i) { editElement([&](Element &e) { e.valign = VAlign(i); }); });
    connect(m_family, &QFontComboBox::currentFontChanged, this,
            [this](const QFont &f) { editElement([&](Element &e) { e.font.family = f.family(); }); });
    connect(m_text, &QPlainTextEdit::textChanged, this, [this] { editElement([&](Element &e) { e.text = m_text->toPlainText(); }); });

    connect(m_bandKind, &QComboBox::currentIndexChanged, this, [this](int i) {
        editBand([&](Band &b) {
            b.kind = Kinds[i];
            if (b.kind != BandKind::MasterData)
                b.dataSet.clear();
        });
    });
    connect(m_bandHeight, &QDoubleSpinBox::valueChanged, this, [this](double v) { editBand([&](Band &b) { b.height = v; }); });
    connect(m_dataSet, &QLineEdit::textEdited, this, [this](const QString &t) { editBand([&](Band &b) { b.dataSet = t.trimmed(); }); });
    connect(m_landscape, &QCheckBox::toggled, this, [this](bool on) { editPage([&](PageSetup &p) { p.landscape = on; }); });
    const auto onMargin = [this](QDoubleSpinBox *box, void (QMarginsF::*set)(qreal)) {
        connect(box, &QDoubleSpinBox::valueChanged, this, [this, set](double v) { editPage([&](PageSetup &p) { (p.margins.*set)(v); }); });
    };
    onMargin(m_margins[0], &QMarginsF::setLeft);
    onMargin(m_margins[1], &QMarginsF::setTop);
    onMargin(m_margins[2], &QMarginsF::setRight);
    onMargin(m_margins[3], &QMarginsF::setBottom);
}

void DesignerWindow::showSelection()
{
    m_showing = true;
    const int b = m_canvas->band();
    const int e = m_canvas->element();
    const Element *element = b >= 0 && e >= 0 ? &m_layout.bands[b].elements[e] : nullptr;
    m_elementBox->setEnabled(element != nullptr);
    if (element) {
        const bool text = element->kind == Element::Kind::Text;
        m_x->setValue(element->rect.x());
        m_y->setValue(element->rect.y());
        m_width->setValue(element->rect.width());
        m_height->setValue(element->rect.height());
        if (m_text->toPlainText() != element->text)
            m_text->setPlainText(element->text);
        m_family->setCurrentFont(QFont(element->font.family));
        m_size->setValue(element->font.pointSize);
        m_bold->setChecked(element->font.bold);
        m_italic->setChecked(element->font.italic);
        m_underline->setChecked(element->font.underline);
        m_align->setCurrentIndex(int(element->align));
        m_valign->setCurrentIndex(int(element->valign));
        m_wrap->setChecked(element->wordWrap);
        m_frameLeft->setChecked(element->frame.left);
        m_frameTop->setChecked(element->frame.top);
        m_frameRight->setChecked(element->frame.right);
        m_frameBottom->setChecked(element->frame.bottom);
        m_lineWidth->setValue(text ? element->frame.width : element->lineWidth);
        for (QWidget *w : std::initializer_list<QWidget *>{m_text, m_family, m_size, m_bold, m_italic, m_underline, m_align,
                                                           m_valign, m_wrap, m_frameLeft, m_frameTop, m_frameRight, m_frameBottom})
            w->setEnabled(text);
    } else {
        m_text->clear();
    }
    m_bandBox->setEnabled(b >= 0);
    if (b >= 0) {
        const Band &band = m_layout.bands[b];
        m_bandKind->setCurrentIndex(int(band.kind));
        m_bandHeight->setValue(band.height);
        if (m_dataSet->text() != band.dataSet)
            m_dataSet->setText(band.dataSet);
        m_dataSet->setEnabled(band.kind == BandKind::MasterData);
    }
    m_landscape->setChecked(m_layout.page.landscape);
    const QMarginsF &m = m_layout.page.margins;
    const double margins[] = {m.left(), m.top(), m.right(), m.bottom()};
    for (int i = 0; i < 4; ++i)
        m_margins[i]->setValue(margins[i]);
    m_showing = false;
}

void DesignerWindow::editElement(const std::function<void(Element &)> &change)
{
    const int b = m_canvas->band();
    const int e = m_canvas->element();
    if (m_showing || b < 0 || e < 0)
        return;
    change(m_layout.bands[b].elements[e]);
    m_canvas->update();
    updateCaption();
}

void DesignerWindow::editBand(const std::function<void(Band &)> &change)
{
    if (m_showing || m_canvas->band() < 0)
        return;
    change(m_layout.bands[m_canvas->band()]);
    edited();
}

void DesignerWindow::editPage(const std::function<void(PageSetup &)> &change)
{
    if (m_showing)
        return;
    change(m_layout.page);
    edited();
}

void DesignerWindow::edited()
{
    m_canvas->layoutChanged();
    showSelection();
    updateCaption();
}

void DesignerWindow::updateCaption()
{
    const QString name = m_path.isEmpty() ? m_layout.name : QFileInfo(m_path).fileName();
    setWindowTitle(QStringLiteral("Modello di stampa - %1%2").arg(name, isModified() ? QStringLiteral(" (modificato)") : QString()));
}

void DesignerWindow::addElement(Element element)
{
    int b = m_canvas->band();
    if (b < 0) {
        Messages::information(QStringLiteral("Scegliere prima la banda in cui aggiungere l'elemento."));
        return;
    }
    m_layout.bands[b].elements << element;
    m_canvas->setSelection(b, int(m_layout.bands[b].elements.size()) - 1);
    edited();
}

void DesignerWindow::addText()
{
    addElement(textBox({0, 0, 60, 6}, QStringLiteral("Testo")));
}

void DesignerWindow::addRule()
{
    addElement(rule(0, 0, m_layout.page.contentWidth()));
}

void DesignerWindow::removeElement()
{
    const int b = m_canvas->band();
    const int e = m_canvas->element();
    if (b < 0 || e < 0)
        return;
    m_layout.bands[b].elements.removeAt(e);
    m_canvas->setSelection(b, -1);
    edited();
}

void DesignerWindow::addBand(BandKind kind)
{
    // A band goes after the selected one, or at the end.
    const int at = m_canvas->band() < 0 ? int(m_layout.bands.size()) : m_canvas->band() + 1;
    m_layout.bands.insert(at, Band{kind, 10, {}, {}});
    m_canvas->setSelection(at, -1);
    edited();
}

void DesignerWindow::removeBand()
{
    const int b = m_canvas->band();
    if (b < 0)
        return;
    if (!m_layout.bands[b].elements.isEmpty()
        && !Messages::confirm(QStringLiteral("Eliminare la banda \"%1\" con tutti i suoi elementi?").arg(bandCaption(m_layout.bands[b].kind))))
        return;
    m_layout.bands.removeAt(b);
    m_canvas->setSelection(-1, -1);
    m_canvas->setSelection(m_layout.bands.isEmpty() ? -1 : std::min(b, int(m_layout.bands.size()) - 1), -1);
    edited();
}

bool DesignerWindow::mayDropChanges()
{
    return !isModified() || Messages::confirm(QStringLiteral("Il modello è stato modificato e non è stato salvato. Continuare senza salvare?"));
}

void DesignerWindow::openFile()
{
    if (!mayDropChanges())
        return;
    const QString path = m_services.openFileName(this, QStringLiteral("Apri un modello di stampa"), QFileInfo(m_path).path(), Filter);
    if (path.isEmpty())
        return;
    QString error;
    std::optional<Template> loaded = loadTemplate(path, &error);
    if (!loaded) {
        Messages::error(error);
        return;
    }
    m_path = path;
    m_layout = *loaded;
    m_saved = *loaded;
    m_report.setLayout(*loaded);
    m_canvas->setSelection(-1, -1);
    m_canvas->setSelection(m_layout.bands.isEmpty() ? -1 : 0, -1);
    edited();
}

bool DesignerWindow::save()
{
    if (m_path.isEmpty())
        return saveAs();
    QString error;
    if (!saveTemplate(m_layout, m_path, &error)) {
        Messages::error(error);
        return false;
    }
    m_saved = m_layout;
    m_report.setLayout(m_layout);
    updateCaption();
    return true;
}

bool DesignerWindow::saveAs()
{
    QString path = m_services.saveFileName(this, QStringLiteral("Salva il modello di stampa"), QFileInfo(m_path).path(), Filter);
    if (path.isEmpty())
        return false;
    if (!path.endsWith(QLatin1String(".frf"), Qt::CaseInsensitive))
        path += QLatin1String(".frf");
    const QString previous = std::exchange(m_path, path);
    if (save())
        return true;
    m_path = previous;
    updateCaption();
    return false;
}

void DesignerWindow::preview()
{
    Report draft = m_report;
    draft.setLayout(m_layout);
    PreviewWindow window(draft.prepare(), m_services, this);
    m_services.exec(window);
}

void DesignerWindow::done(int result)
{
    if (mayDropChanges())
        QDialog::done(result);
}

} // namespace report
