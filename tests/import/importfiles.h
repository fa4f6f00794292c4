#pragma once
// Quarterly-format files made by hand for the import's tests: a line is its values at their positions
// (1-based) over spaces, in Windows-1252, ended by CR LF.

#include "ground/windows1252.h"

#include <QFile>
#include <QList>
#include <QPair>
#include <QStringList>

namespace importfiles {

using Placed = QList<QPair<int, QString>>;

inline QString line(const Placed &values, int length = 1798)
{
    QString text(length, QLatin1Char(' '));
    for (const auto &[position, value] : values)
        text.replace(position - 1, value.size(), value);
    return text;
}

// A header of the 2010 layout for the laboratory's authorisation PE0417LA.
inline QString header2010(const QString &year, const QString &quarter)
{
    return line({{1, "0MIS0026"}, {25, "12345678903"}, {36, "2"}, {37, "PE0417LA"}, {67, "VERIFICHE ADRIATICA S.R.L."},
                 {127, "PESCARA"}, {167, "PE"}, {221, "00000000"}, {271, year}, {275, quarter}, {1798, "A"}});
}

// An intervention record, alike in both layouts: by technician RSSMRA75C12G482P (seal 0101 of PE0417LA)
// at shop 07654321004 in PESCARA on a NETTUNA 300, unless `changes` (position -> value) say otherwise.
inline QString intervention(const QString &serial, const QString &type, const Placed &changes = {})
{
    Placed values{{1, "2"}, {2, "RSSMRA75C12G482P"}, {18, "PE0417LA"}, {48, "0101"}, {52, "02042010"}, {60, "03042010"},
                  {68, "0"}, {69, "07654321004"}, {80, "BAR ROSSI"}, {140, "PESCARA"}, {180, "PE"}, {182, "VIA ROMA 1"},
                  {217, "65121"}, {222, type}, {223, "OLIVETTI"}, {263, "NETTUNA 300"}, {303, "OL"}, {305, serial},
                  {1798, "A"}};
    for (const auto &[position, value] : changes) {
        for (auto &[at, old] : values) {
            if (at == position)
                old = QString(old.size(), QLatin1Char(' '));
        }
        values.append({position, value});
    }
    return line(values);
}

inline bool write(const QString &path, const QStringList &lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QString &text : lines)
        file.write(windows1252::encode(text).value_or(QByteArray()) + "\r\n");
    return true;
}

} // namespace importfiles
