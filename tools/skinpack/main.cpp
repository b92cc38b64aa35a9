// skinpack: packs skin files into a container.
//   skinpack <out.nxz> [--name <entry>] <file>...
// Each file becomes one entry, in the order given, named after its base name
// or after the name given with --name just before it (the built-in skin's
// painter writes upper-case file names; the container keeps mixed-case ones).
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/base/FileBytes.h"
#include "skin/data/SkinConvertor.h"

int main(int argc, char** argv) {
  auto usage = [] {
    std::cerr << "usage: skinpack <out.nxz> [--name <entry>] <file>...\n";
    return 2;
  };
  if (argc < 3) return usage();
  try {
    std::vector<vm::TPackedEntry> entries;
    for (int i = 2; i < argc; ++i) {
      std::string entryName;
      if (std::string(argv[i]) == "--name") {
        if (i + 2 >= argc) return usage();
        entryName = argv[i + 1];
        i += 2;
      }
      std::filesystem::path path(argv[i]);
      vm::TPackedEntry e;
      try {
        e.Bytes = vm::ReadWholeFile(path.string());
      } catch (const vm::EFileReadError& error) {
        std::cerr << "skinpack: " << error.Message() << '\n';
        return 1;
      }
      e.Name = entryName.empty() ? path.filename().string() : entryName;
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
