#include "exporting/JpegWrite.h"

#include <cstdint>
#include <memory>

#include <turbojpeg.h>

namespace duoptic {

namespace {

struct HandleDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Handle = std::unique_ptr<void, HandleDeleter>;

struct BufferDeleter {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};
using Buffer = std::unique_ptr<unsigned char, BufferDeleter>;

// What TurboJPEG reads from the header; nothing where it cannot read it or its sampling is none
// it names.
struct Header {
    int width = 0;
    int height = 0;
    int subsampling = -1; // TJSAMP_*
};

std::optional<Header> readHeader(tjhandle handle, std::span<const std::uint8_t> jpeg) {
    Header header;
    int colorspace = 0;
    if (handle == nullptr || jpeg.empty() ||
        tjDecompressHeader3(handle, jpeg.data(), static_cast<unsigned long>(jpeg.size()),
                            &header.width, &header.height, &header.subsampling, &colorspace) != 0 ||
        header.subsampling < 0 || header.subsampling >= TJ_NUMSAMP) {
        return std::nullopt;
    }
    return header;
}

} // namespace

ChromaSampling chromaSamplingOf(std::span<const std::uint8_t> jpeg) {
    const Handle handle(tjInitDecompress());
    const std::optional<Header> header = readHeader(handle.get(), jpeg);
    if (!header) {
        return ChromaSampling::Other;
    }
    switch (header->subsampling) {
    case TJSAMP_444:
        return ChromaSampling::S444;
    case TJSAMP_422:
        return ChromaSampling::S422;
    case TJSAMP_420:
        return ChromaSampling::S420;
    case TJSAMP_440:
        return ChromaSampling::S440;
    case TJSAMP_GRAY:
        return ChromaSampling::Grey;
    default:
        return ChromaSampling::Other;
    }
}

McuSize mcuSizeOf(ChromaSampling sampling) {
    switch (sampling) {
    case ChromaSampling::S444:
    case ChromaSampling::Grey:
        return {8, 8};
    case ChromaSampling::S422:
        return {16, 8};
    case ChromaSampling::S440:
        return {8, 16};
    case ChromaSampling::S420:
    case ChromaSampling::Other:
        break;
    }
    return {16, 16};
}

std::optional<std::vector<std::uint8_t>>
cropJpegLosslessly(std::span<const std::uint8_t> jpeg, int left, int top, int width, int height) {
    const Handle handle(tjInitTransform());
    const std::optional<Header> header = readHeader(handle.get(), jpeg);
    if (!header || left < 0 || top < 0 || width <= 0 || height <= 0 ||
        width > header->width - left || height > header->height - top) {
        return std::nullopt;
    }
    // The blocks of the header's own sampling: 4:1:1 has wider ones than any ChromaSampling.
    if (left % tjMCUWidth[header->subsampling] != 0 ||
        top % tjMCUHeight[header->subsampling] != 0) {
        return std::nullopt;
    }
    tjtransform transform{};
    transform.r = tjregion{left, top, width, height};
    transform.op = TJXOP_NONE;
    transform.options = TJXOPT_CROP | TJXOPT_COPYNONE;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    // At most as many scans as any encoder writes, as the decoder bounds them.
    const int failed =
        tjTransform(handle.get(), jpeg.data(), static_cast<unsigned long>(jpeg.size()), 1, &out,
                    &outSize, &transform, TJFLAG_LIMITSCANS);
    const Buffer owned(out);
    if (failed != 0 || out == nullptr) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(out, out + outSize);
}

} // namespace duoptic
