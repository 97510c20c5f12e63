#include "exporting/JpegWrite.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "imaging/DecodeCancelled.h"

#include <algorithm>
#include <array>
#include <bit>
#include <csetjmp>
#include <cstddef>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <new>

#include <jerror.h>
#include <jpeglib.h>

namespace duoptic {

namespace {

// Byte order that makes each pixel one native 0xFFRRGGBB word.
constexpr J_COLOR_SPACE kXrgbColorSpace =
    std::endian::native == std::endian::little ? JCS_EXT_BGRX : JCS_EXT_XRGB;

// Rows taken from the source at a time, and the stretch between looks at the cancel flag.
constexpr int kRowsPerBatch = 16;

constexpr std::size_t kFirstBufferBytes = std::size_t{1} << 16;
constexpr std::uint8_t kExifSignature[] = {'E', 'x', 'i', 'f', 0, 0};
// A marker segment's data after its length field.
constexpr std::size_t kMaxSegmentData = 65533;

// libjpeg hands back a pointer to `manager`; being the first member, it is the trap's address.
struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// The same for the destination: compressed bytes go to a vector that grows as needed.
struct Destination {
    jpeg_destination_mgr manager;
    std::vector<std::uint8_t>* bytes;
};

[[noreturn]] void leaveLibjpeg(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorTrap*>(cinfo->err)->jump, 1);
}

void ignoreMessage(j_common_ptr, int) {}
void ignoreOutput(j_common_ptr) {}

Destination& destinationOf(j_compress_ptr cinfo) {
    return *reinterpret_cast<Destination*>(cinfo->dest);
}

// Grows the vector to `size`; a failed allocation leaves libjpeg as its own errors do, since no
// exception may pass through its C frames (nor a longjmp out of a handler).
void growTo(j_compress_ptr cinfo, std::size_t size) {
    bool grown = true;
    try {
        destinationOf(cinfo).bytes->resize(size);
    } catch (const std::bad_alloc&) {
        grown = false;
    }
    if (!grown) {
        ERREXIT(cinfo, JERR_OUT_OF_MEMORY);
    }
}

void startDestination(j_compress_ptr cinfo) {
    Destination& d = destinationOf(cinfo);
    growTo(cinfo, std::max(d.bytes->size(), kFirstBufferBytes));
    d.manager.next_output_byte = d.bytes->data();
    d.manager.free_in_buffer = d.bytes->size();
}

// Called when the whole buffer is full.
boolean growDestination(j_compress_ptr cinfo) {
    Destination& d = destinationOf(cinfo);
    const std::size_t used = d.bytes->size();
    growTo(cinfo, used * 2);
    d.manager.next_output_byte = d.bytes->data() + used;
    d.manager.free_in_buffer = d.bytes->size() - used;
    return TRUE;
}

void endDestination(j_compress_ptr cinfo) {
    Destination& d = destinationOf(cinfo);
    d.bytes->resize(d.bytes->size() - d.manager.free_in_buffer);
}

// One compression object, destroyed on every path. The functions below that call libjpeg set the
// trap first and keep no C++ object with a destructor, since a fatal error longjmps out of
// libjpeg straight back to their setjmp.
struct Session {
    explicit Session(std::vector<std::uint8_t>& out) {
        cinfo.err = jpeg_std_error(&trap.manager);
        trap.manager.error_exit = &leaveLibjpeg;
        trap.manager.emit_message = &ignoreMessage;
        trap.manager.output_message = &ignoreOutput;
        destination.manager.init_destination = &startDestination;
        destination.manager.empty_output_buffer = &growDestination;
        destination.manager.term_destination = &endDestination;
        destination.bytes = &out;
    }
    ~Session() { jpeg_destroy_compress(&cinfo); } // harmless before jpeg_create_compress
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    int code() const { return trap.manager.msg_code; }

