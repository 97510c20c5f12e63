#include "imaging/JpegDecoder.h"

#include "base/Error.h"
#include "base/FileRead.h"
#include "base/Messages.h"
#include "imaging/DecoderMemory.h"

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstddef>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <cstdlib>
#include <new>
#include <span>
#include <utility>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace duoptic {

namespace {

// Byte order that makes each pixel one native 0xFFRRGGBB word.
constexpr J_COLOR_SPACE kXrgbColorSpace =
    std::endian::native == std::endian::little ? JCS_EXT_BGRX : JCS_EXT_XRGB;

constexpr int kRowsPerRead = 16;

// What the functions below return for a decode stopped by its cancel flag; libjpeg's message
// numbers are never negative.
constexpr int kCancelled = -1;

// libjpeg hands back a pointer to `manager`; being the first member, it is the trap's address.
struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    int code;
    const char* ownText; // why we refused the file ourselves, or null for libjpeg's own error
    bool quiet;          // nothing is written for a fatal error
};

// The same for the progress monitor, which libjpeg calls often while it reads scans.
struct Progress {
    jpeg_progress_mgr manager;
    const std::atomic<bool>* cancel; // or null
    std::atomic<int>* permille;      // how far the decode is, for whoever waits for it
};

bool cancelled(const std::atomic<bool>* flag) {
    return flag != nullptr && flag->load(std::memory_order_relaxed);
}

// The user sees only the number; the text tells whoever debugs the file what libjpeg found.
void logFatalError(j_common_ptr cinfo, const ErrorTrap& trap) {
    char text[JMSG_LENGTH_MAX] = {};
    if (trap.ownText == nullptr) {
        trap.manager.format_message(cinfo, text);
    }
    std::fprintf(stderr, "%s: %s\n", messages::jpegError(trap.code).c_str(),
                 trap.ownText != nullptr ? trap.ownText : text);
}

[[noreturn]] void leaveLibjpeg(j_common_ptr cinfo) {
    auto* trap = reinterpret_cast<ErrorTrap*>(cinfo->err);
    trap->code = trap->manager.msg_code;
    if (!trap->quiet) {
        logFatalError(cinfo, *trap);
    }
    std::longjmp(trap->jump, 1);
}

void ignoreMessage(j_common_ptr, int) {}
void ignoreOutput(j_common_ptr) {}

// Refuses the file with libjpeg's message number `code`; `why` is logged in place of its text.
[[noreturn]] void failWith(j_common_ptr cinfo, int code, const char* why) {
    reinterpret_cast<ErrorTrap*>(cinfo->err)->ownText = why;
    cinfo->err->msg_code = code;
    cinfo->err->error_exit(cinfo);
    std::abort(); // error_exit never returns
}

// Called while libjpeg absorbs the scans of a multi-scan file, about once a row of blocks, and at
// every read of rows. A file can repeat scans without end at little cost per byte; past any sane
// encoder's count it is refused. The number reported is the one libjpeg gives for an invalid
// progression. A cancelled decode leaves libjpeg the way a fatal error does, without a log.
void watchProgress(j_common_ptr cinfo) {
    const auto* progress = reinterpret_cast<Progress*>(cinfo->progress);
    if (cancelled(progress->cancel)) {
        auto* trap = reinterpret_cast<ErrorTrap*>(cinfo->err);
        trap->code = kCancelled;
        std::longjmp(trap->jump, 1);
    }
    const jpeg_progress_mgr& passes = *cinfo->progress;
    if (passes.total_passes > 0 && passes.pass_limit > 0) {
        const double done = (passes.completed_passes + static_cast<double>(passes.pass_counter) /
                                                           static_cast<double>(passes.pass_limit)) /
                            passes.total_passes;
        progress->permille->store(static_cast<int>(done * 1000), std::memory_order_relaxed);
    }
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        failWith(cinfo, JERR_BAD_PROGRESSION, "more scans than any encoder writes");
    }
}

