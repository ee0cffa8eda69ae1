#include "ControlAccessibility.h"

// oleacc.h builds on the COM types of windows.h and ole2.h.
// clang-format off
#include <windows.h>
#include <ole2.h>
#include <oleacc.h>
#include <commctrl.h>
// clang-format on

#include <cwchar>
#include <string>

#include "FrmMain.h"

namespace {

// The default action of a label that reports clicks, as a Chinese Windows
// names a button's.
constexpr wchar_t kPressAction[] = L"按下";

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT Text(const std::wstring& text, BSTR* out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// The system's object for the control, with the plan's name, role, value
// and default action in front of it. It holds the window, not the control,
// until asked: once the window is gone it answers nothing of its own.
class ControlAccessible final : public IAccessible {
public:
    ControlAccessible(IAccessible* system, const NativeControl& control)
        : system_(system), window_(control.window), plan_(control.plan) {
        system_->AddRef();
    }
    ControlAccessible(const ControlAccessible&) = delete;
    ControlAccessible& operator=(const ControlAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) ||
            iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // Assistive technology calls IAccessible directly; there is no type
    // information to dispatch by.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return system_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return system_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return system_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!Ours(child) || plan_.row->accessibleName.empty()) {
            return system_->get_accName(child, name);
        }
        return Text(std::wstring(plan_.row->accessibleName), name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!Ours(child) || plan_.role != AccessibleRole::Slider) {
            return system_->get_accValue(child, value);
        }
        const ScrollBar& bar = Slider();
        return Text(std::to_wstring(SliderOffset(bar, bar.Value())), value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return system_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!Ours(child) || role == nullptr) {
            return system_->get_accRole(child, role);
        }
        role->vt = VT_I4;
        role->lVal =
            plan_.role == AccessibleRole::Slider ? ROLE_SYSTEM_SLIDER : ROLE_SYSTEM_PUSHBUTTON;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return system_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return system_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return system_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return system_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return system_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return system_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!Ours(child) || plan_.role != AccessibleRole::Button) {
            return system_->get_accDefaultAction(child, action);
        }
        return Text(kPressAction, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return system_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return system_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return system_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return system_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!Ours(child) || plan_.role != AccessibleRole::Button) {
            return system_->accDoDefaultAction(child);
        }
        plan_.control->Click();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return system_->put_accName(child, name);
    }
    // As a keyboard step moves it: through the model, which redraws it.
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        if (!Ours(child) || plan_.role != AccessibleRole::Slider) {
            return system_->put_accValue(child, value);
        }
        wchar_t* end = nullptr;
        const long offset = value == nullptr ? 0 : std::wcstol(value, &end, 10);
        if (value == nullptr || end == value || *end != L'\0') {
            return E_INVALIDARG;
        }
        ScrollBar& bar = Slider();
        bar.SetValue(SliderPosition(bar, static_cast<std::int32_t>(offset)));
        return S_OK;
    }

private:
    ~ControlAccessible() { system_->Release(); }

    // The control itself, while its window stands.
    bool Ours(const VARIANT& child) const { return IsSelf(child) && IsWindow(window_) != FALSE; }
    ScrollBar& Slider() const { return static_cast<ScrollBar&>(*plan_.control); }

    LONG references_ = 1;
    IAccessible* system_;
    HWND window_;
    PlannedControl plan_;
};

LRESULT CALLBACK AccessibleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR /*id*/, DWORD_PTR data) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, AccessibleProc, 0);
    } else if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        IAccessible* system = nullptr;
        if (SUCCEEDED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&system)))) {
            auto* object = new ControlAccessible(system, *reinterpret_cast<NativeControl*>(data));
            system->Release();
            const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, object);
            object->Release();
            return result;
        }
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void ExposeToAssistiveTechnology(const NativeControl& control) {
    const AccessibleRole role = control.plan.role;
    const bool clickableLabel =
        role == AccessibleRole::Button && control.plan.row->control.kind == ControlKind::Label;
    if (clickableLabel || role == AccessibleRole::Slider) {
        SetWindowSubclass(control.window, AccessibleProc, 0, reinterpret_cast<DWORD_PTR>(&control));
    }
}
