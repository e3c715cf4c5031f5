// SDL presentation: the back buffer is converted by our own code and shown without vsync, through
// a renderer when a graphics card draws for it, else through the window's surface (a software GL
// would cost more than it gives). Nothing is uploaded while the window is minimised or hidden.
#include <SDL.h>
#include <dirent.h>

#include <cstring>
#include <vector>

#include "platform/present.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_convert.h"
#include "platform/sdl/sdl_gamepad_keys.h"
#include "platform/sdl/sdl_present_stats.h"
#include "platform/sdl/sdl_presenter.h"
#include "platform/sdl/sdl_screenshot.h"
#include "platform/sdl/sdl_settings.h"
#include "platform/sdl/sdl_shown_rows.h"
#include "platform/sdl/sdl_view.h"

namespace platform {
namespace {

using sdl::Box;

struct Presenter {
    bool created = false;
    SDL_Renderer* renderer = nullptr;  // null: the window surface
    SDL_Texture* texture = nullptr;
    int width = 0, height = 0;       // texture size
    SDL_Surface* surface = nullptr;  // the window surface the bars were last drawn on
    int surfaceWidth = 0, surfaceHeight = 0;
    Box picture;           // where the picture went on it
    sdl::ShownRows shown;  // what the window surface holds, at whole-number scales
    std::vector<SDL_Rect> sent;
    std::vector<uint32_t> scratch;
};

Presenter presenter;

bool HasRenderNode() {
    DIR* folder = ::opendir("/dev/dri");
    if (folder == nullptr) return false;
    bool found = false;
    while (dirent* entry = ::readdir(folder)) {
        if (std::strncmp(entry->d_name, "renderD", 7) == 0) found = true;
    }
    ::closedir(folder);
    return found;
}

// A renderer that draws through the processor anyway: SDL's software one or GL on a rasteriser.
bool IsSoftware(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0) return true;
    if ((info.flags & SDL_RENDERER_SOFTWARE) != 0 || std::strcmp(info.name, "software") == 0) return true;
    if (std::strncmp(info.name, "opengl", 6) != 0) return false;
    using GetString = const unsigned char* (*)(unsigned int);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (getString == nullptr) return false;
    const char* name = reinterpret_cast<const char*>(getString(0x1F01));  // GL_RENDERER
    if (name == nullptr) return false;
    return std::strstr(name, "llvmpipe") || std::strstr(name, "softpipe") || std::strstr(name, "Software") ||
           std::strstr(name, "swrast");
}

SDL_Renderer* MakeRenderer(SDL_Window* window) {
    const sdl::PresentPath path = sdl::Options.present;
    if (path == sdl::PresentPath::Surface) return nullptr;
    if (path == sdl::PresentPath::Automatic && !HasRenderNode()) return nullptr;
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (renderer == nullptr) return nullptr;
    if (path == sdl::PresentPath::Automatic && IsSoftware(renderer)) {
        SDL_DestroyRenderer(renderer);
        return nullptr;
    }
    return renderer;
}

bool EnsureTexture(int width, int height) {
    if (presenter.texture != nullptr && presenter.width == width && presenter.height == height) return true;
    if (presenter.texture) SDL_DestroyTexture(presenter.texture);
    presenter.texture = SDL_CreateTexture(presenter.renderer, SDL_PIXELFORMAT_ARGB8888,
                                          SDL_TEXTUREACCESS_STREAMING, width, height);
    if (presenter.texture == nullptr) return false;
    SDL_SetTextureScaleMode(presenter.texture, SDL_ScaleModeNearest);
    SDL_SetTextureBlendMode(presenter.texture, SDL_BLENDMODE_NONE);
    presenter.width = width;
    presenter.height = height;
    return true;
}

bool PresentByRenderer(const uint8_t* first, int pitch, PixelFormat format, int width, int height) {
    if (!EnsureTexture(width, height)) return false;
    void* pixels = nullptr;
    int texturePitch = 0;
    if (SDL_LockTexture(presenter.texture, nullptr, &pixels, &texturePitch) != 0) return false;
    sdl::ScaleInto(first, pitch, format, width, height, static_cast<uint8_t*>(pixels), texturePitch,
                   Box{0, 0, width, height}, presenter.scratch.data());
    SDL_UnlockTexture(presenter.texture);
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(presenter.renderer, &outputWidth, &outputHeight);
    const Box picture = sdl::PictureBox(width, height, outputWidth, outputHeight,
                                        !sdl::View.fullScreen || sdl::Options.wholeNumberFullScreen);
    SDL_Rect target{picture.x, picture.y, picture.width, picture.height};
    SDL_SetRenderDrawColor(presenter.renderer, 0, 0, 0, 255);
    SDL_RenderClear(presenter.renderer);
    SDL_RenderCopy(presenter.renderer, presenter.texture, nullptr, &target);
    SDL_RenderPresent(presenter.renderer);
    return true;
}

// The scale factor of a picture drawn at a whole-number multiple of its size, else 0.
int WholeFactor(const Box& picture, int width, int height) {
    if (picture.width % width != 0 || picture.height % height != 0) return 0;
    const int factor = picture.width / width;
    return factor == picture.height / height ? factor : 0;
}

bool PresentBySurface(const uint8_t* first, int pitch, PixelFormat format, int width, int height) {
    SDL_Surface* surface = SDL_GetWindowSurface(sdl::Sdl.window);
    if (surface == nullptr || surface->format->BytesPerPixel != 4) return false;
    const Box picture = sdl::PictureBox(width, height, surface->w, surface->h,
                                        !sdl::View.fullScreen || sdl::Options.wholeNumberFullScreen);
    // The bars only need drawing when the surface or the picture's place changed.
    const bool redrawBars = surface != presenter.surface || surface->w != presenter.surfaceWidth ||
                            surface->h != presenter.surfaceHeight ||
                            std::memcmp(&picture, &presenter.picture, sizeof picture) != 0;
    // Stretched pictures are drawn whole; at whole-number scales only the rows that changed.
    const int factor = WholeFactor(picture, width, height);
    if (redrawBars || factor == 0) presenter.shown.Forget();
    const std::vector<sdl::RowBand>* bands = nullptr;
    if (factor != 0) {
        bands = &presenter.shown.Update(first, pitch, format, width, height);
        if (bands->empty()) return true;  // the window already shows this frame
    }
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) {
        presenter.shown.Forget();
        return false;
    }
    uint8_t* pixels = static_cast<uint8_t*>(surface->pixels);
    if (redrawBars) sdl::FillBars(pixels, surface->pitch, surface->w, surface->h, picture);
    // The surface is 0x00RRGGBB on every X11 visual of 24 or 32 bits; the alpha byte is ignored.
    presenter.sent.clear();
    auto draw = [&](const uint8_t* top, int rows, const Box& area) {
        sdl::ScaleInto(top, pitch, format, width, rows, pixels, surface->pitch, area,
                       presenter.scratch.data());
        presenter.sent.push_back(SDL_Rect{area.x, area.y, area.width, area.height});
    };
    if (bands == nullptr)
        draw(first, height, picture);
    else
        for (const sdl::RowBand& band : *bands)
            draw(first + static_cast<size_t>(band.top) * pitch, band.count,
                 Box{picture.x, picture.y + band.top * factor, picture.width, band.count * factor});
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    presenter.surface = surface;
    presenter.surfaceWidth = surface->w;
    presenter.surfaceHeight = surface->h;
    presenter.picture = picture;
    const bool sent = redrawBars ? SDL_UpdateWindowSurface(sdl::Sdl.window) == 0
                                 : SDL_UpdateWindowSurfaceRects(sdl::Sdl.window, presenter.sent.data(),
                                                                static_cast<int>(presenter.sent.size())) == 0;
    if (!sent) presenter.shown.Forget();
    return sent;
}

}  // namespace

