#include "win32/stamp_picture.h"

#include "core/form1_description.h"

#include "resources/windows/resource_ids.h"

#include <wincodec.h>

namespace tavrel::win32 {

namespace {

constexpr int naturalSide = core::twipsToPixels(core::stampSideTwips);

using win32::ComPtr;

// `picture` scaled to `side` pixels square. Fant is the interpolation that
// averages every source pixel when shrinking, available on every Windows
// since Vista.
ComPtr<IWICBitmapSource> scaledPicture(IWICImagingFactory &factory, HBITMAP picture, int side)
{
    ComPtr<IWICBitmap> source;
    ComPtr<IWICBitmapScaler> scaler;
    ComPtr<IWICBitmapSource> scaled;
    const auto wanted = static_cast<UINT>(side);
    if (FAILED(
            factory.CreateBitmapFromHBITMAP(picture, nullptr, WICBitmapIgnoreAlpha, source.put()))
        || FAILED(factory.CreateBitmapScaler(scaler.put()))
        || FAILED(scaler->Initialize(source.get(), wanted, wanted, WICBitmapInterpolationModeFant))
        || FAILED(scaler->QueryInterface(IID_IWICBitmapSource, scaled.putVoid())))
        return {};
    return scaled;
}

// A top-down 24-bit DIB section holding `picture`.
win32::UniqueBitmap dibSectionOf(IWICBitmapSource &picture, int side)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side; // rows from the top, as WIC writes them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    win32::UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap == nullptr || bits == nullptr)
        return {};
    // DIB rows are padded to whole 32-bit words.
    const auto stride = static_cast<UINT>((side * 3 + 3) / 4 * 4);
    const UINT size = stride * static_cast<UINT>(side);
    if (FAILED(picture.CopyPixels(nullptr, stride, size, static_cast<BYTE *>(bits))))
        return {};
    GdiFlush();
    return bitmap;
}

// The stamp drawn at `side` pixels square or more: the 2x drawing above
// the natural size. A DIB section, as the resource holds it.
win32::UniqueBitmap drawingFor(HINSTANCE resources, int side)
{
    const int id = side > naturalSide ? TAVREL_STAMP_BITMAP_2X : TAVREL_STAMP_BITMAP;
    return win32::UniqueBitmap(static_cast<HBITMAP>(
        LoadImageW(resources, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

int widthOf(HBITMAP bitmap)
{
    BITMAP facts{};
    return GetObjectW(bitmap, sizeof facts, &facts) == sizeof facts ? facts.bmWidth : 0;
}

} // namespace

int stampSide(UINT dpi)
{
    return core::twipsToPixels(core::stampSideTwips, static_cast<int>(dpi));
}

win32::UniqueBitmap loadStampPicture(HINSTANCE resources, UINT dpi)
{
    const int side = stampSide(dpi);
    win32::UniqueBitmap drawing = drawingFor(resources, side);
    if (drawing == nullptr || widthOf(drawing.get()) == side)
        return drawing;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.putVoid())))
        return {};
    const ComPtr<IWICBitmapSource> picture = scaledPicture(*factory.get(), drawing.get(), side);
    if (!picture)
        return {};
    return dibSectionOf(*picture.get(), side);
}

} // namespace tavrel::win32
