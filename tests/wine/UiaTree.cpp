// Prints the UI Automation tree of a top-level window, one element a line:
//   <automation id>\t<control type>\t<name>\t<value>\t<x> <y> <w> <h>
// with x, y the screen position of the element's centre. The smoke test of
// Tornvale.exe under wine reads the window's state with it, from outside the
// program, as a screen reader would.
//
//   uia-tree.exe "<window title>"
//
// The flat UI Automation client API is declared here: mingw-w64 10 lacks it.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

namespace {

DECLARE_HANDLE(HUIANODE);
enum NavigateDirection { NavigateDirection_NextSibling = 1, NavigateDirection_FirstChild = 3 };
enum ConditionType { ConditionType_True = 0 };
struct UiaCondition {
    ConditionType type;
};
struct UiaCacheRequest {
    UiaCondition* viewCondition;
    int scope;  // TreeScope_Element = 1
    int* properties;
    int propertyCount;
    int* patterns;
    int patternCount;
    int elementMode;  // AutomationElementMode_Full = 1
};

constexpr int kBoundingRectangle = 30001;
constexpr int kControlType = 30003;
constexpr int kName = 30005;
constexpr int kAutomationId = 30011;
constexpr int kValue = 30045;
constexpr int kToggleState = 30086;

using NodeFromHandle = HRESULT(WINAPI*)(HWND, HUIANODE*);
using GetPropertyValue = HRESULT(WINAPI*)(HUIANODE, int, VARIANT*);
using Navigate = HRESULT(WINAPI*)(HUIANODE, NavigateDirection, UiaCondition*, UiaCacheRequest*, SAFEARRAY**, BSTR*);
using NodeFromVariant = HRESULT(WINAPI*)(VARIANT*, HUIANODE*);
using NodeRelease = BOOL(WINAPI*)(HUIANODE);

struct Api {
    NodeFromHandle nodeFromHandle;
    GetPropertyValue getPropertyValue;
    Navigate navigate;
    NodeFromVariant nodeFromVariant;
    NodeRelease nodeRelease;
} api;

std::string Utf8(const wchar_t* text, int length)
{
    if (!text || length <= 0) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return out;
}

std::string Text(HUIANODE node, int property)
{
    VARIANT v;
    VariantInit(&v);
    std::string out;
    if (SUCCEEDED(api.getPropertyValue(node, property, &v))) {
        if (v.vt == VT_BSTR) out = Utf8(v.bstrVal, static_cast<int>(SysStringLen(v.bstrVal)));
        else if (v.vt == VT_I4) out = std::to_string(v.lVal);
    }
    VariantClear(&v);
    return out;
}

std::string Rectangle(HUIANODE node)
{
    VARIANT v;
    VariantInit(&v);
    std::string out = "0 0 0 0";
    if (SUCCEEDED(api.getPropertyValue(node, kBoundingRectangle, &v)) && v.vt == (VT_ARRAY | VT_R8)) {
        double* r = nullptr;
        if (SUCCEEDED(SafeArrayAccessData(v.parray, reinterpret_cast<void**>(&r)))) {
            char buffer[96];
            std::snprintf(buffer, sizeof buffer, "%d %d %d %d", int(r[0] + r[2] / 2), int(r[1] + r[3] / 2),
                          int(r[2]), int(r[3]));
            out = buffer;
            SafeArrayUnaccessData(v.parray);
        }
    }
    VariantClear(&v);
    return out;
}

HUIANODE Step(HUIANODE node, NavigateDirection direction)
{
    UiaCondition all{ConditionType_True};
    UiaCacheRequest request{&all, 1, nullptr, 0, nullptr, 0, 1};
    SAFEARRAY* data = nullptr;
    BSTR tree = nullptr;
    HUIANODE next = nullptr;
    if (SUCCEEDED(api.navigate(node, direction, &all, &request, &data, &tree)) && data) {
        LONG index[2] = {0, 0};
        VARIANT v;
        VariantInit(&v);
        if (SUCCEEDED(SafeArrayGetElement(data, index, &v))) api.nodeFromVariant(&v, &next);
        SafeArrayDestroy(data);
    }
    SysFreeString(tree);
    return next;
}

void Print(HUIANODE node, int depth)
{
    if (depth > 40) return;
    std::printf("%s\t%s\t%s\t%s\t%s\t%s\n", Text(node, kAutomationId).c_str(), Text(node, kControlType).c_str(),
                Text(node, kName).c_str(), Text(node, kValue).c_str(), Rectangle(node).c_str(),
                Text(node, kToggleState).c_str());
    for (HUIANODE child = Step(node, NavigateDirection_FirstChild); child;) {
        Print(child, depth + 1);
        HUIANODE next = Step(child, NavigateDirection_NextSibling);
        api.nodeRelease(child);
        child = next;
    }
}

template <typename F>
bool Load(HMODULE module, const char* name, F& f)
{
    f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return f != nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: uia-tree <window title>\n");
        return 2;
    }
    HMODULE core = LoadLibraryW(L"uiautomationcore.dll");
    if (!core || !Load(core, "UiaNodeFromHandle", api.nodeFromHandle) ||
        !Load(core, "UiaGetPropertyValue", api.getPropertyValue) || !Load(core, "UiaNavigate", api.navigate) ||
        !Load(core, "UiaHUiaNodeFromVariant", api.nodeFromVariant) || !Load(core, "UiaNodeRelease", api.nodeRelease)) {
        std::fprintf(stderr, "no UI Automation client API\n");
        return 1;
    }
    HWND window = FindWindowW(nullptr, argv[1]);
    if (!window) {
        std::fprintf(stderr, "no window of that title\n");
        return 1;
    }
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    HUIANODE root = nullptr;
    const HRESULT hr = api.nodeFromHandle(window, &root);
    if (FAILED(hr) || !root) {
        std::fprintf(stderr, "the window has no automation element (%#lx)\n", static_cast<unsigned long>(hr));
        return 1;
    }
    Print(root, 0);
    api.nodeRelease(root);
    CoUninitialize();
    return 0;
}
