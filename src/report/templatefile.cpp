#include "report/templatefile.h"

#include "ground/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace report {

namespace {

const QString FormatName = QStringLiteral("sigillo-frf");

template<class E>
struct Names {
    E value;
    const char *name;
};

constexpr Names<BandKind> BandKinds[] = {{BandKind::ReportTitle, "reportTitle"},
                                         {BandKind::PageHeader, "pageHeader"},
                                         {BandKind::ColumnHeader, "columnHeader"},
                                         {BandKind::MasterData, "masterData"},
                                         {BandKind::PageFooter, "pageFooter"}};
constexpr Names<Element::Kind> ElementKinds[] = {{Element::Kind::Text, "text"}, {Element::Kind::Rule, "rule"}};
constexpr Names<HAlign> HAligns[] = {{HAlign::Left, "left"}, {HAlign::Center, "center"}, {HAlign::Right, "right"}};
constexpr Names<VAlign> VAligns[] = {{VAlign::Top, "top"}, {VAlign::Center, "center"}, {VAlign::Bottom, "bottom"}};

template<class E, size_t N>
QString nameOf(const Names<E> (&names)[N], E value)
{
    for (const auto &entry : names) {
        if (entry.value == value)
            return QString::fromLatin1(entry.name);
    }
    return {};
}

QJsonArray numbers(std::initializer_list<double> values)
{
    QJsonArray array;
    for (double v : values)
        array.append(v);
    return array;
}

QJsonObject elementObject(const Element &e)
{
    QJsonObject o{{"type", nameOf(ElementKinds, e.kind)},
                  {"rect", numbers({e.rect.x(), e.rect.y(), e.rect.width(), e.rect.height()})}};
    if (e.kind == Element::Kind::Rule) {
        o["lineWidth"] = e.lineWidth;
        return o;
    }
    QJsonArray sides;
    for (const auto &[on, name] : {std::pair{e.frame.left, "left"}, {e.frame.top, "top"}, {e.frame.right, "right"}, {e.frame.bottom, "bottom"}}) {
        if (on)
            sides.append(QString::fromLatin1(name));
    }
    o["text"] = e.text;
    o["font"] = QJsonObject{{"family", e.font.family}, {"size", e.font.pointSize}, {"bold", e.font.bold},
                            {"italic", e.font.italic}, {"underline", e.font.underline}};
    o["align"] = nameOf(HAligns, e.align);
    o["valign"] = nameOf(VAligns, e.valign);
    o["wordWrap"] = e.wordWrap;
    o["frame"] = sides;
    o["frameWidth"] = e.frame.width;
    return o;
}

// Reads the document's values into the model, keeping the first problem met.
class Reader {
public:
    QString problem;

    template<class E, size_t N>
    void name(const QJsonObject &o, const char *key, const Names<E> (&names)[N], E &out)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        for (const auto &entry : names) {
            if (v.toString() == QLatin1String(entry.name)) {
                out = entry.value;
                return;
            }
        }
        fail(QStringLiteral("il valore \"%1\" di \"%2\" non è ammesso").arg(v.toVariant().toString(), QLatin1String(key)));
    }

    void number(const QJsonObject &o, const char *key, double &out, double minimum = 0)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        if (!v.isDouble() || v.toDouble() < minimum)
            return fail(QStringLiteral("\"%1\" non è una misura valida").arg(QLatin1String(key)));
        out = v.toDouble();
    }

    void flag(const QJsonObject &o, const char *key, bool &out)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        if (!v.isBool())
            return fail(QStringLiteral("\"%1\" deve essere true o false").arg(QLatin1String(key)));
        out = v.toBool();
    }

    void text(const QJsonObject &o, const char *key, QString &out)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        if (!v.isString())
            return fail(QStringLiteral("\"%1\" deve essere un testo").arg(QLatin1String(key)));
        out = v.toString();
    }

    QJsonObject object(const QJsonObject &o, const char *key)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isUndefined() && !v.isObject())
            fail(QStringLiteral("\"%1\" deve essere un oggetto").arg(QLatin1String(key)));
        return v.toObject();
    }

    QJsonArray array(const QJsonObject &o, const char *key)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isUndefined() && !v.isArray())
            fail(QStringLiteral("\"%1\" deve essere un elenco").arg(QLatin1String(key)));
        return v.toArray();
    }

    // Four lengths: a rectangle (x, y, width, height) or margins (left, top, right, bottom); positions
    // may be negative, sizes not.
    bool lengths(const QJsonObject &o, const char *key, double (&out)[4], bool sizesFromThird)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return false;
        const QJsonArray a = v.toArray();
        bool valid = a.size() == 4;
        for (int i = 0; valid && i < 4; ++i)
            valid = a[i].isDouble() && (a[i].toDouble() >= 0 || (sizesFromThird && i < 2));
        if (!valid) {
            fail(QStringLiteral("\"%1\" deve essere un elenco di quattro misure").arg(QLatin1String(key)));
            return false;
        }
        for (int i = 0; i < 4; ++i)
            out[i] = a[i].toDouble();
        return true;
    }

    Element element(const QJsonValue &value)
    {
        Element e;
        if (!value.isObject()) {
            fail(QStringLiteral("un elemento di una banda non è un oggetto"));
            return e;
        }
        const QJsonObject o = value.toObject();
        name(o, "type", ElementKinds, e.kind);
        double r[4];
        if (lengths(o, "rect", r, true))
            e.rect = QRectF(r[0], r[1], r[2], r[3]);
        number(o, "lineWidth", e.lineWidth);
        text(o, "text", e.text);
        const QJsonObject font = object(o, "font");
        text(font, "family", e.font.family);
        number(font, "size", e.font.pointSize, 1);
        flag(font, "bold", e.font.bold);
        flag(font, "italic", e.font.italic);
        flag(font, "underline", e.font.underline);
        name(o, "align", HAligns, e.align);
        name(o, "valign", VAligns, e.valign);
        flag(o, "wordWrap", e.wordWrap);
        for (const QJsonValue side : array(o, "frame")) {
            const QString s = side.toString();
            bool *line = s == QLatin1String("left") ? &e.frame.left : s == QLatin1String("top") ? &e.frame.top
                       : s == QLatin1String("right") ? &e.frame.right : s == QLatin1String("bottom") ? &e.frame.bottom : nullptr;
            if (!line)
                fail(QStringLiteral("il lato \"%1\" della cornice non esiste").arg(side.toVariant().toString()));
            else
                *line = true;
        }
        number(o, "frameWidth", e.frame.width);
        return e;
    }

    Band band(const QJsonValue &value)
    {
        Band b;
        if (!value.isObject()) {
            fail(QStringLiteral("una banda non è un oggetto"));
            return b;
        }
        const QJsonObject o = value.toObject();
        name(o, "kind", BandKinds, b.kind);
        number(o, "height", b.height);
        text(o, "dataSet", b.dataSet);
        for (const QJsonValue element : array(o, "elements"))
            b.elements << this->element(element);
        return b;
    }

