#include "win32/dpi.h"

#include "win32/handles.h"

namespace tavrel::win32 {

namespace {

// A function of user32 that older systems lack, or null. GetProcAddress
// gives an untyped pointer; the detour through void (*)() is the cast GCC
// accepts between function pointer types.
template<typename Function> Function user32Function(const char *name)
{
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

using GetDpiForWindowFunction = UINT(WINAPI *)(HWND);
// shcore's GetDpiForMonitor (Windows 8.1): monitor, MDT_EFFECTIVE_DPI (0),
// the horizontal and vertical dpi.
using GetDpiForMonitorFunction = HRESULT(WINAPI *)(HMONITOR, int, UINT *, UINT *);
constexpr int effectiveDpi = 0;
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI *)(LPRECT, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI *)(UINT, UINT, PVOID, UINT, UINT);
using GetSystemMetricsForDpiFunction = int(WINAPI *)(int, UINT);

UINT systemDpi()
{
    const WindowDC screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? static_cast<UINT>(dpi) : standardDpi;
}

// shcore.dll, loaded from the system folder only, for the life of the
// program (its functions are kept in function-local statics). Null before
// Windows 8.1, which has no shcore.
HMODULE shcore()
{
    static const UniqueModule module(
        LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    return module.get();
}

// The monitor's dpi where GetDpiForWindow is missing (Windows 8.1 and early
// Windows 10): a window on a second monitor of another dpi is drawn at that
// monitor's, not the system's.
UINT monitorDpi(HWND window)
{
    static const auto getDpiForMonitor = [] {
        const HMODULE module = shcore();
        return module == nullptr
            ? nullptr
            : reinterpret_cast<GetDpiForMonitorFunction>(
                reinterpret_cast<void (*)()>(GetProcAddress(module, "GetDpiForMonitor")));
    }();
    if (getDpiForMonitor == nullptr)
        return 0;
    UINT x = 0;
    UINT y = 0;
    const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (FAILED(getDpiForMonitor(monitor, effectiveDpi, &x, &y)))
        return 0;
    return y;
}

} // namespace

UINT dpiForWindow(HWND window)
{
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (window != nullptr) {
        if (getDpiForWindow != nullptr) {
            if (const UINT dpi = getDpiForWindow(window); dpi != 0)
                return dpi;
        }
        if (const UINT dpi = monitorDpi(window); dpi != 0)
            return dpi;
    }
    return systemDpi();
}

RECT windowRectForClient(RECT client, DWORD style, DWORD exStyle, UINT dpi)
{
    static const auto adjustForDpi
        = user32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    RECT rect = client;
    if (adjustForDpi == nullptr || !adjustForDpi(&rect, style, FALSE, exStyle, dpi)) {
        rect = client;
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
    return rect;
}

LOGFONTW messageFont(UINT dpi)
{
    static const auto parametersForDpi
        = user32Function<SystemParametersInfoForDpiFunction>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (parametersForDpi != nullptr
        && parametersForDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, dpi))
        return metrics.lfMessageFont;

    metrics = {};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        // Nothing to go by: the size of the usual message font, 9 points.
        LOGFONTW fallback{};
        fallback.lfHeight = -MulDiv(9, static_cast<int>(dpi), 72);
        fallback.lfWeight = FW_NORMAL;
        fallback.lfCharSet = DEFAULT_CHARSET;
        return fallback;
    }
    // The system's metrics are for the system's dpi.
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(systemDpi()));
    return font;
}

int systemMetric(int index, UINT dpi)
{
    static const auto metricForDpi
        = user32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (metricForDpi != nullptr)
        return metricForDpi(index, dpi);
    return GetSystemMetrics(index);
}

} // namespace tavrel::win32
