// WIC's side of decoding: a decoder over bytes in memory, and one decoded frame
// copied into a picture.
#pragma once

#include "Pictures.h"

#include <wincodec.h>
#include <wrl/client.h>

namespace tandrel::win {

using Microsoft::WRL::ComPtr;

struct WicSource {
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
};

// Empty decoder when the bytes hold no picture WIC knows; the bytes must outlive it.
// Throws std::runtime_error when WIC itself cannot be reached.
WicSource OpenPicture(std::span<const std::uint8_t> bytes);

// The frame as 32-bit premultiplied colour; nullptr when WIC cannot convert it.
Picture FramePicture(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame);

}  // namespace tandrel::win
