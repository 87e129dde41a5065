#include "win32/stamp_picture.h"

#include "core/form1_description.h"

#include "resources/windows/resource_ids.h"

#include <wincodec.h>

#include <span>

namespace tavrel::win32 {

namespace {

constexpr int naturalSide = core::twipsToPixels(core::stampSideTwips);

// The bytes of an RCDATA resource; they stay mapped as long as the module.
std::span<const BYTE> resourceBytes(HINSTANCE module, int id)
{
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    if (found == nullptr)
        return {};
    const HGLOBAL loaded = LoadResource(module, found);
    const void *bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        return {};
    return {static_cast<const BYTE *>(bytes), SizeofResource(module, found)};
}

using win32::ComPtr;

// Decodes the JPEG into 24-bit BGR, scaled to `side` pixels square where its
// own size differs.
ComPtr<IWICBitmapSource> decodedPicture(IWICImagingFactory &factory, std::span<const BYTE> jpeg,
                                        int side)
{
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    // The stream only reads the resource; the API is not const-correct.
    if (FAILED(factory.CreateStream(stream.put()))
        || FAILED(stream->InitializeFromMemory(const_cast<BYTE *>(jpeg.data()),
                                               static_cast<DWORD>(jpeg.size())))
        || FAILED(factory.CreateDecoderFromStream(stream.get(), nullptr,
                                                  WICDecodeMetadataCacheOnDemand, decoder.put()))
        || FAILED(decoder->GetFrame(0, frame.put()))
        || FAILED(factory.CreateFormatConverter(converter.put()))
        || FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat24bppBGR,
                                        WICBitmapDitherTypeNone, nullptr, 0.0,
                                        WICBitmapPaletteTypeCustom)))
        return {};

    UINT width = 0;
    UINT height = 0;
    ComPtr<IWICBitmapSource> result;
    if (FAILED(converter->QueryInterface(IID_IWICBitmapSource, result.putVoid()))
        || FAILED(converter->GetSize(&width, &height)))
        return {};
    const auto wanted = static_cast<UINT>(side);
    if (width == wanted && height == wanted)
        return result;

    ComPtr<IWICBitmapScaler> scaler;
    ComPtr<IWICBitmapSource> scaled;
    // Fant is the interpolation that averages every source pixel when
    // shrinking, available on every Windows since Vista.
    if (FAILED(factory.CreateBitmapScaler(scaler.put()))
        || FAILED(scaler->Initialize(result.get(), wanted, wanted, WICBitmapInterpolationModeFant))
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

} // namespace

int stampSide(UINT dpi)
{
    return core::twipsToPixels(core::stampSideTwips, static_cast<int>(dpi));
}

win32::UniqueBitmap loadStampPicture(HINSTANCE resources, UINT dpi)
{
    const int side = stampSide(dpi);
    const auto jpeg
        = resourceBytes(resources, side > naturalSide ? TAVREL_STAMP_JPEG_2X : TAVREL_STAMP_JPEG);
    ComPtr<IWICImagingFactory> factory;
    if (jpeg.empty()
        || FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, factory.putVoid())))
        return {};
    const ComPtr<IWICBitmapSource> picture = decodedPicture(*factory.get(), jpeg, side);
    if (!picture)
        return {};
    return dibSectionOf(*picture.get(), side);
}

} // namespace tavrel::win32
