#include "app/badge_win32.h"

#include <wincodec.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace tavenro {

namespace {

// Holds one COM interface and releases it.
template <class Interface> class ComRef {
  public:
    ComRef() = default;
    ~ComRef() {
        if (p_)
            p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    Interface* operator->() const { return p_; }
    Interface** Receive() { return &p_; }
    [[nodiscard]] Interface* Get() const { return p_; }

  private:
    Interface* p_ = nullptr;
};

// A memory DC with one bitmap selected, restored and deleted on leaving.
class BitmapDc {
  public:
    BitmapDc(HDC like, HBITMAP bitmap)
        : dc_(CreateCompatibleDC(like)), old_(dc_ ? SelectObject(dc_, bitmap) : nullptr) {}
    ~BitmapDc() {
        if (dc_) {
            SelectObject(dc_, old_);
            DeleteDC(dc_);
        }
    }
    BitmapDc(const BitmapDc&) = delete;
    BitmapDc& operator=(const BitmapDc&) = delete;

    [[nodiscard]] HDC Get() const { return dc_; }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

struct Pixels {
    UINT width = 0;
    UINT height = 0;
    std::vector<std::uint8_t> bgra; // premultiplied, rows top-down
};

bool Decode(const void* png, DWORD size, Pixels& out) {
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.Receive()))) ||
        FAILED(factory->CreateStream(stream.Receive())) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(png)), size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnLoad,
                                                decoder.Receive())) ||
        FAILED(decoder->GetFrame(0, frame.Receive())) ||
        FAILED(factory->CreateFormatConverter(converter.Receive())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&out.width, &out.height)))
        return false;
    out.bgra.resize(std::size_t{out.width} * out.height * 4);
    return SUCCEEDED(converter->CopyPixels(nullptr, out.width * 4,
                                           static_cast<UINT>(out.bgra.size()), out.bgra.data()));
}

// Premultiplied pixels over an opaque ground: p + ground * (1 - alpha).
void LayOver(Pixels& pixels, COLORREF ground) {
    const std::uint8_t groundBgr[3] = {GetBValue(ground), GetGValue(ground), GetRValue(ground)};
    for (std::size_t i = 0; i < pixels.bgra.size(); i += 4) {
        const unsigned alpha = pixels.bgra[i + 3];
        for (int c = 0; c < 3; ++c)
            pixels.bgra[i + c] =
                static_cast<std::uint8_t>(pixels.bgra[i + c] + groundBgr[c] * (255 - alpha) / 255);
        pixels.bgra[i + 3] = 255;
    }
}

} // namespace

BadgePicture::~BadgePicture() {
    if (bitmap_)
        DeleteObject(bitmap_);
}

BadgePicture::BadgePicture(BadgePicture&& other) noexcept
    : bitmap_(std::exchange(other.bitmap_, nullptr)), size_(other.size_) {}

BadgePicture& BadgePicture::operator=(BadgePicture&& other) noexcept {
    std::swap(bitmap_, other.bitmap_);
    std::swap(size_, other.size_);
    return *this;
}

BadgePicture BadgePicture::Load(HINSTANCE module, int resourceId, COLORREF ground) {
    BadgePicture picture;
    HRSRC resource =
        FindResourceA(module, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* png = loaded ? LockResource(loaded) : nullptr;
    Pixels pixels;
    if (!png || !Decode(png, SizeofResource(module, resource), pixels))
        return picture;
    LayOver(pixels, ground);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(pixels.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(pixels.height); // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return picture;
    std::memcpy(bits, pixels.bgra.data(), pixels.bgra.size());
    picture.bitmap_ = bitmap;
    picture.size_ = {static_cast<LONG>(pixels.width), static_cast<LONG>(pixels.height)};
    return picture;
}

void BadgePicture::Draw(HDC dc, int x, int y) const {
    if (!bitmap_)
        return;
    const BitmapDc source(dc, bitmap_);
    if (source.Get())
        BitBlt(dc, x, y, size_.cx, size_.cy, source.Get(), 0, 0, SRCCOPY);
}

} // namespace tavenro
