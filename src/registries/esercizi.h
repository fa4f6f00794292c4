#pragma once
// Shops: the checks the shops window asks of the data before it stores or deletes a shop. Both read
// other cursors than the window's, so the shops' grid does not move; both throw engine::EngineError
// when what they read is not open.

#include <QString>
#include <QVariant>

// How many stored shops have this VAT number, counted on the second cursor dm->c_esercizio; its
// filter is removed again afterwards.
int shopsWithPiva(const QString &piva);

// Whether the working year's register holds a verification of the shop. Read through a cursor of its
// own, so that a filter the register window left on dm->Tabmisurazioni hides nothing.
bool hasVerificationsInWorkingYear(const QVariant &shopId);
