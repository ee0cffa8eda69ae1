#include "QtPlatformServices.h"

#include <QMessageBox>
#include <QPushButton>

#include "ControlWidgets.h"
#include "Layout.h"
#include "X11WindowActivation.h"

namespace {

// The notice speaks the program's language whatever the locale: its one
// button reads as on a Chinese Windows.
constexpr std::wstring_view kOkCaption = L"确定";

}  // namespace

void QtPlatformServices::ShowNotice(std::wstring_view text, std::wstring_view title) {
    QMessageBox box(QMessageBox::Information, ToQString(title), ToQString(text), QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(ToQString(kOkCaption));
    box.setWindowIcon(ProgramIcon());
    box.exec();
}

void QtPlatformServices::ShowRunningInstance() {
    ActivateX11Window("kov-display", ToQString(kFrmMainCaption).toUtf8().toStdString());
}
