#pragma once
// Every failing engine operation throws EngineError with an Italian text fit to show the user.

#include <QString>
#include <stdexcept>

namespace engine {

class EngineError : public std::runtime_error {
public:
    explicit EngineError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace engine
