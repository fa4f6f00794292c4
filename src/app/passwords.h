#pragma once
// The program's own login: users and their passwords in password_ (cursor Tabpwd).
//
// Invariants:
// - A password the program stores is a salted Argon2id hash in libsodium's text form ("$argon2id$..."),
//   never the text typed.
// - Older archives hold passwords in clear text; such a password is accepted as it is stored, and the
//   login that accepts it replaces it by its hash.
// - Names and passwords are compared exactly: the windows upper-case what is typed.

#include "data/seeds.h"

#include <QString>

namespace engine {
class Table;
}

namespace passwords {

// The user whose name cannot be changed and who cannot be deleted; every archive starts with it.
using seeds::ProtectedUser;
// The longest password that can be typed, as older archives stored them.
inline constexpr int MaxLength = 10;

// A new salted hash of the password. Throws std::runtime_error when it cannot be computed (no memory).
QString hash(const QString &password);
// Whether a stored password is a hash rather than the clear text of an older archive.
bool isHash(const QString &stored);
// Whether the typed password is the stored one, hashed or in clear text.
bool matches(const QString &stored, const QString &typed);

enum class Login { LoggedIn, UnknownUser, WrongPassword };

// Checks the password of the first user named `name`, leaving `users` on that user. A clear-text
// password that matches is replaced by its hash; when that cannot be stored the user still logs in,
// and the clear text stays for the next login to replace.
Login login(engine::Table &users, const QString &name, const QString &typed);

// Whether the settings ask for a login at start (Usa_pwd of the settings record); false while the
// data module or its settings are not open.
bool loginRequired();

} // namespace passwords
