// Loading pictures: PNG and JPEG decoding, the masking of pictures without alpha, and the
// cutting of animation strips into frames.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <new>
#include <thread>

#include <jpeglib.h>
#include <png.h>

#include "platform/platform_internal.h"

namespace platform {

bool picture_size_allowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= content_max_side && height <= content_max_side &&
           width * height * 4 <= content_max_decoded_bytes;
}

namespace {

bool decode_png(const std::string& bytes, decoded_picture& out) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) return false;
    if (!picture_size_allowed(png.width, png.height)) {
        png_image_free(&png);
        return false;
    }
    // A transparency chunk counts as an alpha channel: such a picture brings its own.
    out.has_alpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    png.format = PNG_FORMAT_BGRA;  // in memory B, G, R, A: 0xAARRGGBB on a little-endian word
    out.width = static_cast<int32_t>(png.width);
    out.height = static_cast<int32_t>(png.height);
    out.pixels.resize(static_cast<size_t>(png.width) * png.height);
    if (!png_image_finish_read(&png, nullptr, out.pixels.data(), 0, nullptr)) {
        png_image_free(&png);
        return false;
    }
    if (SDL_BYTEORDER == SDL_BIG_ENDIAN) {
        for (uint32_t& p : out.pixels) p = SDL_Swap32(p);
    }
    return true;
}

struct jpeg_failure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void jpeg_error_exit(j_common_ptr info) {
    auto* failure = reinterpret_cast<jpeg_failure*>(info->err);
    std::longjmp(failure->jump, 1);
}

void jpeg_quiet(j_common_ptr, int) {}

// Kept free of C++ objects: libjpeg reports errors by a long jump back into this function.
// On success *pixels is a malloc'ed width by height picture, 0xAARRGGBB.
bool decode_jpeg_raw(const unsigned char* data, unsigned long size, uint32_t** pixels,
                     int32_t* width, int32_t* height) {
    jpeg_decompress_struct info;
    jpeg_failure failure;
    uint32_t* volatile picture = nullptr;
    unsigned char* volatile row = nullptr;
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = jpeg_error_exit;
    failure.manager.emit_message = jpeg_quiet;
    if (setjmp(failure.jump)) {
        jpeg_destroy_decompress(&info);
        std::free(picture);
        std::free(row);
        return false;
    }
    jpeg_create_decompress(&info);
    // libjpeg's own buffers (a progressive picture keeps every coefficient) stay within the
    // same limit as the picture itself.
    info.mem->max_memory_to_use = content_max_decoded_bytes;
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    if (!picture_size_allowed(info.image_width, info.image_height)) {
        std::longjmp(failure.jump, 1);
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    const size_t w = info.output_width;
    const size_t h = info.output_height;
    picture = static_cast<uint32_t*>(std::malloc(w * h * 4 + 4));
    row = static_cast<unsigned char*>(std::malloc(w * 3 + 3));
    if (!picture || !row) std::longjmp(failure.jump, 1);
    while (info.output_scanline < info.output_height) {
        const size_t y = info.output_scanline;
        JSAMPROW rows[1] = {row};
        jpeg_read_scanlines(&info, rows, 1);
        for (size_t x = 0; x < w; ++x) {
            picture[y * w + x] = 0xFF000000u | (uint32_t{row[x * 3]} << 16) |
                                 (uint32_t{row[x * 3 + 1]} << 8) | row[x * 3 + 2];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::free(row);
    *pixels = picture;
    *width = static_cast<int32_t>(w);
    *height = static_cast<int32_t>(h);
    return true;
}

bool decode_jpeg(const std::string& bytes, decoded_picture& out) {
    uint32_t* pixels = nullptr;
    if (!decode_jpeg_raw(reinterpret_cast<const unsigned char*>(bytes.data()),
                         static_cast<unsigned long>(bytes.size()), &pixels, &out.width,
                         &out.height)) {
        return false;
    }
    const std::unique_ptr<uint32_t, decltype(&std::free)> owned(pixels, &std::free);
    out.has_alpha = false;
    out.pixels.assign(pixels, pixels + static_cast<size_t>(out.width) * out.height);
    return true;
}

}  // namespace

bool decode_picture(const std::string& bytes, decoded_picture& out) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() >= 8 && b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G') {
        return decode_png(bytes, out);
    }
    if (bytes.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) {
        return decode_jpeg(bytes, out);
    }
    return false;
}

