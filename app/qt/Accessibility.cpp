#include "Accessibility.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <cmath>

#include "ControlWidgets.h"
#include "FrmMain.h"
#include "WindowPlan.h"

namespace {

constexpr char kRoleProperty[] = "kovAccessibleRole";

AccessibleRole RoleOf(const QObject* object) {
    const QVariant role = object->property(kRoleProperty);
    return role.isValid() ? static_cast<AccessibleRole>(role.toInt()) : AccessibleRole::Text;
}

// The window: a frame named by its caption, whose children leave out the
// widgets of no exposed role.
class WindowAccessible final : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}

    int childCount() const override { return static_cast<int>(Exposed().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QObject*> exposed = Exposed();
        return index >= 0 && index < exposed.size()
                   ? QAccessible::queryAccessibleInterface(exposed[index])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child == nullptr ? -1 : static_cast<int>(Exposed().indexOf(child->object()));
    }

private:
    QList<QObject*> Exposed() const {
        QList<QObject*> exposed;
        for (QObject* object : widget()->children()) {
            if (object->isWidgetType() && RoleOf(object) != AccessibleRole::NotExposed) {
                exposed.push_back(object);
            }
        }
        return exposed;
    }
};

// A label that reports clicks: a button whose press action clicks it.
class ButtonLabelAccessible final : public QAccessibleWidget {
public:
    explicit ButtonLabelAccessible(ControlLabel* label)
        : QAccessibleWidget(label, QAccessible::Button) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            const QString name = widget()->accessibleName();
            return name.isEmpty() ? Label()->text().trimmed() : name;
        }
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction()) {
            Label()->click();
        }
    }
    QStringList keyBindingsForAction(const QString& /*action*/) const override { return {}; }

private:
    ControlLabel* Label() const { return static_cast<ControlLabel*>(widget()); }
};

// A slider whose value is its model's offset. Increasing the value, or the
// increase action, raises the offset: the thumb goes up.
class SliderAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(ControlScrollBar* bar)
        : QAccessibleWidget(bar, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? currentValue().toString()
                                          : QAccessibleWidget::text(kind);
    }

    QVariant currentValue() const override { return SliderOffset(Model(), Model().Value()); }
    void setCurrentValue(const QVariant& value) override {
        MoveTo(SliderPosition(Model(), static_cast<std::int32_t>(std::lround(value.toDouble()))));
    }
    QVariant maximumValue() const override { return SliderOffset(Model(), Model().Min()); }
    QVariant minimumValue() const override { return SliderOffset(Model(), Model().Max()); }
    QVariant minimumStepSize() const override {
        return std::abs(SliderOffset(Model(), 1) - SliderOffset(Model(), 0));
    }

    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << increaseAction() << decreaseAction();
    }
    void doAction(const QString& action) override {
        const int step = Model().SmallChange();
        if (action == increaseAction()) {
            MoveTo(Model().Value() - step);
        } else if (action == decreaseAction()) {
            MoveTo(Model().Value() + step);
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

private:
    ControlScrollBar* Bar() const { return static_cast<ControlScrollBar*>(widget()); }
    const ScrollBar& Model() const { return Bar()->Model(); }
    // As a keyboard step moves it: the bar reports the change to the model.
    void MoveTo(int position) { Bar()->setValue(position); }
};

QAccessibleInterface* Interface(const QString& className, QObject* object) {
    if (className == QLatin1String("FrmMainWindow")) {
        return new WindowAccessible(static_cast<QWidget*>(object));
    }
    if (className == QLatin1String("ControlScrollBar")) {
        return new SliderAccessible(static_cast<ControlScrollBar*>(object));
    }
    if (className == QLatin1String("ControlLabel") && RoleOf(object) == AccessibleRole::Button) {
        return new ButtonLabelAccessible(static_cast<ControlLabel*>(object));
    }
    return nullptr;
}

}  // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&Interface);
        return true;
    }();
    static_cast<void>(installed);
}

void SetAccessibleRole(QWidget& widget, AccessibleRole role) {
    widget.setProperty(kRoleProperty, static_cast<int>(role));
}
