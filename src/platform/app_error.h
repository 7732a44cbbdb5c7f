#pragma once

#include <QString>

#include <exception>

// An unexpected failure: the number, the source ("cMysql::query", ...) and the description, as the
// message boxes and the procedure error report show them.
class AppError : public std::exception {
public:
    AppError(long number, QString source, QString description)
        : m_number(number), m_source(std::move(source)), m_description(std::move(description)) {}

    long number() const { return m_number; }
    const QString& source() const { return m_source; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override;

private:
    long m_number;
    QString m_source;
    QString m_description;
    mutable QByteArray m_what;
};
