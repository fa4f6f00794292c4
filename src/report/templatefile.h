#pragma once
// Template files (".frf"): the engine's own format, UTF-8 JSON text that a person can read and mend.
// The object names its format ("format": "sigillo-frf") and its version; a file of a later version is
// refused rather than read in part. A key left out takes the model's default; a key of the wrong kind,
// an unknown name or a negative size makes the file unreadable. Failures come back as Italian texts
// that name the file.

#include "report/template.h"

#include <QByteArray>

#include <optional>

namespace report {

constexpr int TemplateFormatVersion = 1;

QByteArray templateText(const Template &layout);
// The template, or nothing with the reason in `error`.
std::optional<Template> templateFromText(const QByteArray &text, QString *error);

std::optional<Template> loadTemplate(const QString &path, QString *error);
// Written whole or not at all: after a failure the file holds what it held before.
bool saveTemplate(const Template &layout, const QString &path, QString *error);

} // namespace report
