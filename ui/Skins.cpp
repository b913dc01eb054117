// The skins: the manager that applies a stored style sheet to the application, and the main
// window's skin menu, one radio item per stored skin.

#include "ui/Skins.h"

#include "ui/main.h"
#include "ui_TForm1.h"

#include <QApplication>
#include <QFile>
#include <QMenu>

// The resources live in a static library: they are registered here, where the first of them
// (the skins, then the About box's logo) is needed, for the program and the tests alike.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

SkinManager::SkinManager(QObject* parent) : QObject(parent)
{
    initResources();
}

SkinManager::~SkinManager()
{
    if (m_applied && qApp)
        qApp->setStyleSheet(QString());
}

int SkinManager::indexOf(const QString& name)
{
    for (std::size_t i = 0; i < InternalSkins.size(); ++i)
        if (name == QLatin1String(InternalSkins[i].name))
            return int(i);
    return -1;
}

QString SkinManager::styleSheet(int index)
{
    if (index < 0 || index >= int(InternalSkins.size()))
        return QString();
    QFile file(QString::fromLatin1(InternalSkins[std::size_t(index)].resource));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

void SkinManager::setSkinName(const QString& name)
{
    const int index = indexOf(name);
    if (index < 0)
        return;
    m_name = name;
    if (qApp) {
        qApp->setStyleSheet(styleSheet(index));
        m_applied = true;
    }
    emit skinApplied(name);
}

// ---------------------------------------------------------------- the skin menu

void TForm1::BuildSkinMenu()
{
    // Built once per window; a second build replaces the items instead of adding five more.
    for (QAction* old : ui->skinMenu->actions()) {
        ui->skinMenu->removeAction(old);
        delete old;
    }
    const int n = skinNumber;
    bool applied = false;
    for (int i = 0; i < int(InternalSkins.size()); ++i) {
        const QString name = QString::fromLatin1(InternalSkins[std::size_t(i)].name);
        auto* item = new QAction(this);
        item->setText(tr2("Обложка ", "Theme ") + QString::number(i + 1));
        item->setObjectName(QStringLiteral("s%1").arg(i));
        item->setCheckable(true);
        connectMenuItem(item, [this, item] { SkinMenuClick(item); });
        if (i == n) {
            item->setChecked(true);
            sSkinManager1->setSkinName(name);
            applied = true;
        }
        if (n == -1 && name == sSkinManager1->SkinName())
            item->setChecked(true);
        ui->skinMenu->addAction(item);
    }
    // Without a stored choice, or with one that names no skin, the active skin is drawn.
    if (!applied)
        sSkinManager1->setSkinName(sSkinManager1->SkinName());
}

void TForm1::SkinMenuClick(QObject* sender)
{
    auto* item = qobject_cast<QAction*>(sender);
    if (!item || item->isChecked())
        return;
    bool ok = false;
    const int index = item->objectName().mid(1).toInt(&ok);
    if (!ok || index < 0 || index >= int(InternalSkins.size()))
        return;
    checkRadioItem(item);
    skinNumber = index; // the choice of the run, as settings.ini will keep it
    sSkinManager1->setSkinName(QString::fromLatin1(InternalSkins[std::size_t(index)].name));
}

void TForm1::RecaptionSkinMenu()
{
    const QList<QAction*> items = ui->skinMenu->actions();
    for (int i = 0; i < items.size(); ++i)
        items[i]->setText(tr2("Обложка ", "Theme ") + QString::number(i + 1));
}
