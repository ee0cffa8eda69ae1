#include <sys/stat.h>
#include <unistd.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <optional>

#include "FormTest.h"
#include "LinuxPlatformServices.h"
#include "QtTestSupport.h"
#include "RuntimeFolder.h"

TEST(RuntimeFolder, FoldersAndNamesFollowTheUserTheDisplayAndTheXdgRules) {
    EXPECT_EQ(RuntimeFolderPath("/run/user/7", "/tmp", 7), "/run/user/7/kov-display");
    EXPECT_EQ(RuntimeFolderPath(std::nullopt, "/tmp", 7), "/tmp/kov-display-7");
    for (const auto& [display, name] : {std::pair{":0.1", "_0"},
                                        {"localhost:10.0", "localhost_10"},
                                        {"../../etc/x:0", ".._.._etc_x_0"},
                                        {"", "none"}}) {
        EXPECT_EQ(DisplayFileName(display), name);
    }
    for (const auto& [configHome, home, expected] :
         {std::tuple{"/cfg", "/home/u", "/cfg/kov-display"},
          {"", "/home/u", "/home/u/.config/kov-display"},
          {"cfg", "/home/u", "/home/u/.config/kov-display"},
          {"", "", ""}}) {
        EXPECT_EQ(UserSettingsFolder(configHome, home), expected);
    }
}

// Only a folder of the user's own that nobody else may enter will do: one
// that another user made first in the temp folder, or a link, is refused.
TEST_F(FormTest, ARuntimeFolderIsMadePrivateAndAnyOtherIsRefused) {
    struct stat status {};
    ASSERT_EQ(PrivateFolder(folder / "new", ::getuid()), folder / "new");
    ::stat((folder / "new").c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0700U);
    std::filesystem::create_directory_symlink(folder / "new", folder / "link");
    EXPECT_EQ(PrivateFolder(folder / "link", ::getuid()), std::nullopt);
    std::filesystem::create_directory(folder / "open");
    ::chmod((folder / "open").c_str(), 0777);
    EXPECT_EQ(PrivateFolder(folder / "open", ::getuid()), std::nullopt);
    EXPECT_EQ(PrivateFolder(folder / "new", ::getuid() + 1), std::nullopt);
    EXPECT_FALSE(LinuxPlatformServices(std::nullopt).AnotherInstanceRunning());
}

TEST_F(FormTest, TheFirstInstanceHoldsTheLockUntilItEnds) {
    const std::filesystem::path lock = folder / "instance.lock";
    std::optional<LinuxPlatformServices> first(std::in_place, lock);
    LinuxPlatformServices second(lock);
    EXPECT_FALSE(first->AnotherInstanceRunning());
    EXPECT_FALSE(first->AnotherInstanceRunning());
    EXPECT_TRUE(second.AnotherInstanceRunning());
    first.reset();
    EXPECT_FALSE(second.AnotherInstanceRunning());
    EXPECT_FALSE(LinuxPlatformServices(folder / "missing" / "lock").AnotherInstanceRunning());
    std::filesystem::create_symlink(folder / "target", folder / "link.lock");
    EXPECT_FALSE(LinuxPlatformServices(folder / "link.lock").AnotherInstanceRunning());
    EXPECT_FALSE(std::filesystem::exists(folder / "target"));
}

TEST_F(FormTest, TheNoticeIsAnInformationBoxWithOnlyOkAndTheFolderHoldsTheProgram) {
    LinuxPlatformServices services(folder / "instance.lock");
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        shown = box->windowTitle() + "|" + box->text();
        box->button(QMessageBox::Ok)->click();
    });
    services.ShowNotice(L"通知", L"标题");
    EXPECT_EQ(shown, QString::fromUtf8("标题|通知"));
    EXPECT_TRUE(std::filesystem::exists(services.ProgramFolder() / "qt_platform_test"));
    EXPECT_TRUE(services.CanCreateFilesIn(folder));
    EXPECT_FALSE(services.CanCreateFilesIn(folder / "missing"));
}