// One decompression object, destroyed on every path. The functions below that call libjpeg set
// the trap first and keep no C++ object with a destructor, since a fatal error longjmps out of
// libjpeg straight back to their setjmp.
struct Session {
    Session(bool quiet, const std::atomic<bool>* cancel, std::atomic<int>& permille) {
        trap.quiet = quiet;
        cinfo.err = jpeg_std_error(&trap.manager);
        trap.manager.error_exit = &leaveLibjpeg;
        trap.manager.emit_message = &ignoreMessage;
        trap.manager.output_message = &ignoreOutput;
        progress.manager.progress_monitor = &watchProgress;
        progress.cancel = cancel;
        progress.permille = &permille;
    }
    ~Session() { jpeg_destroy_decompress(&cinfo); } // harmless before jpeg_create_decompress
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    jpeg_decompress_struct cinfo{};
    ErrorTrap trap{};
    Progress progress{};
};

// The sampling factors of a header's components, in the form the memory bounds take them.
struct Sampling {
    ComponentSampling components[MAX_COMPONENTS];
    int count;

    explicit Sampling(const jpeg_decompress_struct& c)
        : count(std::min(c.num_components, MAX_COMPONENTS)) {
        for (int i = 0; i < count; ++i) {
            components[i] = {c.comp_info[i].h_samp_factor, c.comp_info[i].v_samp_factor};
        }
    }
    std::span<const ComponentSampling> span() const {
        return {components, static_cast<std::size_t>(count)};
    }
};

// Each returns 0, or the message number of libjpeg's fatal error.

int readHeader(Session& s, const std::uint8_t* data, std::size_t size) {
    if (setjmp(s.trap.jump) != 0) {
        return s.trap.code;
    }
    jpeg_create_decompress(&s.cinfo);
    s.cinfo.progress = &s.progress.manager;
    jpeg_mem_src(&s.cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&s.cinfo, TRUE);
    // libjpeg accepts 65500 x 65500 and would allocate for it. A picture beyond our own bound is
    // refused here, at the header like libjpeg's own size limit, with that limit's number.
    if (std::uint64_t{s.cinfo.image_width} * s.cinfo.image_height > kMaxPicturePixels) {
        failWith(reinterpret_cast<j_common_ptr>(&s.cinfo), JERR_IMAGE_TOO_BIG,
                 "more pixels than the viewer decodes");
    }
    // Bounds the coefficient buffers of progressive files, which libjpeg sizes from the header;
    // only they can grow with the picture, and the header's sampling tells how large they get.
    s.cinfo.mem->max_memory_to_use = static_cast<long>(
        decoderMemoryLimit(s.cinfo.image_width, s.cinfo.image_height, Sampling(s.cinfo).span()));
    return 0;
}

// Sets the decoding parameters and works out the output size, before anything is decoded.
int prepareOutput(Session& s) {
    if (setjmp(s.trap.jump) != 0) {
        return s.trap.code;
    }
    jpeg_decompress_struct& c = s.cinfo;
    c.scale_num = 1;
    c.scale_denom = 1;
    c.dct_method = JDCT_FLOAT;
    c.do_block_smoothing = TRUE;
    c.buffered_image = FALSE;
    switch (c.out_color_space) {
    case JCS_GRAYSCALE:
        c.quantize_colors = TRUE;
        c.desired_number_of_colors = 236;
        c.two_pass_quantize = FALSE;
        break;
    case JCS_CMYK: // CMYK and YCCK: libjpeg gives CMYK, converted to RGB below
        break;
    default:
        c.out_color_space = kXrgbColorSpace;
        break;
    }
    jpeg_calc_output_dimensions(&c);
    return 0;
}

// A progressive or other multi-scan file is read to its end here, before the first row.
int startDecompress(Session& s) {
    if (setjmp(s.trap.jump) != 0) {
        return s.trap.code;
    }
    jpeg_start_decompress(&s.cinfo);
    return 0;
}

std::uint32_t scaleByBlack(std::uint32_t value, std::uint32_t black) {
    return (value * black + 127) / 255;
}

