#include "PngFile.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "AtomicFile.h"

namespace vxtools {
namespace {

struct ErrorSink {
    std::string message;
};

void onPngError(png_structp png, png_const_charp msg) {
    auto* sink = static_cast<ErrorSink*>(png_get_error_ptr(png));
    if (sink && sink->message.empty()) sink->message = msg;
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

struct FileCloser {
    void operator()(FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

void setReadTransforms(png_structp png, png_infop info) {
    const int colorType = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) == 16) png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    if ((colorType == PNG_COLOR_TYPE_GRAY) && png_get_bit_depth(png, info) < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    // Composite any alpha onto white paper.
    png_color_16 white{};
    white.red = white.green = white.blue = white.gray = 255;
    png_set_background(png, &white, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
    png_set_strip_alpha(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// Decodes an opened PNG stream; separated so that no C++ object with a destructor
// lives in the frame that setjmp returns into.
bool decode(FILE* f, Image& image, ErrorSink& sink, PngFile::TextChunks* text) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &sink, onPngError, onPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        sink.message = "out of memory";
        return false;
    }
    std::vector<png_bytep>* rows = new std::vector<png_bytep>();
    bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_set_sig_bytes(png, 8);
        png_read_info(png, info);
        const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
        if (w == 0 || h == 0 || w > PngFile::kMaxSide || h > PngFile::kMaxSide) {
            sink.message = "picture size " + std::to_string(w) + "x" + std::to_string(h) + " out of range";
            png_longjmp(png, 1);
        }
        setReadTransforms(png, info);
        image = Image(static_cast<int>(w), static_cast<int>(h));
        for (png_uint_32 y = 0; y < h; ++y) rows->push_back(image.pixel(0, static_cast<int>(y)));
        png_read_image(png, rows->data());
        png_read_end(png, info);
        png_textp chunks = nullptr;
        int count = 0;
        if (text && png_get_text(png, info, &chunks, &count) > 0)
            for (int i = 0; i < count; ++i) (*text)[chunks[i].key] = chunks[i].text ? chunks[i].text : "";
        ok = true;
    }
    delete rows;
    png_destroy_read_struct(&png, &info, nullptr);
    return ok;
}

bool encode(FILE* f, const Image& image, ErrorSink& sink, const PngFile::TextChunks& text) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, onPngError, onPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        sink.message = "out of memory";
        return false;
    }
    std::vector<png_text>* chunks = new std::vector<png_text>();
    for (const auto& kv : text) {
        png_text t{};
        t.compression = PNG_TEXT_COMPRESSION_NONE;
        t.key = const_cast<char*>(kv.first.c_str());
        t.text = const_cast<char*>(kv.second.c_str());
        chunks->push_back(t);
    }
    bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_set_IHDR(png, info, image.width(), image.height(), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (!chunks->empty()) png_set_text(png, info, chunks->data(), static_cast<int>(chunks->size()));
        png_set_compression_level(png, 2);  // fast: frames are written by the hundred
        png_write_info(png, info);
        for (int y = 0; y < image.height(); ++y) png_write_row(png, image.pixel(0, y));
        png_write_end(png, info);
        ok = true;
    }
    delete chunks;
    png_destroy_write_struct(&png, &info);
    return ok;
}

}  // namespace

bool PngFile::read(const std::string& path, Image& image, std::string& error, TextChunks* text) {
    FilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        error = "cannot open '" + path + "': " + std::strerror(errno);
        return false;
    }
    unsigned char sig[8] = {};
    const size_t got = std::fread(sig, 1, 8, f.get());
    if (got != 8 || png_sig_cmp(sig, 0, 8) != 0) {
        error = "'" + path + "' is not a PNG file (expected the PNG signature, found " +
                (got == 0 ? std::string("an empty file") : std::string("other data")) + ")";
        return false;
    }
    ErrorSink sink;
    Image decoded;
    if (!decode(f.get(), decoded, sink, text)) {
        error = "'" + path + "' is a corrupt or truncated PNG file (" + sink.message + ")";
        return false;
    }
    image = std::move(decoded);
    return true;
}

bool PngFile::write(const std::string& path, const Image& image, std::string& error, const TextChunks& text) {
    if (image.empty()) {
        error = "cannot write '" + path + "': the picture is empty";
        return false;
    }
    return AtomicFile::write(path, [&](const std::string& tmp, std::string& err) {
        FilePtr f(std::fopen(tmp.c_str(), "wb"));
        if (!f) {
            err = "cannot write '" + path + "': " + std::strerror(errno);
            return false;
        }
        ErrorSink sink;
        if (!encode(f.get(), image, sink, text)) {
            err = "cannot write '" + path + "': " + sink.message;
            return false;
        }
        if (std::fclose(f.release()) != 0) {
            err = "cannot write '" + path + "': disk full or I/O error";
            return false;
        }
        return true;
    }, error);
}

}  // namespace vxtools
