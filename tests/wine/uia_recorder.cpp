// A UI Automation core that records what a program gives it, for the Windows
// tests under Wine (never for the packages): UIAutomationCore.dll with the
// six functions that Qt's UI Automation bridge takes from the system's.
// It says that clients are listening, keeps the providers the windows
// return, and writes one line per call to the file named by
// SORANIKA_UIA_LOG (UTF-8):
//   root ELEMENT            a window answered a client's WM_GETOBJECT
//   focus ELEMENT           what has the focus in it, which the client asks
//   event EVENT ELEMENT     UiaRaiseAutomationEvent
//   property PROPERTY=VALUE ELEMENT   UiaRaiseAutomationPropertyChangedEvent
//   notification kind=K processing=P text="..." activity="..."
// where ELEMENT is what the provider says of itself at that moment: its
// name, control type, the Value pattern's value and whether it has the
// keyboard focus, and for the focus also the names around it (its window's
// and its children's, its siblings'), which a screen reader reads with it.
#include <windows.h>

#include <ole2.h>
#include <uiautomationcore.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

// The Value pattern's provider, which MinGW-w64's headers lack.
struct IValueProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetValue(LPCWSTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Value(BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsReadOnly(BOOL* readOnly) = 0;
};
const IID kIValueProvider = {
    0xc7935180, 0x6fb3, 0x4201, {0xb1, 0x74, 0x7d, 0xf7, 0x3a, 0xdb, 0xf6, 0x4a}};

namespace {

// Property, event, pattern and control type ids of UI Automation.
constexpr PROPERTYID kName = 30005;
constexpr PROPERTYID kControlType = 30003;
constexpr PROPERTYID kHasKeyboardFocus = 30008;
constexpr PATTERNID kValuePattern = 10002;
constexpr EVENTID kFocusChanged = 20005;

const std::map<int, const char*> kEvents = {
    {20000, "ToolTipOpened"},   {20001, "ToolTipClosed"},        {20002, "StructureChanged"},
    {20003, "MenuOpened"},      {20005, "FocusChanged"},         {20006, "AsyncContentLoaded"},
    {20007, "MenuClosed"},      {20008, "LayoutInvalidated"},    {20009, "Invoked"},
    {20012, "ElementSelected"}, {20014, "TextSelectionChanged"}, {20015, "TextChanged"},
    {20016, "WindowOpened"},    {20017, "WindowClosed"},         {20018, "MenuModeStart"},
    {20019, "MenuModeEnd"},     {20023, "SystemAlert"},          {20024, "LiveRegionChanged"},
};
const std::map<int, const char*> kProperties = {
    {30003, "ControlType"}, {30005, "Name"},        {30008, "HasKeyboardFocus"},
    {30010, "IsEnabled"},   {30045, "Value"},       {30047, "RangeValue"},
    {30076, "IsOffscreen"}, {30135, "LiveSetting"}, {30159, "FullDescription"},
};
const std::map<int, const char*> kControlTypes = {
    {50000, "Button"},    {50002, "CheckBox"},  {50003, "ComboBox"}, {50004, "Edit"},
    {50008, "List"},      {50009, "Menu"},      {50010, "MenuBar"},  {50011, "MenuItem"},
    {50017, "StatusBar"}, {50020, "Text"},      {50021, "ToolBar"},  {50025, "Custom"},
    {50026, "Group"},     {50030, "Document"},  {50032, "Window"},   {50033, "Pane"},
    {50037, "TitleBar"},  {50038, "Separator"},
};
const char* const kKinds[] = {"ItemAdded", "ItemRemoved", "ActionCompleted", "ActionAborted",
                              "Other"};
const char* const kProcessings[] = {"ImportantAll", "ImportantMostRecent", "All", "MostRecent",
                                    "CurrentThenMostRecent"};

template <typename Map> std::string NameOf(const Map& names, int id) {
    const auto found = names.find(id);
    return found != names.end() ? found->second : std::to_string(id);
}

std::string Utf8(const wchar_t* text, int length = -1) {
    if (text == nullptr) {
        return {};
    }
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? bytes : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), bytes, nullptr, nullptr);
    if (length < 0 && !out.empty()) {
        out.pop_back(); // the NUL
    }
    return out;
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        out += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    }
    return out + '"';
}

