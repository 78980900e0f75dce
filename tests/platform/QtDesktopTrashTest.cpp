#include "platform/qt/QtDesktop.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

namespace quillory {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had;
};

// A fresh account has no ~/.local/share yet: the page must still reach the trash the desktop
// shows, not folders made in the program's working folder.
TEST(QtDesktopTrash, APageGoesIntoTheTrashEvenWhereNoneExistedYet)
{
    const TempDir home;
    const fs::path data = home / ".local" / "share";
    const ScopedEnv homeEnv("HOME", QByteArray::fromStdString(home.path().string()));
    const ScopedEnv dataEnv("XDG_DATA_HOME", QByteArray::fromStdString(data.string()));
    const QString workingFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(home.path().string())));

    test::WriteFile(home / "Page", "the page");
    QtDesktop desktop;
    const bool trashed = desktop.moveToTrash(home / "Page");
    QDir::setCurrent(workingFolder);

    ASSERT_TRUE(trashed);
    EXPECT_FALSE(fs::exists(home / "Page"));
    EXPECT_EQ(test::ReadFile(data / "Trash" / "files" / "Page"), "the page");
    EXPECT_TRUE(fs::exists(data / "Trash" / "info" / "Page.trashinfo"));
    EXPECT_FALSE(fs::exists(home / "files"));
}

} // namespace
} // namespace quillory
