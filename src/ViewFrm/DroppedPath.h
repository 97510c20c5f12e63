#pragma once

#include <optional>
#include <string>

class QMimeData;
class QUrl;

namespace duoptic {

// The path of a file or folder of this machine that a URI names, as bytes: a file manager
// percent-encodes names that are not UTF-8, and decoding the encoded form keeps them exactly.
// Nothing for any other URI.
std::optional<std::string> localPathOf(const QUrl& url);

// The path of the first of the URIs dropped, when it is one of this machine's.
std::optional<std::string> droppedPath(const QMimeData* data);

} // namespace duoptic
