#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <csignal>
#include <optional>

#include "FormTest.h"
#include "LinuxPlatformServices.h"
#include "QtTestSupport.h"
#include "TerminationSignals.h"

TEST(InstanceLockPath, OneFilePerUserAndDisplay) {
    const std::tuple<std::optional<std::filesystem::path>, std::string_view, const char*> cases[] =
        {{"/run/user/7", ":0.1", "/run/user/7/kov-display-_0.lock"},
         {"/run/user/7", "localhost:10.0", "/run/user/7/kov-display-localhost_10.lock"},
         {"/run/user/7", "../../etc/x:0", "/run/user/7/kov-display-.._.._etc_x_0.lock"},
         {"/run/user/7", "", "/run/user/7/kov-display-none.lock"},
         {std::nullopt, ":3.0", "/tmp/kov-display-7-_3.lock"}};
    for (const auto& [runtime, display, expected] : cases) {
        EXPECT_EQ(InstanceLockPath(runtime, "/tmp", 7, display), expected);
    }
}

TEST(UserSettingsFolder, FollowsTheXdgRules) {
    const std::tuple<std::string_view, std::string_view, const char*> cases[] = {
        {"/cfg", "/home/u", "/cfg/kov-display"},
        {"", "/home/u", "/home/u/.config/kov-display"},
        {"cfg", "/home/u", "/home/u/.config/kov-display"},
        {"", "", ""}};
    for (const auto& [configHome, home, expected] : cases) {
        EXPECT_EQ(UserSettingsFolder(configHome, home), expected);
    }
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
    // A lock that cannot be made, or a link in its place, lets the program run.
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

TEST(TerminationSignals, EachStopSignalIsReportedOnceFromTheEventLoop) {
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
        const TerminationSignals stopSignals;
        QSignalSpy requests(&stopSignals, &TerminationSignals::requested);
        ASSERT_EQ(std::raise(number), 0);
        EXPECT_TRUE(requests.wait(2000));
        EXPECT_EQ(requests.count(), 1);
    }
}
