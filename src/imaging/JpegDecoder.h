#pragma once

#include "base/FileIdentity.h"
#include "base/FileRead.h"
#include "imaging/ByteRange.h"
#include "imaging/DecodeCancelled.h"
#include "imaging/Picture.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace duoptic {

// Limits that keep a hostile or broken file from exhausting memory or time. A file beyond them
// fails with a JPEG error, as if libjpeg itself had refused it.
// libjpeg's own buffers are capped by decoderMemoryLimit() (DecoderMemory.h), from the header.
constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 28; // 268 Mpixel, 1 GiB as Xrgb32
constexpr int kMaxScans = 1000;                                     // of a multi-scan file

// Holds the bytes of the file it read last and decodes them, once, when the picture is first
// needed. Colour files give Xrgb32 pictures, greyscale files Indexed8 with libjpeg's 236 grey
// levels. Errors are duoptic::Error: "cannot open" for the file, "JPEG error #n" with libjpeg's
// message number for the data. Unless the decoder is quiet, a fatal error also writes libjpeg's
// own text for it to standard error, for whoever looks into the file; libjpeg's warnings are
// ignored.
class JpegDecoder {
public:
    JpegDecoder();
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    // Reads the whole file, closes it and reads the JPEG header. A file of zero bytes is accepted
    // as 0 x 0 and fails at picture() with libjpeg's error for empty input. A file whose header is
    // refused is let go of at once: a refused file may be as large as the read allows. The cancel
    // flag stops the read too, between chunks of a few megabytes: DecodeCancelled.
    void readFile(const std::string& path);
    // The same for bytes already in memory.
    void readMemory(std::vector<std::uint8_t> bytes);
    // The same for one JPEG image at `range` of a file held in memory, as each view of an MPO
    // file is: several decoders may share the file, which lives as long as one of them holds
    // it. Nothing is copied. A range beyond the end of the file is cut at the end.
    void readShared(std::shared_ptr<const FileBytes> file, ByteRange range);

    // The identity of the file read last by readFile, taken from the open file; nothing after
    // readMemory or readShared, or after a failed read.
    const std::optional<FileIdentity>& fileIdentity() const { return identity_; }

    // A flag that another thread may set to stop the decoding in picture() soon: it is looked at
    // between batches of rows and while libjpeg reads the scans of a multi-scan file, and when
    // set, picture() throws DecodeCancelled and holds no picture. Clearing the flag lets the
    // next call decode from the start. The flag must outlive the decodes; null: none.
    void setCancel(const std::atomic<bool>* flag) { cancel_ = flag; }

    // How far the decode of the bytes read last has come, in thousandths: 1000 once decoded.
    // Another thread may look while picture() runs.
    int progress() const { return progress_.load(std::memory_order_relaxed); }

    // For a decoder whose failures no one is shown (a decode ahead of need): its errors are thrown
    // as ever, but nothing is written to standard error.
    void setQuiet(bool quiet) { quiet_ = quiet; }

    // The JPEG data read last (one image of a shared file), for a look at its headers; empty
    // after a failed read or releaseMemory().
    std::span<const std::uint8_t> bytes() const { return {bytes_, size_}; }

    int width() const { return width_; }   // from the header; 0 before a successful read
    int height() const { return height_; } // from the header; 0 before a successful read

    // The memory that decoding the bytes read last takes, known from the header: the picture in
    // its output format, and for a progressive or other multi-scan file libjpeg's coefficients of
    // the whole picture, which it holds at the same time. 0 before a successful read.
    std::uint64_t decodeMemory() const { return decodeMemory_; }
    // The format the picture decodes to, known from the header.
    PixelFormat outputFormat() const { return format_; }

    // Lets go of the file, the picture and the buffers kept for reuse: for a decoder whose work
    // was dropped, so that its memory goes back at once.
    void releaseMemory();

    // Decodes on the first call after a read and returns the same picture until the next read.
    // After a failure the decoder holds no picture and the next call tries again.
    std::shared_ptr<const Picture> picture();

private:
    void forgetPicture();
    void forgetBytes();
    void releaseBytes();     // forgets them and gives their buffer back
    void readHeaderOfData(); // of the bytes read last: sets the size, or throws
    void keepSpare(std::shared_ptr<Picture> picture);
    // A picture of that size to decode into; fresh tells whether its buffer is new.
    std::shared_ptr<Picture> takeTarget(PixelFormat format, int width, int height, bool& fresh);

    FileBytes data_;                          // the file read last, unless it is shared
    std::vector<std::uint8_t> memory_;        // the bytes given to readMemory
    std::shared_ptr<const FileBytes> shared_; // the file shared, or null
    const std::uint8_t* bytes_ = nullptr;     // the JPEG data within data_, memory_ or *shared_
    std::size_t size_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::uint64_t decodeMemory_ = 0;
    PixelFormat format_ = PixelFormat::Xrgb32;
    bool quiet_ = false;
    std::optional<FileIdentity> identity_;
    const std::atomic<bool>* cancel_ = nullptr;
    std::atomic<int> progress_{0};
    std::shared_ptr<Picture> picture_; // decoded from the bytes read last, or null
    // The previous picture. Its buffer takes the next decode if no raster holds it by then.
    std::array<std::shared_ptr<Picture>, 2> spares_;
};

} // namespace duoptic
