#include "Pictures.h"

#include "GdiHandles.h"
#include "WicDecoder.h"

#include "platform/windows/WideText.h"

#include <stdexcept>
#include <string>

namespace tandrel::win {

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  const Gdiplus::Status status = Gdiplus::GdiplusStartup(&token_, &input, nullptr);
  if (status != Gdiplus::Ok) throw std::runtime_error("GDI+ cannot start (status " + std::to_string(status) + ").");
}

GdiplusSession::~GdiplusSession() { Gdiplus::GdiplusShutdown(token_); }

Picture BlankPicture(int width, int height) {
  auto picture = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB);
  if (picture->GetLastStatus() != Gdiplus::Ok) throw std::runtime_error("Out of memory for a picture.");
  Gdiplus::Graphics(picture.get()).Clear(Gdiplus::Color(0, 0, 0, 0));
  return picture;
}

WicSource OpenPicture(std::span<const std::uint8_t> bytes) {
  WicSource source;
  HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(source.factory.GetAddressOf()));
  if (FAILED(result)) {
    throw std::runtime_error("The picture decoder is not available. " +
                             platform::SystemErrorText(static_cast<DWORD>(result)));
  }
  result = source.factory->CreateStream(source.stream.GetAddressOf());
  if (FAILED(result)) throw std::runtime_error("Out of memory for a picture.");
  // WIC only reads the bytes, whatever its signature says.
  result = source.stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
  if (FAILED(result)) throw std::runtime_error("Out of memory for a picture.");
  if (FAILED(source.factory->CreateDecoderFromStream(source.stream.Get(), nullptr, WICDecodeMetadataCacheOnLoad,
                                                     source.decoder.GetAddressOf()))) {
    source.decoder.Reset();
  }
  return source;
}

Picture FramePicture(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame) {
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory.CreateFormatConverter(converter.GetAddressOf()))) return nullptr;
  if (FAILED(converter->Initialize(&frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return nullptr;
  }
  UINT width = 0, height = 0;
  if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0) return nullptr;
  Picture picture = BlankPicture(static_cast<int>(width), static_cast<int>(height));
  Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
  Gdiplus::BitmapData data{};
  HRESULT copied = E_FAIL;
  {
    const LockedBits locked(*picture, all, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, data);
    if (!locked.Locked()) return nullptr;
    const UINT stride = static_cast<UINT>(data.Stride);
    copied = converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(data.Scan0));
  }
  return SUCCEEDED(copied) ? std::move(picture) : nullptr;
}

Picture DecodePicture(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return nullptr;
  WicSource source = OpenPicture(bytes);
  if (!source.decoder) return nullptr;
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(source.decoder->GetFrame(0, frame.GetAddressOf()))) return nullptr;
  return FramePicture(*source.factory.Get(), *frame.Get());
}

Picture Scaled(Gdiplus::Bitmap& source, int width, int height) {
  Picture picture = BlankPicture(width, height);
  Gdiplus::Graphics graphics(picture.get());
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
  // Clamped edges: the picture's border pixels are not blended with the transparent outside.
  Gdiplus::ImageAttributes clamp;
  clamp.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  graphics.DrawImage(&source, Gdiplus::Rect(0, 0, width, height), 0, 0, static_cast<INT>(source.GetWidth()),
                     static_cast<INT>(source.GetHeight()), Gdiplus::UnitPixel, &clamp);
  return picture;
}

void Draw(Gdiplus::Graphics& graphics, Gdiplus::Bitmap& picture, int left, int top) {
  DrawStretched(graphics, picture, left, top, static_cast<int>(picture.GetWidth()),
                static_cast<int>(picture.GetHeight()));
}

void DrawStretched(Gdiplus::Graphics& graphics, Gdiplus::Bitmap& picture, int left, int top, int width, int height) {
  graphics.DrawImage(&picture, left, top, width, height);
}

}  // namespace tandrel::win
