#include "platform/sdl/installer_host.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "installer/frmsetup.h"

namespace brenlow {

namespace {

constexpr double kButtonPoints = 14.25;

// The file of the font that best stands for family on this system (Times
// New Roman maps to a metric-compatible serif where fontconfig knows one).
std::string FontFile(const char* family) {
  std::string path;
  if (!FcInit()) return path;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      path = reinterpret_cast<const char*>(file);
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return path;
}

bool Inside(const SetupRect& r, int x, int y) {
  return x >= r.left && y >= r.top && x < r.left + r.width && y < r.top + r.height;
}

// A push button in the classic raised style; sunken while pressed.
void DrawButton(SDL_Renderer* renderer, const SetupRect& r, SDL_Texture* text, bool pressed) {
  SDL_SetRenderDrawColor(renderer, 240, 240, 240, 255);
  SDL_RenderClear(renderer);
  const SDL_Rect face{r.left, r.top, r.width, r.height};
  SDL_SetRenderDrawColor(renderer, 225, 225, 225, 255);
  SDL_RenderFillRect(renderer, &face);
  const int x0 = r.left, y0 = r.top, x1 = r.left + r.width - 1, y1 = r.top + r.height - 1;
  const Uint8 light = pressed ? 105 : 255, dark = pressed ? 255 : 105;
  SDL_SetRenderDrawColor(renderer, light, light, light, 255);
  SDL_RenderDrawLine(renderer, x0, y0, x1, y0);
  SDL_RenderDrawLine(renderer, x0, y0, x0, y1);
  SDL_SetRenderDrawColor(renderer, dark, dark, dark, 255);
  SDL_RenderDrawLine(renderer, x0, y1, x1, y1);
  SDL_RenderDrawLine(renderer, x1, y0, x1, y1);
  if (text) {
    int w = 0, h = 0;
    SDL_QueryTexture(text, nullptr, nullptr, &w, &h);
    const int shift = pressed ? 1 : 0;
    const SDL_Rect at{r.left + (r.width - w) / 2 + shift, r.top + (r.height - h) / 2 + shift, w, h};
    SDL_RenderCopy(renderer, text, nullptr, &at);
  }
  SDL_RenderPresent(renderer);
}

}  // namespace

void SdlInstallerHost::MessageBox(const std::string& text, const std::string& title) {
  // Also on the terminal, for a start without a display.
  std::fprintf(stderr, "%s\n", text.c_str());
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr);
}

std::optional<std::string> SdlInstallerHost::ShowSetupWindow(const std::string& caption) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return std::string(SDL_GetError());
  float dpi_x = 96, dpi_y = 96;
  if (SDL_GetDisplayDPI(0, nullptr, &dpi_x, &dpi_y) != 0 || dpi_x < 48 || dpi_y < 48) {
    dpi_x = dpi_y = 96;
  }
  const SetupRect frame = frmsetup::FrameSize(static_cast<int>(std::lround(dpi_x)),
                                              static_cast<int>(std::lround(dpi_y)));
  SDL_Window* window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        frame.width, frame.height, SDL_WINDOW_SHOWN);
  SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE) : nullptr;
  if (!renderer) {
    std::string reason = SDL_GetError();
    if (window) SDL_DestroyWindow(window);
    SDL_Quit();
    return reason;
  }

  SDL_Texture* text = nullptr;
  if (TTF_Init() == 0) {
    const std::string file = FontFile("Times New Roman");
    const int pixels = static_cast<int>(std::lround(kButtonPoints * dpi_y / 72.0));
    if (TTF_Font* font = file.empty() ? nullptr : TTF_OpenFont(file.c_str(), pixels)) {
      if (SDL_Surface* s = TTF_RenderUTF8_Blended(font, caption.c_str(), SDL_Color{0, 0, 0, 255})) {
        text = SDL_CreateTextureFromSurface(renderer, s);
        SDL_FreeSurface(s);
      }
      TTF_CloseFont(font);
    }
  }

  SDL_Cursor* hand = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
  SDL_Cursor* arrow = SDL_GetDefaultCursor();
  int inner_w = 0, inner_h = 0;
  SDL_GetWindowSize(window, &inner_w, &inner_h);
  SetupRect button = frmsetup::Command1Bounds(inner_w, inner_h);
  bool pressed = false;
  DrawButton(renderer, button, text, pressed);

  for (bool open = true; open;) {
    SDL_Event event;
    if (!SDL_WaitEvent(&event)) break;
    switch (event.type) {
      case SDL_QUIT:
        open = false;
        break;
      case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) open = false;
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
          button = frmsetup::Command1Bounds(event.window.data1, event.window.data2);
        }
        DrawButton(renderer, button, text, pressed);
        break;
      case SDL_MOUSEMOTION:
        SDL_SetCursor(Inside(button, event.motion.x, event.motion.y) && hand ? hand : arrow);
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT &&
            Inside(button, event.button.x, event.button.y)) {
          pressed = true;
          DrawButton(renderer, button, text, pressed);
        }
        break;
      case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT && pressed) {
          pressed = false;
          DrawButton(renderer, button, text, pressed);
          // As a push button does: a click is a press and a release on it.
          if (Inside(button, event.button.x, event.button.y)) open = false;
        }
        break;
      default:
        break;
    }
  }

  if (text) SDL_DestroyTexture(text);
  if (TTF_WasInit()) TTF_Quit();
  // The window, its renderer and cursor are left to the X server, which
  // drops them with the connection as the program ends. SDL's teardown
  // without a window manager now and then sent an event to a window already
  // gone, and Xlib's error handler ended a finished install with code 1.
  return std::nullopt;
}

}  // namespace brenlow
