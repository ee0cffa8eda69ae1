#include "QtPlatformServices.h"

#include <QMessageBox>

#include "ControlWidgets.h"

void QtPlatformServices::ShowNotice(std::wstring_view text, std::wstring_view title) {
    QMessageBox::information(nullptr, ToQString(title), ToQString(text), QMessageBox::Ok);
}