// Adobe files (those with an APP14 marker) store CMYK inverted, so the stored values give RGB
// directly: R = C * K / 255. Other files store plain CMYK, which is inverted first. Converts in
// place: both forms take four bytes a pixel.
void cmykToXrgb(std::uint8_t* row, int width, bool storedInverted) {
    auto* out = reinterpret_cast<std::uint32_t*>(row);
    const std::uint32_t flip = storedInverted ? 0 : 0xFF;
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = row + std::ptrdiff_t{4} * x;
        const std::uint32_t k = p[3] ^ flip;
        out[x] = 0xFF000000u | scaleByBlack(p[0] ^ flip, k) << 16 |
                 scaleByBlack(p[1] ^ flip, k) << 8 | scaleByBlack(p[2] ^ flip, k);
    }
}

int readRows(Session& s, Picture& target) {
    JSAMPROW rows[kRowsPerRead];
    if (setjmp(s.trap.jump) != 0) {
        return s.trap.code;
    }
    jpeg_decompress_struct& c = s.cinfo;
    const bool cmyk = c.out_color_space == JCS_CMYK;
    const bool storedInverted = c.saw_Adobe_marker != FALSE;
    while (c.output_scanline < c.output_height) {
        const int first = static_cast<int>(c.output_scanline);
        const int count = std::min<int>(kRowsPerRead, target.height() - first);
        for (int i = 0; i < count; ++i) {
            rows[i] = target.row(first + i);
        }
        const auto got = static_cast<int>(jpeg_read_scanlines(&c, rows, count));
        if (got == 0) {
            break; // only a suspending source returns nothing; memory sources never do
        }
        for (int i = 0; cmyk && i < got; ++i) {
            cmykToXrgb(rows[i], target.width(), storedInverted);
        }
    }
    jpeg_finish_decompress(&c);
    return 0;
}

void copyGreyPalette(const jpeg_decompress_struct& c, Picture::Palette& palette) {
    palette.fill(0xFF000000u);
    for (int i = 0; i < c.actual_number_of_colors && i < 256; ++i) {
        const std::uint32_t g = c.colormap[0][i];
        palette[static_cast<std::size_t>(i)] = 0xFF000000u | g << 16 | g << 8 | g;
    }
}

[[noreturn]] void throwJpegError(int code) {
    if (code == kCancelled) {
        throw DecodeCancelled();
    }
    throw Error(messages::jpegError(code));
}

} // namespace

JpegDecoder::JpegDecoder() = default;
JpegDecoder::~JpegDecoder() = default;

void JpegDecoder::forgetPicture() {
    if (picture_) {
        keepSpare(std::move(picture_));
    }
    width_ = 0;
    height_ = 0;
    progress_ = 0;
    decodeMemory_ = 0;
}

void JpegDecoder::forgetBytes() {
    identity_.reset();
    shared_.reset();
    bytes_ = nullptr;
    size_ = 0;
}

void JpegDecoder::releaseBytes() {
    forgetBytes();
    FileBytes().swap(data_);
    std::vector<std::uint8_t>().swap(memory_);
}

void JpegDecoder::releaseMemory() {
    forgetPicture();
    releaseBytes();
    spares_ = {};
}

void JpegDecoder::readFile(const std::string& path) {
    forgetPicture();
    forgetBytes(); // a failed read leaves nothing to decode
    // Never two files' bytes at once; the previous file's buffer takes this one if it fits.
    std::vector<std::uint8_t>().swap(memory_);
    FileIdentity identity;
    try {
        readFileBytes(path, data_, kMaxFileBytes, &identity, cancel_);
    } catch (const ReadCancelled&) {
        throw DecodeCancelled();
    }
    bytes_ = data_.data();
    size_ = data_.size();
    readHeaderOfData();
    identity_ = identity;
}

void JpegDecoder::readMemory(std::vector<std::uint8_t> bytes) {
    forgetPicture();
    forgetBytes();
    FileBytes().swap(data_);
    memory_ = std::move(bytes);
    bytes_ = memory_.data();
    size_ = memory_.size();
    readHeaderOfData();
}

void JpegDecoder::readShared(std::shared_ptr<const FileBytes> file, ByteRange range) {
    forgetPicture();
    identity_.reset();
    FileBytes().swap(data_); // the shared file replaces them: never two files' bytes
    std::vector<std::uint8_t>().swap(memory_);
    shared_ = std::move(file);
    const std::size_t fileSize = shared_ ? shared_->size() : 0;
    const std::size_t start = std::min(range.offset, fileSize);
    bytes_ = shared_ ? shared_->data() + start : nullptr;
    size_ = std::min(range.length, fileSize - start);
    readHeaderOfData();
}

