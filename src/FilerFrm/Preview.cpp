#include "FilerFrm/Preview.h"

#include "imaging/JpegDecoder.h"
#include "imaging/Raster.h"
#include "imaging/Stretch.h"

#include <cstdint>

namespace duoptic {

QImage previewImage(const std::string& path, QSize size) {
    JpegDecoder decoder;
    decoder.readFile(path);
    const Raster raster = Raster::whole(decoder.picture());
    QImage image(size, QImage::Format_RGB32);
    // A picture without pixels leaves the background grey a panel shows where there is no image.
    image.fill(kBackgroundGrey);
    stretchRaster(raster, Rect{0, 0, raster.width(), raster.height()},
                  reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(),
                  static_cast<int>(image.bytesPerLine()));
    return image;
}

} // namespace duoptic