// Black becomes transparent, and each transparent pixel takes the average colour of its up
// to eight neighbours that are not black (black if there are none): a filtered, scaled or
// rotated drawing then blends a shape's edge toward its own colour rather than toward black.
void mask_black(std::vector<uint32_t>& pixels, int32_t width, int32_t height) {
    // Which pixels are black, noted before any changes: a masked pixel takes a colour of its
    // own, and must not then count as a neighbour. The colours themselves need no copy, since
    // an unmasked pixel only gains its alpha. Start-up masks several million pixels (the
    // animation strips are mostly black), so the loop stays lean.
    std::vector<uint8_t> black(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) black[i] = (pixels[i] & 0x00FFFFFFu) == 0;
    // How many of each pixel's row neighbours (itself and left and right) are not black: a
    // black pixel whose rows above, own and below all count none is in the middle of the
    // dark, the case of most pixels, and simply becomes clear.
    std::vector<uint8_t> lit_across(pixels.size());
    for (int32_t y = 0; y < height; ++y) {
        const size_t row = static_cast<size_t>(y) * width;
        for (int32_t x = 0; x < width; ++x) {
            lit_across[row + x] =
                static_cast<uint8_t>((black[row + x] ^ 1) + (x > 0 ? black[row + x - 1] ^ 1 : 0) +
                                     (x + 1 < width ? black[row + x + 1] ^ 1 : 0));
        }
    }
    for (int32_t y = 0; y < height; ++y) {
        const int32_t y0 = std::max(y - 1, 0);
        const int32_t y1 = std::min(y + 1, height - 1);
        const size_t above = static_cast<size_t>(y0) * width;
        const size_t below = static_cast<size_t>(y1) * width;
        for (int32_t x = 0; x < width; ++x) {
            const size_t at = static_cast<size_t>(y) * width + x;
            if (!black[at]) {
                pixels[at] |= 0xFF000000u;
                continue;
            }
            if (lit_across[above + x] + lit_across[at] + lit_across[below + x] == 0) {
                pixels[at] = 0;
                continue;
            }
            const int32_t x0 = std::max(x - 1, 0);
            const int32_t x1 = std::min(x + 1, width - 1);
            uint32_t red = 0;
            uint32_t green = 0;
            uint32_t blue = 0;
            uint32_t count = 0;
            for (int32_t ny = y0; ny <= y1; ++ny) {
                const size_t row = static_cast<size_t>(ny) * width;
                for (int32_t nx = x0; nx <= x1; ++nx) {
                    if (black[row + nx]) continue;  // also skips the pixel itself
                    const uint32_t p = pixels[row + nx];
                    red += (p >> 16) & 0xFF;
                    green += (p >> 8) & 0xFF;
                    blue += p & 0xFF;
                    ++count;
                }
            }
            pixels[at] =
                count == 0 ? 0u : (((red / count) << 16) | ((green / count) << 8) | (blue / count));
        }
    }
}

namespace {

// Reads, decodes and masks a picture into an image record without frames yet. Pictures,
// animation strips and the fonts' glyph strips all come through here. Running out of memory
// on the way (the machine is short of it even within the size limits) makes the picture
// missing, as an unreadable one is: the game goes on without it.
std::unique_ptr<image> read_picture(const std::string& path, int32_t flags) try {
    bool ok = false;
    const std::string bytes = read_whole_file(resolve_path(path), ok, content_max_file_bytes);
    if (!ok) return nullptr;
    decoded_picture picture;
    if (!decode_picture(bytes, picture) || picture.width <= 0 || picture.height <= 0) {
        return nullptr;
    }
    if ((flags & 1) && !picture.has_alpha) {
        mask_black(picture.pixels, picture.width, picture.height);
    }
    auto img = std::make_unique<image>();
    img->path = path;
    img->flags = flags;
    img->width = picture.width;
    img->height = picture.height;
    img->picture_width = picture.width;
    img->picture_height = picture.height;
    img->pixels = std::move(picture.pixels);
    img->opaque = std::all_of(img->pixels.begin(), img->pixels.end(),
                              [](uint32_t p) { return (p >> 24) == 0xFF; });
    return img;
} catch (const std::bad_alloc&) {
    return nullptr;
}

}  // namespace