    jpeg_compress_struct cinfo{};
    ErrorTrap trap{};
    Destination destination{};
};

// Each returns 0, or the message number of libjpeg's fatal error.

int start(Session& s, int width, int height, const EncodeOptions& options) {
    if (setjmp(s.trap.jump) != 0) {
        return s.code();
    }
    jpeg_create_compress(&s.cinfo);
    jpeg_compress_struct& c = s.cinfo;
    c.dest = &s.destination.manager;
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = 4;
    c.in_color_space = kXrgbColorSpace;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, std::clamp(options.quality, 1, 100), TRUE);
    // Luma's factors against the chroma components' 1 x 1.
    const bool halfWidth = options.sampling != ChromaSampling::S444;
    const bool halfHeight = halfWidth && options.sampling != ChromaSampling::S422;
    c.comp_info[0].h_samp_factor = halfWidth ? 2 : 1;
    c.comp_info[0].v_samp_factor = halfHeight ? 2 : 1;
    for (int i = 1; i < c.num_components; ++i) {
        c.comp_info[i].h_samp_factor = 1;
        c.comp_info[i].v_samp_factor = 1;
    }
    jpeg_start_compress(&c, TRUE);
    if (!options.exif.empty()) {
        jpeg_write_m_header(&c, JPEG_APP0 + 1,
                            static_cast<unsigned int>(sizeof kExifSignature + options.exif.size()));
        for (const std::uint8_t byte : kExifSignature) {
            jpeg_write_m_byte(&c, byte);
        }
        for (const std::uint8_t byte : options.exif) {
            jpeg_write_m_byte(&c, byte);
        }
    }
    return 0;
}

int writeRows(Session& s, JSAMPROW* rows, int count) {
    if (setjmp(s.trap.jump) != 0) {
        return s.code();
    }
    JDIMENSION written = 0;
    while (written < static_cast<JDIMENSION>(count)) {
        written += jpeg_write_scanlines(&s.cinfo, rows + written,
                                        static_cast<JDIMENSION>(count) - written);
    }
    return 0;
}

int finish(Session& s) {
    if (setjmp(s.trap.jump) != 0) {
        return s.code();
    }
    jpeg_finish_compress(&s.cinfo);
    return 0;
}

void check(int code) {
    if (code != 0) {
        throw Error(messages::jpegError(code));
    }
}

} // namespace

std::vector<std::uint8_t> encodeJpeg(const RowSource& picture, const EncodeOptions& options,
                                     const std::atomic<bool>* cancel) {
    const int width = picture.width;
    const int height = picture.height;
    if (width <= 0 || height <= 0) {
        throw Error(messages::jpegError(JERR_EMPTY_IMAGE));
    }
    // libjpeg's own limit, checked before the row buffer is taken.
    if (width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION) {
        throw Error(messages::jpegError(JERR_IMAGE_TOO_BIG));
    }
    if (sizeof kExifSignature + options.exif.size() > kMaxSegmentData) {
        throw Error(messages::jpegError(JERR_BAD_LENGTH));
    }
    std::vector<std::uint8_t> out;
    Session session(out);
    check(start(session, width, height, options));

    const auto stride = static_cast<std::size_t>(width);
    std::vector<std::uint32_t> batch(stride * kRowsPerBatch);
    std::array<JSAMPROW, kRowsPerBatch> rows{};
    for (int i = 0; i < kRowsPerBatch; ++i) {
        rows[static_cast<std::size_t>(i)] =
            reinterpret_cast<JSAMPROW>(batch.data() + stride * static_cast<std::size_t>(i));
    }
    for (int y = 0; y < height; y += kRowsPerBatch) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
            throw DecodeCancelled();
        }
        const int count = std::min(kRowsPerBatch, height - y);
        for (int i = 0; i < count; ++i) {
            picture.row(y + i, batch.data() + stride * static_cast<std::size_t>(i));
        }
        check(writeRows(session, rows.data(), count));
    }
    check(finish(session));
    return out;
}

} // namespace duoptic
