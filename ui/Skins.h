#pragma once
// The program's five built-in skins. Each is a Qt style sheet in the resources
// (resources/skins/); the active one is set on the application, so that the main window, the
// profile window, the About box and the message boxes all take it at once.

#include <QObject>
#include <QString>
#include <array>

// One stored skin: the name the skin menu and settings.ini go by, and its style sheet.
struct InternalSkin {
    const char* name;
    const char* resource;
};

// The stored skins in menu order (index 0..4).
inline constexpr std::array<InternalSkin, 5> InternalSkins{{
    {"ios dark (internal)", ":/skins/iosdark.qss"},
    {"lucky (internal)", ":/skins/lucky.qss"},
    {"macmetal (internal)", ":/skins/macmetal.qss"},
    {"nautilus (internal)", ":/skins/nautilus.qss"},
    {"sand (internal)", ":/skins/sand.qss"},
}};

// The active skin of the run. It starts as "lucky (internal)" without applying anything; the
// main window applies a skin once its skin menu is built. While the manager lives the
// application's style sheet is its skin; when it goes, the application's own look returns.
class SkinManager : public QObject
{
    Q_OBJECT
public:
    explicit SkinManager(QObject* parent = nullptr);
    ~SkinManager() override;

    static constexpr int DefaultSkin = 1;    // "lucky (internal)"
    static int indexOf(const QString& name); // -1 for a name that is not stored
    static QString styleSheet(int index);    // the sheet's text; empty outside 0..4

    QString SkinName() const { return m_name; }
    // Makes the stored skin of that name the active one and applies it to the application,
    // also when it was already the active name. An unknown name changes nothing.
    void setSkinName(const QString& name);

signals:
    void skinApplied(const QString& name);

private:
    QString m_name = QString::fromLatin1(InternalSkins[DefaultSkin].name);
    bool m_applied = false;
};
