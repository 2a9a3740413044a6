// The two ways an operation of Ormena fails. OrmenaError carries the Russian
// message the operator sees; SilentAbort stops an operation without a message
// and is never shown.
#pragma once

#include <QString>
#include <exception>
#include <string>

class OrmenaError : public std::exception {
public:
    explicit OrmenaError(QString message)
        : m_message(std::move(message)), m_utf8(m_message.toStdString()) {}

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};

class SilentAbort : public std::exception {
public:
    const char *what() const noexcept override { return "silent abort"; }
};
