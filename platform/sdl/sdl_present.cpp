// SDL presentation: the back buffer is uploaded to a streaming texture and presented without vsync.
#include <SDL.h>

#include "platform/present.h"
#include "platform/sdl/sdl_backend.h"

namespace platform {
namespace {

struct Presenter {
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int width = 0, height = 0;
    PixelFormat format = PixelFormat::RGB565;
};

Presenter presenter;

void DestroyPresenter() {
    if (presenter.texture) SDL_DestroyTexture(presenter.texture);
    if (presenter.renderer) SDL_DestroyRenderer(presenter.renderer);
    presenter = Presenter{};
}

bool EnsurePresenter(int width, int height, PixelFormat format) {
    SDL_Window* window = sdl::Sdl.window;
    if (window == nullptr) return false;
    if (presenter.renderer == nullptr) {
        presenter.renderer = SDL_CreateRenderer(window, -1, 0);
        if (presenter.renderer == nullptr) presenter.renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        if (presenter.renderer == nullptr) return false;
        sdl::Sdl.onDestroy = DestroyPresenter;
    }
    if (presenter.texture == nullptr || presenter.width != width || presenter.height != height ||
        presenter.format != format) {
        if (presenter.texture) SDL_DestroyTexture(presenter.texture);
        Uint32 sdlFormat = format == PixelFormat::RGB565 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
        presenter.texture = SDL_CreateTexture(presenter.renderer, sdlFormat, SDL_TEXTUREACCESS_STREAMING, width, height);
        presenter.width = width;
        presenter.height = height;
        presenter.format = format;
    }
    return presenter.texture != nullptr;
}

}  // namespace

void Present(const Surface& backBuffer, const Rect& source) {
    int left = source.left < 0 ? 0 : source.left;
    int top = source.top < 0 ? 0 : source.top;
    int right = source.right > backBuffer.width ? backBuffer.width : source.right;
    int bottom = source.bottom > backBuffer.height ? backBuffer.height : source.bottom;
    if (right <= left || bottom <= top) return;
    if (!EnsurePresenter(right - left, bottom - top, backBuffer.format)) return;
    const uint8_t* first = backBuffer.Row(top) + static_cast<size_t>(left) * BytesPerPixel(backBuffer.format);
    SDL_UpdateTexture(presenter.texture, nullptr, first, backBuffer.pitch);
    SDL_RenderCopy(presenter.renderer, presenter.texture, nullptr, nullptr);
    SDL_RenderPresent(presenter.renderer);
}

void WaitForVerticalBlank() {
    SDL_DisplayMode mode;
    int rate = (SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0) ? mode.refresh_rate : 60;
    SDL_Delay(static_cast<Uint32>(1000 / rate));
}

}  // namespace platform