std::string VariantText(const VARIANT& value) {
    switch (value.vt) {
    case VT_BSTR:
        return Quoted(Utf8(value.bstrVal, int(SysStringLen(value.bstrVal))));
    case VT_I4:
        return std::to_string(value.lVal);
    case VT_BOOL:
        return value.boolVal ? "true" : "false";
    case VT_R8:
        return std::to_string(value.dblVal);
    case VT_EMPTY:
        return "empty";
    default:
        return "vt" + std::to_string(value.vt);
    }
}

VARIANT Property(IRawElementProviderSimple* element, PROPERTYID id) {
    VARIANT value;
    VariantInit(&value);
    if (FAILED(element->GetPropertyValue(id, &value))) {
        VariantInit(&value);
    }
    return value;
}

std::string NameOf(IRawElementProviderSimple* element) {
    VARIANT name = Property(element, kName);
    const std::string text =
        name.vt == VT_BSTR ? Utf8(name.bstrVal, int(SysStringLen(name.bstrVal))) : "";
    VariantClear(&name);
    return text;
}

std::string Describe(IRawElementProviderSimple* element) {
    if (element == nullptr) {
        return "(none)";
    }
    std::string out = "name=" + Quoted(NameOf(element));
    VARIANT type = Property(element, kControlType);
    out += " type=" + (type.vt == VT_I4 ? NameOf(kControlTypes, type.lVal) : VariantText(type));
    VariantClear(&type);
    IUnknown* pattern = nullptr;
    if (SUCCEEDED(element->GetPatternProvider(kValuePattern, &pattern)) && pattern != nullptr) {
        IValueProvider* value = nullptr;
        if (SUCCEEDED(pattern->QueryInterface(kIValueProvider, reinterpret_cast<void**>(&value)))) {
            BSTR text = nullptr;
            if (SUCCEEDED(value->get_Value(&text))) {
                out += " value=" + Quoted(Utf8(text, int(SysStringLen(text))));
                SysFreeString(text);
            }
            value->Release();
        }
        pattern->Release();
    }
    VARIANT focused = Property(element, kHasKeyboardFocus);
    out += std::string(" focused=") + (focused.vt == VT_BOOL && focused.boolVal ? "1" : "0");
    return out;
}

// The names of an element's children.
std::string ChildNames(IRawElementProviderFragment* parent) {
    std::string out = "[";
    IRawElementProviderFragment* child = nullptr;
    parent->Navigate(NavigateDirection_FirstChild, &child);
    for (int i = 0; child != nullptr && i < 100; ++i) {
        IRawElementProviderSimple* simple = nullptr;
        if (SUCCEEDED(child->QueryInterface(IID_IRawElementProviderSimple,
                                            reinterpret_cast<void**>(&simple)))) {
            const std::string name = NameOf(simple);
            if (!name.empty()) {
                if (out.size() > 1) {
                    out += ',';
                }
                out += Quoted(name);
            }
            simple->Release();
        }
        IRawElementProviderFragment* next = nullptr;
        child->Navigate(NavigateDirection_NextSibling, &next);
        child->Release();
        child = next;
    }
    return out + "]";
}

// What a screen reader reads around a focused element: its window's name
// and the names of the window's children (a dialog's text), and those of
// the element's siblings.
std::string Around(IRawElementProviderSimple* element) {
    std::string out;
    IRawElementProviderFragment* fragment = nullptr;
    if (FAILED(element->QueryInterface(IID_IRawElementProviderFragment,
                                       reinterpret_cast<void**>(&fragment)))) {
        return out;
    }
    IRawElementProviderFragmentRoot* root = nullptr;
    if (SUCCEEDED(fragment->get_FragmentRoot(&root)) && root != nullptr) {
        IRawElementProviderSimple* simple = nullptr;
        if (SUCCEEDED(root->QueryInterface(IID_IRawElementProviderSimple,
                                           reinterpret_cast<void**>(&simple)))) {
            out += " window=" + Quoted(NameOf(simple));
            simple->Release();
        }
        IRawElementProviderFragment* window = nullptr;
        if (SUCCEEDED(root->QueryInterface(IID_IRawElementProviderFragment,
                                           reinterpret_cast<void**>(&window)))) {
            out += " in=" + ChildNames(window);
            window->Release();
        }
        root->Release();
    }
    IRawElementProviderFragment* parent = nullptr;
    if (SUCCEEDED(fragment->Navigate(NavigateDirection_Parent, &parent)) && parent != nullptr) {
        out += " beside=" + ChildNames(parent);
        parent->Release();
    }
    fragment->Release();
    return out;
}