private:
    void fail(const QString &text)
    {
        if (problem.isEmpty())
            problem = text;
    }
};

} // namespace

QByteArray templateText(const Template &layout)
{
    const QMarginsF &m = layout.page.margins;
    QJsonArray bands;
    for (const Band &band : layout.bands) {
        QJsonArray elements;
        for (const Element &e : band.elements)
            elements.append(elementObject(e));
        bands.append(QJsonObject{{"kind", nameOf(BandKinds, band.kind)},
                                 {"height", band.height},
                                 {"dataSet", band.dataSet},
                                 {"elements", elements}});
    }
    const QJsonObject document{
        {"format", FormatName},
        {"version", TemplateFormatVersion},
        {"name", layout.name},
        {"page", QJsonObject{{"size", "A4"},
                             {"orientation", layout.page.landscape ? "landscape" : "portrait"},
                             {"margins", numbers({m.left(), m.top(), m.right(), m.bottom()})}}},
        {"bands", bands}};
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

std::optional<Template> templateFromText(const QByteArray &text, QString *error)
{
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parse);
    const QJsonObject o = document.object();
    const auto refuse = [&](const QString &reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (parse.error != QJsonParseError::NoError || !document.isObject() || o.value("format").toString() != FormatName)
        return refuse(QStringLiteral("non è un modello di stampa del programma o è danneggiato"));
    const int version = o.value("version").toInt();
    if (version > TemplateFormatVersion)
        return refuse(QStringLiteral("è stato salvato da una versione più recente del programma"));
    if (version < 1)
        return refuse(QStringLiteral("non dice la versione del suo formato"));

    Reader reader;
    Template layout;
    reader.text(o, "name", layout.name);
    const QJsonObject page = reader.object(o, "page");
    if (page.value("size").toString(QStringLiteral("A4")) != QLatin1String("A4"))
        return refuse(QStringLiteral("usa un formato di pagina diverso da A4"));
    const QString orientation = page.value("orientation").toString(QStringLiteral("portrait"));
    if (orientation != QLatin1String("portrait") && orientation != QLatin1String("landscape"))
        return refuse(QStringLiteral("l'orientamento della pagina \"%1\" non esiste").arg(orientation));
    layout.page.landscape = orientation == QLatin1String("landscape");
    double m[4];
    if (reader.lengths(page, "margins", m, false))
        layout.page.margins = QMarginsF(m[0], m[1], m[2], m[3]);
    for (const QJsonValue band : reader.array(o, "bands"))
        layout.bands << reader.band(band);
    if (!reader.problem.isEmpty())
        return refuse(reader.problem);
    return layout;
}

std::optional<Template> loadTemplate(const QString &path, QString *error)
{
    const auto refuse = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("Il modello di stampa %1 %2.").arg(QDir::toNativeSeparators(path), reason);
        return std::nullopt;
    };
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return refuse(QStringLiteral("non esiste"));
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("non si può leggere: %1").arg(file.errorString()));
    QString reason;
    std::optional<Template> layout = templateFromText(file.readAll(), &reason);
    if (!layout)
        return refuse(reason);
    return layout;
}

bool saveTemplate(const Template &layout, const QString &path, QString *error)
{
    QString reason;
    if (saveWholeFile(path, templateText(layout), &reason))
        return true;
    if (error)
        *error = QStringLiteral("Il modello di stampa %1 non è stato salvato: %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

} // namespace report
