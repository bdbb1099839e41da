#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace velomar::common {

// A command line parsed by its CommandSpec: the options given and the arguments in order.
class CommandArgs {
public:
    CommandArgs() = default;
    CommandArgs(QMap<QString, QStringList> values, QStringList arguments, bool helpAsked)
        : m_values(std::move(values)), m_arguments(std::move(arguments)), m_help(helpAsked) {}

    bool helpAsked() const { return m_help; }
    // Option names without "--".
    bool isSet(const QString& option) const { return m_values.contains(option); }
    // The last value given, or nothing.
    std::optional<QString> value(const QString& option) const {
        const auto it = m_values.constFind(option);
        if (it == m_values.constEnd() || it->isEmpty())
            return std::nullopt;
        return it->last();
    }
    QString value(const QString& option, const QString& fallback) const { return value(option).value_or(fallback); }
    QStringList values(const QString& option) const { return m_values.value(option); }
    const QStringList& arguments() const { return m_arguments; }
    const QString& argument(qsizetype i) const { return m_arguments.at(i); }

private:
    QMap<QString, QStringList> m_values;
    QStringList m_arguments;
    bool m_help = false;
};

} // namespace velomar::common
