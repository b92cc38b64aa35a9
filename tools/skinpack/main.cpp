// skinpack: packs skin files into a container.
//   skinpack <out.nxz> <file>...
// Each file becomes one entry named after its base name, in the order given.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "skin/data/SkinConvertor.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: skinpack <out.nxz> <file>...\n";
    return 2;
  }
  try {
    std::vector<vm::TPackedEntry> entries;
    for (int i = 2; i < argc; ++i) {
      std::filesystem::path path(argv[i]);
      std::ifstream in(path, std::ios::binary);
      if (!in) {
        std::cerr << "skinpack: cannot read " << path << '\n';
        return 1;
      }
      vm::TPackedEntry e;
      e.Name = path.filename().string();
      e.Bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      entries.push_back(std::move(e));
    }
    std::vector<std::uint8_t> container = vm::WritePackedSkin(entries);
    std::string out = argv[1];
    std::string tmp = out + ".tmp";
    {
      std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
      if (!f.write(reinterpret_cast<const char*>(container.data()),
                   std::streamsize(container.size()))) {
        std::cerr << "skinpack: cannot write " << tmp << '\n';
        return 1;
      }
    }
    std::filesystem::rename(tmp, out);
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "skinpack: " << e.what() << '\n';
    return 1;
  }
}
