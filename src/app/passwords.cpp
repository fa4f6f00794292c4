#include "app/passwords.h"

#include "data/tdm.h"

#include <sodium.h>

#include <stdexcept>

namespace {

void requireSodium()
{
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw std::runtime_error("Impossibile inizializzare la libreria delle password.");
}

} // namespace

namespace passwords {

QString hash(const QString &password)
{
    requireSodium();
    const QByteArray bytes = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, bytes.constData(), quint64(bytes.size()), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        throw std::runtime_error("Memoria insufficiente per cifrare la password.");
    return QString::fromLatin1(out);
}

bool isHash(const QString &stored)
{
    return stored.startsWith(QLatin1String(crypto_pwhash_STRPREFIX));
}

bool matches(const QString &stored, const QString &typed)
{
    if (!isHash(stored))
        return stored == typed;
    requireSodium();
    const QByteArray bytes = typed.toUtf8();
    return crypto_pwhash_str_verify(stored.toLatin1().constData(), bytes.constData(), quint64(bytes.size())) == 0;
}

Login login(engine::Table &users, const QString &name, const QString &typed)
{
    if (!users.locate(QStringLiteral("Nome"), {name}))
        return Login::UnknownUser;
    const QString stored = users.asString(QStringLiteral("Password"));
    if (!matches(stored, typed))
        return Login::WrongPassword;
    if (!isHash(stored)) {
        try {
            users.edit();
            users.setValue(QStringLiteral("Password"), hash(typed));
            users.post();
        } catch (const std::exception &) {
            users.cancel();
        }
    }
    return Login::LoggedIn;
}

bool loginRequired()
{
    if (!dm || !dm->TabImpostazioni->isOpen())
        return false;
    return dm->TabImpostazioni->asBoolean(QStringLiteral("Usa_pwd"));
}

} // namespace passwords