void JpegDecoder::readHeaderOfData() {
    if (size_ == 0) {
        return; // 0 x 0 until picture() reports the empty input
    }
    Session session(quiet_, nullptr, progress_);
    if (const int code = readHeader(session, bytes_, size_)) {
        releaseBytes();
        throwJpegError(code);
    }
    const jpeg_decompress_struct& c = session.cinfo;
    width_ = static_cast<int>(c.image_width);
    height_ = static_cast<int>(c.image_height);
    // Greyscale files decode to Indexed8 (see prepareOutput), all others to Xrgb32, at full scale.
    format_ = c.out_color_space == JCS_GRAYSCALE ? PixelFormat::Indexed8 : PixelFormat::Xrgb32;
    decodeMemory_ = static_cast<std::uint64_t>(Picture::strideFor(format_, width_)) *
                    static_cast<std::uint64_t>(height_);
    if (jpeg_has_multiple_scans(&session.cinfo)) {
        decodeMemory_ += coefficientBytes(c.image_width, c.image_height, Sampling(c).span());
    }
}

void JpegDecoder::keepSpare(std::shared_ptr<Picture> picture) {
    // The newest two: while the panels show the last picture, the one before it is free again.
    spares_[1] = std::move(spares_[0]);
    spares_[0] = std::move(picture);
}

std::shared_ptr<Picture> JpegDecoder::takeTarget(PixelFormat format, int width, int height,
                                                 bool& fresh) {
    const auto bytes = static_cast<std::size_t>(Picture::strideFor(format, width)) *
                       static_cast<std::size_t>(height);
    // Reuse only a buffer that no raster shows any more, and not one far too large for this
    // picture, so that a small file does not pin the memory of a huge one. The panels keep
    // showing the previous picture until this decode has succeeded, so a load alternates
    // between two buffers.
    std::shared_ptr<Picture> target;
    for (std::shared_ptr<Picture>& spare : spares_) {
        const bool reusable = spare && spare.use_count() == 1 && bytes <= spare->capacity() &&
                              bytes >= spare->capacity() / 2;
        if (reusable && !target) {
            target = std::move(spare);
        } else if (spare && spare.use_count() == 1) {
            spare.reset(); // free and unsuitable: let go of it before allocating anew
        }
    }
    try {
        if (!target) {
            target = std::make_shared<Picture>();
        }
        fresh = target->reset(format, width, height);
    } catch (const std::bad_alloc&) {
        throwJpegError(JERR_OUT_OF_MEMORY);
    }
    return target;
}

std::shared_ptr<const Picture> JpegDecoder::picture() {
    if (picture_) {
        return picture_;
    }
    if (cancelled(cancel_)) {
        throw DecodeCancelled(); // before any memory is taken
    }
    Session session(quiet_, cancel_, progress_);
    if (const int code = readHeader(session, bytes_, size_)) {
        throwJpegError(code);
    }
    if (const int code = prepareOutput(session)) {
        throwJpegError(code);
    }
    const jpeg_decompress_struct& c = session.cinfo;
    const PixelFormat format = c.quantize_colors ? PixelFormat::Indexed8 : PixelFormat::Xrgb32;
    bool fresh = false;
    std::shared_ptr<Picture> target = takeTarget(format, static_cast<int>(c.output_width),
                                                 static_cast<int>(c.output_height), fresh);
    int code = 0;
    {
        // A new buffer's pages are provided on another core while libjpeg reads the scans and
        // writes the rows from the top.
        const PageWarmer warmer(fresh ? target->bits() : nullptr,
                                static_cast<std::size_t>(target->stride()) *
                                    static_cast<std::size_t>(target->height()));
        code = startDecompress(session);
        if (code == 0) {
            if (format == PixelFormat::Indexed8) {
                copyGreyPalette(c, target->palette());
            }
            code = readRows(session, *target);
        }
    }
    if (code != 0) {
        keepSpare(std::move(target));
        throwJpegError(code);
    }
    picture_ = std::move(target);
    progress_ = 1000;
    return picture_;
}

} // namespace duoptic
