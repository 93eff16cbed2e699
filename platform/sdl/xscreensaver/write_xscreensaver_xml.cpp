// Writes brenlow.xml, the page of xscreensaver-settings, from its template:
// the shape entries come from the saver's table of shape families, in the
// dialog's order, the first ("Casuali") being the default that passes no
// option.
//
//   brenlow-xscreensaver-xml TEMPLATE OUTPUT
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "saver/shape_families.h"

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
  for (const brenlow::ShapeFamily& family : brenlow::kShapeFamilies) {
    const std::string name = family.setting;
    std::string id;
    for (const char c : name) id += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    options += "    <option id=\"" + id + "\" _label=\"" + name + "\"";
    if (family.choice != 0) options += " arg-set=\"-shape " + name + "\"";
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
