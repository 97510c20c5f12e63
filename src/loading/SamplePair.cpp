#include "loading/SamplePair.h"

#include "resources/Resources.h"

#include <QFile>

#include <cstdint>
#include <vector>

namespace duoptic {

namespace {

Raster sampleImage(JpegDecoder& decoder, const char* resource) {
    QFile file(QString::fromLatin1(resource));
    std::vector<std::uint8_t> bytes;
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray read = file.readAll();
        bytes.assign(read.begin(), read.end());
    }
    decoder.readMemory(std::move(bytes));
    return Raster::whole(decoder.picture());
}

} // namespace

PairRasters decodeSamplePair(JpegDecoder& left, JpegDecoder& right) {
    PairRasters pair;
    pair.left = sampleImage(left, resources::kSampleLeft);
    pair.right = sampleImage(right, resources::kSampleRight);
    return pair;
}

} // namespace duoptic
