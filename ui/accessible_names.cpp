#include "ui/accessible_names.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <memory>

#include "base/handles.h"

namespace ui {

namespace {

constexpr UINT_PTR kNamingSubclassId = 0x7A11;

struct Naming {
    std::wstring name;
    HWND label = nullptr;  // when set, the name is this label's text at the time it is asked
    std::function<std::wstring()> value;
};

std::wstring NameOf(const Naming& naming);

LRESULT CALLBACK NamedControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data);

// The naming of a control, while it has one.
// Kept in a window property beside the subclass (the subclass's own data cannot be asked for
// through every import library).
constexpr wchar_t kNamingProperty[] = L"TolvaneAccessibleNaming";

Naming* NamingOf(HWND control) { return static_cast<Naming*>(GetPropW(control, kNamingProperty)); }

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// The system's standard object of a control, with the name and value of its naming. The naming
// is looked up at each question: a reader may hold the object after the control is gone.
class NamedAccessible final : public IAccessible, public IOleWindow {
public:
    NamedAccessible(HWND control, ComPtr<IAccessible> standard) : control_(control), standard_(std::move(standard)) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible)
            *object = static_cast<IAccessible*>(this);
        else if (iid == IID_IOleWindow)
            *object = static_cast<IOleWindow*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = control_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
        return standard_->Invoke(id, iid, locale, flags, params, result, exception, argument);
    }

    // IAccessible: the name and value of the control itself are the naming's; all else is standard.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        const Naming* naming = IsSelf(child) ? NamingOf(control_) : nullptr;
        return naming ? ReturnText(NameOf(*naming), name) : standard_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        const Naming* naming = IsSelf(child) ? NamingOf(control_) : nullptr;
        return naming && naming->value ? ReturnText(naming->value(), value) : standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return standard_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return standard_->get_accHelp(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
        return standard_->get_accKeyboardShortcut(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override {
        return standard_->get_accDefaultAction(child, text);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    ~NamedAccessible() = default;

    LONG references_ = 1;
    HWND control_;
    ComPtr<IAccessible> standard_;
};

LRESULT CALLBACK NamedControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        ComPtr<IAccessible> standard;
        if (SUCCEEDED(CreateStdAccessibleObject(window, OBJID_CLIENT, IID_IAccessible, standard.putVoid()))) {
            auto* named = new NamedAccessible(window, std::move(standard));
            const LRESULT result = LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(named));
            named->Release();
            return result;
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, NamedControlProc, kNamingSubclassId);
        RemovePropW(window, kNamingProperty);
        delete reinterpret_cast<Naming*>(data);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

std::wstring NameOf(const Naming& naming) {
    if (!naming.label || !IsWindow(naming.label)) return naming.name;
    // A label that shows text as it is (SS_NOPREFIX) has no access key to drop.
    const std::wstring text = WindowTextOf(naming.label);
    return (GetWindowLongW(naming.label, GWL_STYLE) & SS_NOPREFIX) ? text : LabelAsName(text);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// A static control that shows text (not an icon, a picture or a frame).
bool IsTextLabel(HWND window) {
    if (lstrcmpiW(ClassOf(window).c_str(), L"Static") != 0) return false;
    const LONG type = GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE;
}

// Controls whose own text is their content, not their name.
bool TakesLabelName(HWND window) {
    const std::wstring name = ClassOf(window);
    for (const wchar_t* kind : {L"Edit", L"ComboBox", L"ComboBoxEx32", L"ListBox", L"SysListView32", L"SysTreeView32",
                                L"msctls_progress32", L"msctls_trackbar32", L"msctls_updown32", L"SysDateTimePick32"})
        if (lstrcmpiW(name.c_str(), kind) == 0) return true;
    return false;
}

}  // namespace

std::wstring WindowTextOf(HWND window) {
    const int length = window ? GetWindowTextLengthW(window) : 0;
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(std::max(GetWindowTextW(window, text.data(), length + 1), 0)));
    return text;
}

std::wstring LabelAsName(const std::wstring& label) {
    std::wstring name;
    name.reserve(label.size());
    for (size_t i = 0; i < label.size(); ++i) {
        if (label[i] == L'&' && i + 1 < label.size()) ++i;  // "&x" gives "x", "&&" gives "&"
        name += label[i];
    }
    return name;
}

namespace {

void Name(HWND control, Naming given) {
    if (!control) return;
    if (Naming* old = NamingOf(control)) {
        *old = std::move(given);
        return;
    }
    auto naming = std::make_unique<Naming>(std::move(given));
    if (!SetPropW(control, kNamingProperty, naming.get())) return;
    if (SetWindowSubclass(control, NamedControlProc, kNamingSubclassId, reinterpret_cast<DWORD_PTR>(naming.get())))
        naming.release();
    else
        RemovePropW(control, kNamingProperty);
}

}  // namespace

std::wstring LiteralLabelText(const std::wstring& text) {
    std::wstring shown;
    shown.reserve(text.size());
    for (wchar_t c : text) {
        if (c == L'&') shown += L'&';
        shown += c;
    }
    return shown;
}

void SetAccessibleName(HWND control, const std::wstring& name, std::function<std::wstring()> value) {
    Name(control, Naming{name, nullptr, std::move(value)});
}

void NameControlsByLabels(HWND dialog) {
    HWND label = nullptr;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsTextLabel(child)) {
            label = child;
            continue;
        }
        if (label && TakesLabelName(child) && !NamingOf(child)) Name(child, Naming{{}, label, {}});
        label = nullptr;
    }
}

}  // namespace ui