// The element with the keyboard focus, as a client asks a window's root for
// it once it has the root.
std::string Focused(IRawElementProviderSimple* root) {
    IRawElementProviderFragmentRoot* fragmentRoot = nullptr;
    if (FAILED(root->QueryInterface(IID_IRawElementProviderFragmentRoot,
                                    reinterpret_cast<void**>(&fragmentRoot)))) {
        return "(none)";
    }
    std::string out = "(none)";
    IRawElementProviderFragment* focus = nullptr;
    if (SUCCEEDED(fragmentRoot->GetFocus(&focus)) && focus != nullptr) {
        IRawElementProviderSimple* simple = nullptr;
        if (SUCCEEDED(focus->QueryInterface(IID_IRawElementProviderSimple,
                                            reinterpret_cast<void**>(&simple)))) {
            out = Describe(simple) + Around(simple);
            simple->Release();
        }
        focus->Release();
    }
    fragmentRoot->Release();
    return out;
}

void Write(const std::string& line) {
    static FILE* log = [] {
        wchar_t path[MAX_PATH];
        const DWORD n = GetEnvironmentVariableW(L"SORANIKA_UIA_LOG", path, MAX_PATH);
        return n > 0 && n < MAX_PATH ? _wfopen(path, L"ab") : nullptr;
    }();
    if (log != nullptr) {
        std::fputs((line + "\n").c_str(), log);
        std::fflush(log);
    }
}

std::vector<IRawElementProviderSimple*> roots;

} // namespace

extern "C" {

__declspec(dllexport) LRESULT WINAPI
    UiaReturnRawElementProvider(HWND, WPARAM, LPARAM, IRawElementProviderSimple* element) {
    if (element != nullptr) {
        element->AddRef();
        roots.push_back(element);
        Write("root " + Describe(element));
        Write("focus " + Focused(element));
    }
    return 0;
}

__declspec(dllexport) HRESULT WINAPI
    UiaHostProviderFromHwnd(HWND, IRawElementProviderSimple** provider) {
    if (provider == nullptr) {
        return E_INVALIDARG;
    }
    *provider = nullptr;
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI
    UiaRaiseAutomationPropertyChangedEvent(IRawElementProviderSimple* element, PROPERTYID property,
                                           VARIANT, VARIANT value) {
    Write("property " + NameOf(kProperties, property) + "=" + VariantText(value) + " " +
          Describe(element));
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI
    UiaRaiseAutomationEvent(IRawElementProviderSimple* element, EVENTID event) {
    Write("event " + NameOf(kEvents, event) + " " + Describe(element) +
          (event == kFocusChanged && element != nullptr ? Around(element) : std::string()));
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI
    UiaRaiseNotificationEvent(IRawElementProviderSimple*, int kind, int processing, BSTR text,
                              BSTR activity) {
    const auto named = [](const auto& names, int i) {
        return i >= 0 && i < int(std::size(names)) ? std::string(names[i]) : std::to_string(i);
    };
    Write("notification kind=" + named(kKinds, kind) + " processing=" +
          named(kProcessings, processing) + " text=" + Quoted(Utf8(text, int(SysStringLen(text)))) +
          " activity=" + Quoted(Utf8(activity, int(SysStringLen(activity)))));
    return S_OK;
}

__declspec(dllexport) BOOL WINAPI UiaClientsAreListening() {
    return TRUE;
}

} // extern "C"
