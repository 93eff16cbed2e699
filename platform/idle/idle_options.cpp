#include "platform/idle/idle_options.h"

#include <charconv>

namespace brenlow {

std::optional<double> ParseMinutes(std::string_view text) {
  double minutes = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, minutes);
  // from_chars takes neither '+' nor "0x" and says "inf" and "nan" too.
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  if (!(minutes > 0 && minutes <= 24 * 60)) return std::nullopt;
  return minutes;
}

IdleOptions ParseIdleOptions(const std::vector<std::string>& args) {
  IdleOptions options;
  for (std::size_t i = 0; i < args.size() && options.error.empty(); ++i) {
    const std::string& name = args[i];
    auto value = [&](const char* what) -> std::optional<std::string> {
      if (i + 1 >= args.size()) {
        options.error = "manca " + std::string(what) + " dopo " + name;
        return std::nullopt;
      }
      return args[++i];
    };
    if (name == "--help" || name == "-h") {
      options.question = IdleQuestion::kHelp;
      break;
    } else if (name == "--version") {
      options.question = IdleQuestion::kVersion;
      break;
    } else if (name == "--minutes") {
      if (const auto text = value("il numero di minuti")) {
        options.minutes = ParseMinutes(*text);
        if (!options.minutes) options.error = "numero di minuti non valido: " + *text;
      }
    } else if (name == "--saver") {
      options.saver = value("il programma");
    } else {
      options.error = "opzione sconosciuta: " + name;
    }
  }
  return options;
}

IdleConfig ParseIdleConfig(std::string_view text) {
  IdleConfig config;
  int number = 0;
  while (!text.empty() && config.error.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    if (line.empty() || line.front() == '#') continue;
    constexpr std::string_view kKey = "minutes=";
    if (line.substr(0, kKey.size()) == kKey) {
      config.minutes = ParseMinutes(line.substr(kKey.size()));
      if (config.minutes) continue;
    }
    config.error = "riga " + std::to_string(number) + " non valida: " + std::string(line);
  }
  return config;
}

std::string IdleConfigPath(const char* xdg_config_home, const char* home) {
  if (xdg_config_home && *xdg_config_home) {
    return std::string(xdg_config_home) + "/brenlow/idle.conf";
  }
  if (home && *home) return std::string(home) + "/.config/brenlow/idle.conf";
  return "";
}

std::string IdleUsage(const std::string& config_file) {
  return "Uso: brenlow-idle [--minutes N] [--saver PROGRAMMA]\n"
         "     brenlow-idle --help | --version\n"
         "\n"
         "Avvia \"brenlow /S\" quando tastiera e mouse restano fermi per N minuti,\n"
         "sui desktop senza un programma salvaschermo (Wayland, GNOME, X11).\n"
         "\n"
         "  --minutes N          minuti senza input prima del salvaschermo (anche\n"
         "                       decimali, con il punto: 0.5); predefinito: " +
         std::to_string(kDefaultIdleMinutes) +
         "\n"
         "  --saver PROGRAMMA    avvia \"PROGRAMMA /S\" al posto di brenlow\n"
         "  -h, --help           mostra questo aiuto\n"
         "  --version            mostra la versione\n"
         "\n"
         "File di configurazione (riga \"minutes=N\"): " +
         (config_file.empty() ? std::string("nessuno, HOME non è impostata") : config_file) +
         "\n"
         "Come servizio: systemctl --user enable --now brenlow-idle\n"
         "Vedi anche: man 6 brenlow\n";
}

}  // namespace brenlow
