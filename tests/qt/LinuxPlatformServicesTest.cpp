#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <array>
#include <csignal>
#include <optional>

#include "FrmMain.h"
#include "LinuxPlatformServices.h"
#include "QtTestSupport.h"
#include "TerminationSignals.h"

namespace {

struct LockPathCase {
    std::optional<std::filesystem::path> runtimeFolder;
    unsigned userId;
    std::string_view display;
    std::filesystem::path expected;
};

const std::array<LockPathCase, 9> kLockPathCases{{
    {"/run/user/1000", 1000, ":0", "/run/user/1000/kov-display-_0.lock"},
    {"/run/user/1000", 1000, ":0.1", "/run/user/1000/kov-display-_0.lock"},
    {"/run/user/1000", 1000, ":12", "/run/user/1000/kov-display-_12.lock"},
    {"/run/user/1000", 1000, "localhost:10.0", "/run/user/1000/kov-display-localhost_10.lock"},
    {"/run/user/1000", 1000, "host.example.com:1",
     "/run/user/1000/kov-display-host.example.com_1.lock"},
    {"/run/user/1000", 1000, "../../etc/x:0", "/run/user/1000/kov-display-.._.._etc_x_0.lock"},
    {"/run/user/1000", 1000, "", "/run/user/1000/kov-display-none.lock"},
    {std::nullopt, 1000, ":0", "/tmp/kov-display-1000-_0.lock"},
    {std::nullopt, 0, ":3.0", "/tmp/kov-display-0-_3.lock"},
}};

}  // namespace

TEST(InstanceLockPath, OneFilePerUserAndDisplay) {
    for (const LockPathCase& lockCase : kLockPathCases) {
        SCOPED_TRACE(std::string(lockCase.display));
        EXPECT_EQ(
            InstanceLockPath(lockCase.runtimeFolder, "/tmp", lockCase.userId, lockCase.display),
            lockCase.expected);
    }
}

TEST(LinuxPlatformServices, TheFirstInstanceHoldsTheLockUntilItEnds) {
    const TempFolder folder;
    const std::filesystem::path lock = folder.Path() / "instance.lock";
    std::optional<LinuxPlatformServices> first(std::in_place, lock);
    LinuxPlatformServices second(lock);
    EXPECT_FALSE(first->AnotherInstanceRunning());
    EXPECT_FALSE(first->AnotherInstanceRunning());
    EXPECT_TRUE(second.AnotherInstanceRunning());
    first.reset();
    EXPECT_FALSE(second.AnotherInstanceRunning());
    EXPECT_TRUE(LinuxPlatformServices(lock).AnotherInstanceRunning());
}

TEST(LinuxPlatformServices, ALockThatCannotBeCreatedLetsTheProgramRun) {
    const TempFolder folder;
    LinuxPlatformServices services(folder.Path() / "missing" / "instance.lock");
    EXPECT_FALSE(services.AnotherInstanceRunning());
}

TEST(LinuxPlatformServices, ALockPathThatIsASymlinkIsNotFollowed) {
    const TempFolder folder;
    const std::filesystem::path target = folder.Path() / "target";
    const std::filesystem::path lock = folder.Path() / "instance.lock";
    std::filesystem::create_symlink(target, lock);
    LinuxPlatformServices services(lock);
    services.AnotherInstanceRunning();
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(LinuxPlatformServices, TheNoticeIsAnInformationBoxWithOnlyOk) {
    const TempFolder folder;
    LinuxPlatformServices services(folder.Path() / "instance.lock");
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
    });
    services.ShowNotice(kAlreadyRunningNotice, kProgramTitle);
    EXPECT_EQ(title, QString::fromUtf8("KOV调节显示器"));
    EXPECT_EQ(text, QString::fromUtf8("对不起本程序已在运行中, 不得重复加载!"));
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST(LinuxPlatformServices, TheProgramFolderHoldsTheRunningExecutable) {
    const TempFolder folder;
    LinuxPlatformServices services(folder.Path() / "instance.lock");
    EXPECT_TRUE(std::filesystem::exists(services.ProgramFolder() / "qt_platform_test"));
}

TEST(TerminationSignals, EachStopSignalAsksOnceForTheWindowToClose) {
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(number);
        const TerminationSignals stopSignals;
        QSignalSpy requests(&stopSignals, &TerminationSignals::requested);
        ASSERT_EQ(std::raise(number), 0);
        EXPECT_TRUE(requests.wait(2000));
        EXPECT_EQ(requests.count(), 1);
    }
}