namespace sdl {

void CreatePresenter() {
    DestroyPresenter();
    if (Sdl.window == nullptr) return;
    presenter.renderer = MakeRenderer(Sdl.window);
    if (presenter.renderer == nullptr) {
        // SDL would otherwise put its own GL texture behind the window surface on X11.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        // Prepare the window surface now, so that the first frame only has to be drawn.
        SDL_GetWindowSurface(Sdl.window);
    }
    presenter.created = true;
    Sdl.onDestroy = DestroyPresenter;
}

void DestroyPresenter() {
    if (presenter.texture) SDL_DestroyTexture(presenter.texture);
    if (presenter.renderer) SDL_DestroyRenderer(presenter.renderer);
    presenter = Presenter{};
}

void RedrawWholeWindow() {
    presenter.shown.Forget();
}

const char* PresentPathName() {
    return presenter.renderer != nullptr ? "renderer" : "surface";
}

}  // namespace sdl

void Present(const Surface& backBuffer, const Rect& source) {
    int left = source.left < 0 ? 0 : source.left;
    int top = source.top < 0 ? 0 : source.top;
    int right = source.right > backBuffer.width ? backBuffer.width : source.right;
    int bottom = source.bottom > backBuffer.height ? backBuffer.height : source.bottom;
    if (right <= left || bottom <= top) return;
    const int width = right - left, height = bottom - top;
    const uint8_t* first = backBuffer.Row(top) + static_cast<size_t>(left) * BytesPerPixel(backBuffer.format);
    if (sdl::View.screenshotRequested) {
        sdl::View.screenshotRequested = false;
        sdl::SaveScreenshot(first, backBuffer.pitch, backBuffer.format, width, height);
    }
    if (sdl::Sdl.window == nullptr) return;
    sdl::PresentStatsBegin();
    // A minimised or hidden window shows nothing: the frame is not even converted.
    if ((SDL_GetWindowFlags(sdl::Sdl.window) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0) {
        sdl::PresentStatsEnd(false);
        return;
    }
    if (!presenter.created) sdl::CreatePresenter();
    if (presenter.scratch.size() < static_cast<size_t>(width))
        presenter.scratch.resize(static_cast<size_t>(width));
    bool shown = false;
    if (presenter.renderer != nullptr) {
        shown = PresentByRenderer(first, backBuffer.pitch, backBuffer.format, width, height);
    } else {
        shown = PresentBySurface(first, backBuffer.pitch, backBuffer.format, width, height);
        if (!shown && SDL_GetWindowSurface(sdl::Sdl.window) != nullptr &&
            SDL_GetWindowSurface(sdl::Sdl.window)->format->BytesPerPixel != 4) {
            // A window surface of another depth: draw through SDL's renderer instead.
            presenter.renderer = SDL_CreateRenderer(sdl::Sdl.window, -1, 0);
        }
    }
    sdl::PresentStatsEnd(shown);
    // Controllers are looked for once the first frame is out, not before it.
    if (shown) sdl::StartGamepadKeys();
}

void WaitForVerticalBlank() {
    SDL_DisplayMode mode;
    int rate = (SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0) ? mode.refresh_rate : 60;
    SDL_Delay(static_cast<Uint32>(1000 / rate));
}

}  // namespace platform
