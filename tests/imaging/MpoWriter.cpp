#include "MpoWriter.h"

namespace duoptic::testing {

namespace {

class TiffWriter {
public:
    explicit TiffWriter(bool bigEndian) : bigEndian_(bigEndian) {}

    void u16(std::uint32_t v) { put(v, 2); }
    void u32(std::uint32_t v) { put(v, 4); }
    void header() {
        bytes_.push_back(bigEndian_ ? 'M' : 'I');
        bytes_.push_back(bigEndian_ ? 'M' : 'I');
        u16(42);
        u32(8);
    }
    void field(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
        u16(tag);
        u16(type);
        u32(count);
        u32(value);
    }
    void version() { // MPFVersion "0100", four bytes in the field itself
        u16(0xB000);
        u16(7);
        u32(4);
        for (const char c : {'0', '1', '0', '0'}) {
            bytes_.push_back(static_cast<std::uint8_t>(c));
        }
    }
    // An MP Attribute IFD, ended by the link 0.
    void attributeIfd(const MpoImage& image) {
        u16(image.individualNumber ? 2 : 1);
        version();
        if (image.individualNumber) {
            field(0xB101, 4, 1, *image.individualNumber);
        }
        u32(0);
    }
    std::size_t size() const { return bytes_.size(); }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    void put(std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) {
            const int shift = bigEndian_ ? 8 * (n - 1 - i) : 8 * i;
            bytes_.push_back(static_cast<std::uint8_t>(v >> shift));
        }
    }
    std::vector<std::uint8_t> bytes_;
    bool bigEndian_;
};

constexpr std::size_t kSegmentHead = 2 + 2 + 2 + 4; // SOI, APP2 marker, length, "MPF\0"

std::vector<std::uint8_t> withSegment(const std::vector<std::uint8_t>& jpeg,
                                      const std::vector<std::uint8_t>& tiff) {
    const std::size_t length = 2 + 4 + tiff.size();
    const std::uint8_t head[] = {0xFF,
                                 0xE2,
                                 static_cast<std::uint8_t>(length >> 8),
                                 static_cast<std::uint8_t>(length),
                                 'M',
                                 'P',
                                 'F',
                                 0};
    std::vector<std::uint8_t> out;
    out.reserve(jpeg.size() + sizeof head + tiff.size());
    out.push_back(jpeg[0]); // SOI
    out.push_back(jpeg[1]);
    for (const std::uint8_t b : head) {
        out.push_back(b);
    }
    out.insert(out.end(), tiff.begin(), tiff.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

std::vector<std::uint8_t> indexTiff(const std::vector<MpoImage>& images,
                                    const std::vector<std::uint32_t>& sizes,
                                    const std::vector<std::uint32_t>& offsets,
                                    const MpoOptions& options) {
    const auto count = static_cast<std::uint32_t>(images.size());
    TiffWriter t(options.bigEndian);
    t.header();
    t.u16(3);
    t.version();
    t.field(0xB001, 4, 1, options.claimedCount.value_or(count));
    t.field(0xB002, 7, 16 * count, static_cast<std::uint32_t>(kEntriesAt));
    t.u32(static_cast<std::uint32_t>(kEntriesAt + 16 * count)); // the attribute IFD
    for (std::size_t i = 0; i < images.size(); ++i) {
        t.u32(images[i].attributes);
        t.u32(sizes[i]);
        t.u32(offsets[i]);
        t.u32(0); // no dependent images
    }
    t.attributeIfd(images[0]);
    return t.take();
}

} // namespace

Mpo writeMpo(const std::vector<MpoImage>& images, const MpoOptions& options) {
    // Every segment's size is known before the offsets: lay out with zeros, then for real.
    std::vector<std::vector<std::uint8_t>> parts(images.size());
    for (std::size_t i = 1; i < images.size(); ++i) {
        TiffWriter t(options.bigEndian);
        t.header();
        t.attributeIfd(images[i]);
        parts[i] = withSegment(images[i].jpeg, t.take());
    }
    const std::vector<std::uint32_t> zeros(images.size(), 0);
    const std::size_t firstSize =
        withSegment(images[0].jpeg, indexTiff(images, zeros, zeros, options)).size();
    Mpo mpo;
    mpo.tiffStart = kSegmentHead;
    std::vector<std::uint32_t> sizes{static_cast<std::uint32_t>(firstSize)};
    std::vector<std::uint32_t> offsets{0};
    std::size_t at = firstSize;
    for (std::size_t i = 1; i < images.size(); ++i) {
        sizes.push_back(static_cast<std::uint32_t>(parts[i].size()));
        offsets.push_back(static_cast<std::uint32_t>(at - mpo.tiffStart));
        at += parts[i].size();
    }
    parts[0] = withSegment(images[0].jpeg, indexTiff(images, sizes, offsets, options));
    for (std::size_t i = 0; i < parts.size(); ++i) {
        mpo.starts.push_back(mpo.bytes.size());
        mpo.bytes.insert(mpo.bytes.end(), parts[i].begin(), parts[i].end());
    }
    return mpo;
}

void patchIndex(Mpo& mpo, std::size_t at, std::uint32_t value, bool bigEndian) {
    for (int i = 0; i < 4; ++i) {
        const int shift = bigEndian ? 8 * (3 - i) : 8 * i;
        mpo.bytes[mpo.tiffStart + at + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(value >> shift);
    }
}

} // namespace duoptic::testing
