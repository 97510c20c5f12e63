#include "imaging/PairBudget.h"

#include "base/Error.h"
#include "base/Messages.h"

#include <cstdio> // jpeglib.h needs FILE and size_t declared first

#include <jerror.h>
#include <jpeglib.h>

namespace duoptic {

void checkPairBudget(const JpegDecoder& first, const JpegDecoder* second) {
    const std::uint64_t need = first.decodeMemory() + (second ? second->decodeMemory() : 0);
    if (need > kPairDecodeBudget) {
        throw Error(messages::jpegError(JERR_IMAGE_TOO_BIG));
    }
}

} // namespace duoptic
