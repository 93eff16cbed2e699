#include "platform/sdl/host_command_line.h"

#include <cstdint>

namespace brenlow {

std::optional<unsigned long> ParseWindowId(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * base + static_cast<std::uint64_t>(digit);
  }
  // X resource ids are 32-bit values; 0 is "none".
  if (value == 0 || value > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<unsigned long>(value);
}

HostCommandLine ParseHostCommandLine(const std::vector<std::string>& args,
                                     const char* xscreensaver_window) {
  HostCommandLine request;
  if (!args.empty() && !args[0].empty() && args[0][0] == '/') return request;
  std::optional<unsigned long> window_option;
  for (std::size_t i = 0; i < args.size() && request.error.empty(); ++i) {
    // The hosts write options with one dash or two ("-root", "--root").
    std::string name = args[i];
    if (name.rfind("--", 0) == 0) name.erase(0, 1);
    const bool has_value = i + 1 < args.size();
    auto value = [&](const char* what) -> std::optional<std::string> {
      if (!has_value) {
        request.error = "manca " + std::string(what) + " dopo " + args[i];
        return std::nullopt;
      }
      return args[++i];
    };
    if (name == "-help" || name == "-h") {
      request.question = HostQuestion::kHelp;
      break;
    } else if (name == "-version") {
      request.question = HostQuestion::kVersion;
      break;
    } else if (name == "-root") {
      request.hosted = request.root = true;
    } else if (name == "-window-id") {
      if (const auto text = value("il numero della finestra")) {
        window_option = ParseWindowId(*text);
        if (!window_option) request.error = "numero di finestra non valido: " + *text;
        request.hosted = true;
      }
    } else if (name == "-shape") {
      request.shape = value("il nome della forma");
    } else if (name == "-picture") {
      request.picture = value("il file dell'immagine");
    } else if (name == "-visual") {
      // Drawing takes whatever visual the host's window has.
      request.ignored.push_back(args[i]);
      if (has_value) request.ignored.push_back(args[++i]);
    } else {
      // -window, -fps, -no-fps, -install, -noinstall, -mono and anything
      // unknown: nothing to do, and no reason to refuse to run.
      request.ignored.push_back(args[i]);
    }
  }
  if (request.error.empty() && !window_option && xscreensaver_window && *xscreensaver_window) {
    request.hosted = true;
    const std::optional<unsigned long> window = ParseWindowId(xscreensaver_window);
    if (!window) {
      request.error = "XSCREENSAVER_WINDOW non valido: " + std::string(xscreensaver_window);
    }
    request.window = window;
  }
  if (window_option) request.window = window_option;
  return request;
}

std::string HostUsage(const std::string& settings_file) {
  return "Uso: brenlow /S | /C\n"
         "     brenlow [-root | -window-id FINESTRA] [-shape FORMA] [-picture FILE]\n"
         "     brenlow --help | --version\n"
         "\n"
         "Salvaschermo a tutto schermo: mattonelle, contorni che crescono dal centro,\n"
         "l'indirizzo, il logo svelato a strisce e una dissolvenza al nero.\n"
         "\n"
         "Modi di esecuzione:\n"
         "  /S                   avvia il salvaschermo a tutto schermo; finisce con un\n"
         "                       tasto o spostando il mouse di lato\n"
         "  /C                   apre la finestra delle impostazioni\n"
         "  (altro o niente)     non mostra nulla e termina\n"
         "\n"
         "Dentro un programma salvaschermo (XScreenSaver, xsecurelock), che passa la\n"
         "finestra in XSCREENSAVER_WINDOW:\n"
         "  -root                disegna nella finestra dell'ospite o, senza, sulla\n"
         "                       finestra radice\n"
         "  -window-id FINESTRA  disegna nella finestra indicata (0x... o decimale)\n"
         "  -shape FORMA         Casuali, Quadrati, Cerchi, Triangoli, Ovali o Ellissi,\n"
         "                       al posto della forma del file delle impostazioni\n"
         "  -picture FILE        l'immagine BMP del logo, al posto di quella del file\n"
         "                       delle impostazioni\n"
         "  Le altre opzioni dell'ospite (-fps, -install, -visual V, ...) sono ignorate.\n"
         "\n"
         "  -h, --help           mostra questo aiuto\n"
         "  --version            mostra la versione\n"
         "\n"
         "File delle impostazioni: " +
         settings_file +
         "\n"
         "Vedi anche: man 6 brenlow\n";
}

}  // namespace brenlow
