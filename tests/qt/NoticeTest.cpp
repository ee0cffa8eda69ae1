#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "QtPlatformServices.h"
#include "QtTestSupport.h"

TEST(QtPlatformServicesTest, TheNoticeIsAnInformationBoxWithOneChineseOk) {
    QtPlatformServices services(std::nullopt);
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        shown = box->windowTitle() + "|" + box->text() + "|" + box->button(QMessageBox::Ok)->text();
        box->button(QMessageBox::Ok)->click();
    });
    services.ShowNotice(L"通知", L"标题");
    EXPECT_EQ(shown, QString::fromUtf8("标题|通知|确定"));
}
