#include "GifFrames.h"

#include "WicDecoder.h"

#include <propvarutil.h>

namespace tandrel::win {
namespace {

// GIF's disposal methods: what happens to a frame's area before the next is drawn.
constexpr unsigned kRestoreBackground = 2, kRestorePrevious = 3;

unsigned Number(IWICMetadataQueryReader* reader, const wchar_t* name, unsigned fallback) {
  if (!reader) return fallback;
  PROPVARIANT value;
  PropVariantInit(&value);
  unsigned result = fallback;
  if (SUCCEEDED(reader->GetMetadataByName(name, &value))) {
    if (value.vt == VT_UI1) result = value.bVal;
    if (value.vt == VT_UI2) result = value.uiVal;
  }
  PropVariantClear(&value);
  return result;
}

struct FrameFacts {
  int left = 0, top = 0, width = 0, height = 0;
  unsigned delayHundredths = 0;
  unsigned disposal = 0;
};

FrameFacts FactsOf(IWICBitmapFrameDecode& frame, Gdiplus::Bitmap& drawn) {
  ComPtr<IWICMetadataQueryReader> reader;
  frame.GetMetadataQueryReader(reader.GetAddressOf());
  FrameFacts facts;
  facts.left = static_cast<int>(Number(reader.Get(), L"/imgdesc/Left", 0));
  facts.top = static_cast<int>(Number(reader.Get(), L"/imgdesc/Top", 0));
  facts.width = static_cast<int>(drawn.GetWidth());
  facts.height = static_cast<int>(drawn.GetHeight());
  facts.delayHundredths = Number(reader.Get(), L"/grctlext/Delay", 0);
  facts.disposal = Number(reader.Get(), L"/grctlext/Disposal", 0);
  return facts;
}

Picture Copy(Gdiplus::Bitmap& picture) {
  Picture copy = BlankPicture(static_cast<int>(picture.GetWidth()), static_cast<int>(picture.GetHeight()));
  Gdiplus::Graphics graphics(copy.get());
  graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
  Draw(graphics, picture, 0, 0);
  return copy;
}

}  // namespace

std::vector<AnimationFrame> DecodeAnimation(std::span<const std::uint8_t> bytes) {
  std::vector<AnimationFrame> frames;
  WicSource source = OpenPicture(bytes);
  if (!source.decoder) return frames;
  UINT count = 0;
  if (FAILED(source.decoder->GetFrameCount(&count)) || count == 0) return frames;

  ComPtr<IWICMetadataQueryReader> screen;
  source.decoder->GetMetadataQueryReader(screen.GetAddressOf());
  Picture canvas;
  FrameFacts previous;
  Picture beforePrevious;  // the canvas as it was before the previous frame, for its disposal
  for (UINT i = 0; i < count; ++i) {
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(source.decoder->GetFrame(i, frame.GetAddressOf()))) break;
    Picture drawn = FramePicture(*source.factory.Get(), *frame.Get());
    if (!drawn) break;
    const FrameFacts facts = FactsOf(*frame.Get(), *drawn);
    if (!canvas) {
      const int width = static_cast<int>(Number(screen.Get(), L"/logscrdesc/Width", drawn->GetWidth()));
      const int height = static_cast<int>(Number(screen.Get(), L"/logscrdesc/Height", drawn->GetHeight()));
      canvas = BlankPicture(width, height);
    } else if (previous.disposal == kRestorePrevious && beforePrevious) {
      canvas = std::move(beforePrevious);
    } else if (previous.disposal == kRestoreBackground) {
      Gdiplus::Graphics graphics(canvas.get());
      graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
      Gdiplus::SolidBrush clear(Gdiplus::Color(0, 0, 0, 0));
      graphics.FillRectangle(&clear, previous.left, previous.top, previous.width, previous.height);
    }
    if (facts.disposal == kRestorePrevious) beforePrevious = Copy(*canvas);
    {
      Gdiplus::Graphics graphics(canvas.get());
      Draw(graphics, *drawn, facts.left, facts.top);
    }
    frames.push_back({Copy(*canvas), std::chrono::milliseconds(facts.delayHundredths * 10)});
    previous = facts;
  }
  return frames;
}

}  // namespace tandrel::win
