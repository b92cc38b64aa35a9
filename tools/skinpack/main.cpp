// skinpack: packs skin files into a container (installed as velmora-skinpack).
//   skinpack <out.nxz> [--name <entry>] <file or folder>...
// Each file becomes one entry, in the order given, named after its base name
// or after the name given with --name just before it (the built-in skin's
// painter writes upper-case file names; the container keeps mixed-case ones).
// A folder stands for the files directly in it: its description
// "Options.dat" first, then the others by name; hidden files are left out.
#include <algorithm>
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
    std::cerr << "usage: skinpack <out.nxz> [--name <entry>] <file or folder>...\n";
    return 2;
  };
  if (argc < 3) return usage();
  try {
    std::vector<vm::TPackedEntry> entries;
    auto add = [&](const std::filesystem::path& path, const std::string& entryName) {
      vm::TPackedEntry e;
      try {
        e.Bytes = vm::ReadWholeFile(path.string());
      } catch (const vm::EFileReadError& error) {
        std::cerr << "skinpack: " << error.Message() << '\n';
        return false;
      }
      e.Name = entryName.empty() ? path.filename().string() : entryName;
      entries.push_back(std::move(e));
      return true;
    };
    for (int i = 2; i < argc; ++i) {
      std::string entryName;
      if (std::string(argv[i]) == "--name") {
        if (i + 2 >= argc) return usage();
        entryName = argv[i + 1];
        i += 2;
      }
      std::filesystem::path path(argv[i]);
      std::error_code ec;
      if (entryName.empty() && std::filesystem::is_directory(path, ec)) {
        std::vector<std::filesystem::path> files;
        for (const auto& e : std::filesystem::directory_iterator(path))
          if (e.is_regular_file() && e.path().filename().string()[0] != '.')
            files.push_back(e.path());
        // The description first: readers find it by name, but it leads the
        // built-in container too.
        std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
          const bool ao = a.filename() == "Options.dat", bo = b.filename() == "Options.dat";
          return ao != bo ? ao : a.filename() < b.filename();
        });
        if (files.empty() || files.front().filename() != "Options.dat") {
          std::cerr << "skinpack: " << path << " holds no Options.dat\n";
          return 1;
        }
        for (const auto& f : files)
          if (!add(f, "")) return 1;
        continue;
      }
      if (!add(path, entryName)) return 1;
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
