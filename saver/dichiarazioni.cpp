#include "saver/dichiarazioni.h"

#include <cctype>

namespace brenlow {

std::int16_t RunModeFromArgs(const std::string& args) {
  std::string head = args.substr(0, 2);
  for (char& c : head) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (head == "/S") return kRunSaver;
  if (head == "/C") return kRunConfigure;
  return kRunNothing;
}

}  // namespace brenlow