// Each picture is claimed by whichever thread comes to it first: a worker, or the game's own
// thread asking for it before any worker got there, so no core ever waits idle for another.
struct picture_prefetch {
    struct item {
        std::string path;
        std::atomic<bool> claimed{false};
        std::promise<std::unique_ptr<image>> promise;
        std::future<std::unique_ptr<image>> result = promise.get_future();
        bool taken = false;
    };
    int32_t flags = 0;
    std::vector<std::unique_ptr<item>> items;
    size_t taken_count = 0;
    std::atomic<bool> stopping{false};
    std::vector<std::thread> workers;

    void decode(item& it) { it.promise.set_value(read_picture(it.path, flags)); }

    void work() {
        for (auto& it : items) {
            if (stopping) return;
            if (!it->claimed.exchange(true)) decode(*it);
        }
    }

    ~picture_prefetch() {
        stopping = true;
        for (std::thread& t : workers) t.join();
    }
};

void picture_prefetch_closer::operator()(picture_prefetch* p) const { delete p; }

namespace {

// The prefetched result for this path and these flags, if there is one: it may be null (the
// picture could not be read). Returns false when the picture was not prefetched.
bool take_prefetched(const std::string& path, int32_t flags, std::unique_ptr<image>& out) {
    picture_prefetch* p = state.prefetch.get();
    if (!p || p->flags != flags) return false;
    for (auto& it : p->items) {
        if (it->taken || it->path != path) continue;
        if (!it->claimed.exchange(true)) p->decode(*it);
        // While a worker finishes this one, this thread decodes others rather than wait.
        while (it->result.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            auto next = std::find_if(p->items.begin(), p->items.end(), [](const auto& other) {
                return !other->claimed.exchange(true);
            });
            if (next == p->items.end()) break;
            p->decode(**next);
        }
        out = it->result.get();
        it->taken = true;
        if (++p->taken_count == p->items.size()) state.prefetch.reset();
        return true;
    }
    return false;
}

std::unique_ptr<image> read_or_take_picture(const std::string& path, int32_t flags) {
    std::unique_ptr<image> img;
    if (take_prefetched(path, flags, img)) return img;
    return read_picture(path, flags);
}

image* keep(std::unique_ptr<image> img) {
    state.images.push_back(std::move(img));
    return state.images.back().get();
}

}  // namespace

void prefetch_pictures(const std::vector<std::string>& paths, int32_t flags) {
    if (flags == -1) flags = 3;
    state.prefetch.reset();
    if (paths.empty()) return;
    state.prefetch.reset(new picture_prefetch{});
    picture_prefetch& p = *state.prefetch;
    p.flags = flags;
    for (const std::string& path : paths) {
        p.items.push_back(std::make_unique<picture_prefetch::item>());
        p.items.back()->path = path;
    }
    // The game's own thread decodes too, as it asks for each picture.
    const unsigned cores = std::max(2u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i + 1 < std::min(cores, 8u); ++i) {
        p.workers.emplace_back([&p] { p.work(); });
    }
}

image* load_image(const std::string& path, int32_t flags) {
    if (flags == -1) flags = 3;
    std::unique_ptr<image> img = read_or_take_picture(path, flags);
    if (!img) return nullptr;
    img->frames.push_back({0, 0, img->width, img->height});
    return keep(std::move(img));
}

image* load_anim_image(const std::string& path, int32_t cell_width, int32_t cell_height,
                       int32_t first_cell, int32_t cell_count, int32_t flags) {
    if (flags == -1) flags = 3;
    if (cell_width <= 0 || cell_height <= 0 || first_cell < 0 || cell_count <= 0) return nullptr;
    std::unique_ptr<image> img = read_or_take_picture(path, flags);
    if (!img) return nullptr;
    const int32_t columns = img->picture_width / cell_width;
    const int32_t rows = img->picture_height / cell_height;
    img->width = cell_width;
    img->height = cell_height;
    // Cells that would lie outside the picture are not kept.
    for (int64_t cell = first_cell;
         cell < int64_t{first_cell} + cell_count && cell < int64_t{columns} * rows; ++cell) {
        const auto c = static_cast<int32_t>(cell);
        img->frames.push_back(
            {(c % columns) * cell_width, (c / columns) * cell_height, cell_width, cell_height});
    }
    if (img->frames.empty()) return nullptr;
    return keep(std::move(img));
}

}  // namespace platform
