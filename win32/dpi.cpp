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
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI *)(LPRECT, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI *)(UINT, UINT, PVOID, UINT, UINT);
using GetSystemMetricsForDpiFunction = int(WINAPI *)(int, UINT);

UINT systemDpi()
{
    const WindowDC screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? static_cast<UINT>(dpi) : standardDpi;
}

} // namespace

UINT dpiForWindow(HWND window)
{
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        if (const UINT dpi = getDpiForWindow(window); dpi != 0)
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
