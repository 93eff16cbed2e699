// Writes brenlow.xml, the page of xscreensaver-settings, from its template:
// the shape entries come from the dialog's own list, in its order, the first
// ("Casuali") being the default that passes no option.
//
//   brenlow-xscreensaver-xml TEMPLATE OUTPUT
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "saver/options/frm_options.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: " << argv[0] << " TEMPLATE OUTPUT\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  std::stringstream text;
  text << in.rdbuf();
  if (!in) {
    std::cerr << argv[0] << ": cannot read " << argv[1] << "\n";
    return 1;
  }
  std::string options;
  for (std::size_t i = 0; i < brenlow::kShapeEntries.size(); ++i) {
    const std::string& name = brenlow::kShapeEntries[i];
    std::string id;
    for (const char c : name) id += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    options += "    <option id=\"" + id + "\" _label=\"" + name + "\"";
    if (i > 0) options += " arg-set=\"-shape " + name + "\"";
    options += "/>\n";
  }
  options.pop_back();
  std::string xml = text.str();
  const std::string mark = "@BRENLOW_SHAPE_OPTIONS@";
  const std::size_t at = xml.find(mark);
  if (at == std::string::npos) {
    std::cerr << argv[0] << ": " << argv[1] << " has no " << mark << "\n";
    return 1;
  }
  xml.replace(at, mark.size(), options);
  std::ofstream out(argv[2], std::ios::binary);
  out << xml;
  out.close();
  if (!out) {
    std::cerr << argv[0] << ": cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
