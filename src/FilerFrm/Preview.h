#pragma once

#include <QImage>
#include <QSize>

#include <string>

namespace duoptic {

inline constexpr QSize kPreviewSize{167, 167};

// The whole picture of the JPEG file at `path` (bytes), stretched over `size` without keeping its
// aspect and without smoothing. Decoded afresh on every call; a file that cannot be read or
// decoded throws duoptic::Error.
QImage previewImage(const std::string& path, QSize size = kPreviewSize);

} // namespace duoptic
