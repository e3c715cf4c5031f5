// bench_sdl_scene: the sprite example's scene on SDL2, SDL2_ttf and SDL2_mixer: the arrow keys move a
// sprite; beside it the same picture keyed, half mixed in and turning while enlarged; a Japanese
// line; Space plays a sound and M starts or stops the music. Esc ends it. Run from build/bench.
#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <cstdio>

int main(int, char**) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0 || TTF_Init() != 0) {
        std::fprintf(stderr, "bench_sdl_scene: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window =
        SDL_CreateWindow("bench_sdl_scene", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 800, 600, 0);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC) : nullptr;
    if (renderer == nullptr) {
        std::fprintf(stderr, "bench_sdl_scene: %s\n", SDL_GetError());
        return 1;
    }
    // The sprite, keyed on black; a second texture of it for the half-mixed copy.
    SDL_Surface* picture = SDL_LoadBMP("sprite.bmp");
    if (picture == nullptr) {
        std::fprintf(stderr, "bench_sdl_scene: %s\n", SDL_GetError());
        return 1;
    }
    SDL_SetColorKey(picture, SDL_TRUE, SDL_MapRGB(picture->format, 0, 0, 0));
    SDL_Texture* sprite = SDL_CreateTextureFromSurface(renderer, picture);
    SDL_Texture* halfSprite = SDL_CreateTextureFromSurface(renderer, picture);
    SDL_SetTextureAlphaMod(halfSprite, 128);
    SDL_FreeSurface(picture);
    // The Japanese line, rendered once.
    TTF_Font* font = TTF_OpenFont(FONT_FILE, 24);
    if (font == nullptr) {
        std::fprintf(stderr, "bench_sdl_scene: %s\n", TTF_GetError());
        return 1;
    }
    SDL_Surface* lineSurface =
        TTF_RenderUTF8_Blended(font, "矢印キーで移動、スペースで効果音、Mで音楽", {255, 255, 255, 255});
    SDL_Texture* line = SDL_CreateTextureFromSurface(renderer, lineSurface);
    const SDL_Rect lineRect = {20, 20, lineSurface->w, lineSurface->h};
    SDL_FreeSurface(lineSurface);
    // The sound with four channels to overlap on, and the music.
    Mix_Chunk* beep = nullptr;
    Mix_Music* tune = nullptr;
    if (Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024) == 0) {
        Mix_AllocateChannels(4);
        beep = Mix_LoadWAV("beep.wav");
        tune = Mix_LoadMUS("tune.mid");
    }

    float x = 368, y = 200;
    int angle = 0;
    Uint64 last = SDL_GetPerformanceCounter();
    for (bool running = true; running;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) running = false;
            if (event.type != SDL_KEYDOWN || event.key.repeat) continue;
            if (event.key.keysym.sym == SDLK_ESCAPE) running = false;
            if (event.key.keysym.sym == SDLK_SPACE && beep) Mix_PlayChannel(-1, beep, 0);
            if (event.key.keysym.sym == SDLK_m && tune) {
                if (Mix_PlayingMusic())
                    Mix_HaltMusic();
                else
                    Mix_PlayMusic(tune, 1);
            }
        }
        const Uint64 now = SDL_GetPerformanceCounter();
        const float step = 240.0f * (now - last) / SDL_GetPerformanceFrequency();  // 240 pixels a second
        last = now;
        const Uint8* keys = SDL_GetKeyboardState(nullptr);
        if (keys[SDL_SCANCODE_LEFT]) x -= step;
        if (keys[SDL_SCANCODE_RIGHT]) x += step;
        if (keys[SDL_SCANCODE_UP]) y -= step;
        if (keys[SDL_SCANCODE_DOWN]) y += step;
        angle = (angle + 2) % 360;

        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        const SDL_Rect keyed = {60, 440, 64, 64}, half = {200, 440, 64, 64}, turning = {352, 424, 96, 96};
        const SDL_Rect moved = {static_cast<int>(x), static_cast<int>(y), 64, 64};
        SDL_RenderCopy(renderer, sprite, nullptr, &keyed);
        SDL_RenderCopy(renderer, halfSprite, nullptr, &half);
        SDL_RenderCopyEx(renderer, sprite, nullptr, &turning, angle, nullptr, SDL_FLIP_NONE);
        SDL_RenderCopy(renderer, sprite, nullptr, &moved);
        SDL_RenderCopy(renderer, line, nullptr, &lineRect);
        SDL_RenderPresent(renderer);
    }

    if (tune) Mix_FreeMusic(tune);
    if (beep) Mix_FreeChunk(beep);
    Mix_CloseAudio();
    SDL_DestroyTexture(line);
    TTF_CloseFont(font);
    SDL_DestroyTexture(halfSprite);
    SDL_DestroyTexture(sprite);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    TTF_Quit();
    SDL_Quit();
    return 0;
}
