#pragma once

#include <QByteArray>

#include <clocale>

// Switches the process's locale for one test and back to "C" afterwards.
class LocaleScope
{
public:
    explicit LocaleScope(const QByteArray &name)
        : m_ok(std::setlocale(LC_ALL, name.constData()) != nullptr)
    {
    }
    ~LocaleScope() { std::setlocale(LC_ALL, "C"); }
    LocaleScope(const LocaleScope &) = delete;
    LocaleScope &operator=(const LocaleScope &) = delete;

    // False when the locale is not installed (scripts/test-locales.sh makes them).
    bool ok() const { return m_ok; }

private:
    bool m_ok = false;
};
