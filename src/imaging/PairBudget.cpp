#include "imaging/PairBudget.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "imaging/Orientation.h"

#include <algorithm>

#include <cstdio> // jpeglib.h needs FILE and size_t declared first

#include <jerror.h>
#include <jpeglib.h>

namespace duoptic {

namespace {

std::uint64_t pictureBytes(PixelFormat format, int width, int height) {
    return static_cast<std::uint64_t>(Picture::strideFor(format, width)) *
           static_cast<std::uint64_t>(height);
}

// The most one picture takes while it is decoded and then turned: the turned copy is made once
// libjpeg has let go of its coefficients, but while the decoder still holds the picture.
std::uint64_t peakOf(const JpegDecoder& decoder, int orientation) {
    if (orientation == kUpright) {
        return decoder.decodeMemory();
    }
    const PixelFormat format = decoder.outputFormat();
    const std::uint64_t picture = pictureBytes(format, decoder.width(), decoder.height());
    const std::uint64_t turned = turnsAQuarter(orientation)
                                     ? pictureBytes(format, decoder.height(), decoder.width())
                                     : picture;
    return std::max(decoder.decodeMemory(), picture + turned);
}

} // namespace

void checkPairBudget(const JpegDecoder& first, const JpegDecoder* second, int orientation) {
    // The eyes are decoded and turned on two threads at once, so each may be at its peak.
    const std::uint64_t need =
        peakOf(first, orientation) + (second ? peakOf(*second, orientation) : 0);
    if (need > kPairDecodeBudget) {
        throw Error(messages::jpegError(JERR_IMAGE_TOO_BIG));
    }
}

} // namespace duoptic
