#pragma once
// Where the verification protocols find their template.

#include <QString>

// "<folder of the program>/Дополнительные файлы/Поверка.docx", or the path of the newest
// ProtocolTemplateOverride while one exists.
QString protocolTemplatePath();

// Tests point the protocols at another template (a missing one, say) while this exists.
class ProtocolTemplateOverride
{
public:
    explicit ProtocolTemplateOverride(const QString& path);
    ~ProtocolTemplateOverride();
    ProtocolTemplateOverride(const ProtocolTemplateOverride&) = delete;
    ProtocolTemplateOverride& operator=(const ProtocolTemplateOverride&) = delete;

private:
    QString m_previous;
    bool m_hadPrevious;
};
