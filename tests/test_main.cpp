// One application object for every test executable: widgets, timers and the serial port
// need it, and the program's own application class shows failures of handlers.
#include "ui/Application.h"
#include "ui/Settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace
{

// Every test starts without settings.ini, and a window closed in one test leaves its file
// to no other test: the settings folders are empty folders of this run, emptied per test.
class FreshSettingsFolders : public ::testing::EmptyTestEventListener
{
public:
    FreshSettingsFolders() { empty(); }
    void OnTestStart(const ::testing::TestInfo&) override { empty(); }

private:
    void empty()
    {
        for (const char* name : {"program", "config"}) {
            QDir dir(m_root.filePath(QString::fromLatin1(name)));
            dir.removeRecursively();
            dir.mkpath(QStringLiteral("."));
        }
        settingsfile::setProgramDirectory(m_root.filePath(QStringLiteral("program")));
        settingsfile::setFallbackDirectory(m_root.filePath(QStringLiteral("config")));
    }

    QTemporaryDir m_root;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    VardekoApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshSettingsFolders);
    return RUN_ALL_TESTS();
}
