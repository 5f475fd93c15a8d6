// Writers of test pictures.
#include "test_pictures.h"

#include <cstdio>
#include <stdexcept>

#include <jpeglib.h>
#include <png.h>

void write_test_png(const std::string& path, int32_t width, int32_t height,
                    const std::vector<uint32_t>& pixels, bool with_alpha) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(width);
    png.height = static_cast<png_uint_32>(height);
    png.format = with_alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    const size_t channels = with_alpha ? 4 : 3;
    std::vector<uint8_t> bytes;
    for (uint32_t p : pixels) {
        bytes.push_back(static_cast<uint8_t>(p >> 16));
        bytes.push_back(static_cast<uint8_t>(p >> 8));
        bytes.push_back(static_cast<uint8_t>(p));
        if (with_alpha) bytes.push_back(static_cast<uint8_t>(p >> 24));
    }
    if (!png_image_write_to_file(&png, path.c_str(), 0, bytes.data(),
                                 static_cast<png_int_32>(width * channels), nullptr)) {
        throw std::runtime_error("cannot write " + path);
    }
}

void write_test_jpeg(const std::string& path, int32_t width, int32_t height,
                     const std::vector<uint32_t>& pixels) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + path);
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    for (int i = 0; i < info.num_components; ++i) {
        info.comp_info[i].h_samp_factor = 1;
        info.comp_info[i].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y * width + x)];
            row[static_cast<size_t>(x) * 3] = static_cast<uint8_t>(p >> 16);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<uint8_t>(p >> 8);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<uint8_t>(p);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
}
