// SPDX-License-Identifier: MIT
// Checks the game's #include lines against the layers of docs/architecture.md: every quoted
// include of a file in a layer's folder must name a file of that folder or one the layer's
// row of the table lets it include, SDL's and Xlib's headers only where the table allows them,
// and no two modules (a header with its source) may include each other, however roundabout.
// Usage: check_includes SOURCE_DIR. Prints every fault, naming the file, the line and the
// rule broken; exits 1 when there is one, 2 when the table cannot be read.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Layer {
  std::string folder;                // "game/"
  std::vector<std::string> allowed;  // folders ("base/") and files ("player/player.h")
  bool systemHeaders = false;        // SDL and Xlib headers allowed
  int row = 0;
};

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// The backquoted words of a table cell.
std::vector<std::string> Quoted(const std::string& cell) {
  std::vector<std::string> words;
  static const std::regex quoted("`([^`]+)`");
  for (std::sregex_iterator it(cell.begin(), cell.end(), quoted), end; it != end; ++it) words.push_back((*it)[1]);
  return words;
}

std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::string cell;
  for (size_t i = 1; i < line.size(); ++i) {
    if (line[i] == '|') {
      cells.push_back(cell);
      cell.clear();
    } else {
      cell += line[i];
    }
  }
  return cells;
}

// The rows of the table under the heading "## Layers" whose first cell names a folder.
std::vector<Layer> ReadLayers(const fs::path& doc) {
  std::ifstream in(doc);
  std::vector<Layer> layers;
  std::string line;
  bool inSection = false;
  while (std::getline(in, line)) {
    if (StartsWith(line, "## ")) inSection = line == "## Layers";
    if (!inSection || !StartsWith(line, "|")) continue;
    const std::vector<std::string> cells = Cells(line);
    if (cells.size() < 4) continue;
    const std::vector<std::string> folder = Quoted(cells[0]);
    if (folder.size() != 1 || folder[0].back() != '/') continue;
    Layer layer;
    layer.folder = folder[0];
    layer.allowed = Quoted(cells[cells.size() - 2]);
    layer.systemHeaders = cells.back().find("yes") != std::string::npos;
    layer.row = static_cast<int>(layers.size());
    layers.push_back(layer);
  }
  return layers;
}

const Layer* LayerOf(const std::vector<Layer>& layers, const std::string& file) {
  for (const Layer& layer : layers)
    if (StartsWith(file, layer.folder)) return &layer;
  return nullptr;
}

bool Allows(const Layer& layer, const std::string& header) {
  if (StartsWith(header, layer.folder)) return true;
  for (const std::string& entry : layer.allowed) {
    if (entry.back() == '/' ? StartsWith(header, entry) : header == entry) return true;
  }
  return false;
}

std::string Listing(const Layer& layer) {
  std::string text;
  for (const std::string& entry : layer.allowed) text += (text.empty() ? "" : ", ") + entry;
  return text.empty() ? "nothing outside it" : text;
}

// A module: a file's path without its extension, so that a header and its source are one.
std::string ModuleOf(const std::string& file) { return file.substr(0, file.rfind('.')); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: check_includes SOURCE_DIR\n";
    return 2;
  }
  const fs::path root = argv[1];
  const std::vector<Layer> layers = ReadLayers(root / "docs/architecture.md");
  if (layers.size() < 2) {
    std::cerr << "docs/architecture.md: no table of layers under \"## Layers\"\n";
    return 2;
  }
  int faults = 0;
  auto fault = [&faults](const std::string& text) {
    std::cout << text << "\n";
    ++faults;
  };
  // The table itself runs downward: a layer names only layers above its row.
  for (const Layer& layer : layers) {
    for (const std::string& entry : layer.allowed) {
      const Layer* target = LayerOf(layers, entry);
      if (target == nullptr || target->row >= layer.row)
        fault("docs/architecture.md: " + layer.folder + " may include " + entry + ", which is not in a layer below it");
    }
  }

  std::map<std::string, std::set<std::string>> uses;  // module -> modules it includes
  std::map<std::pair<std::string, std::string>, std::string> where;
  static const std::regex include(R"(^\s*#\s*include\s*([<"])([^">]+)[">])");
  std::vector<std::string> files;
  for (const Layer& layer : layers) {
    const fs::path folder = root / layer.folder;
    if (!fs::is_directory(folder)) {
      fault("docs/architecture.md: the layer " + layer.folder + " has no folder");
      continue;
    }
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      const std::string extension = entry.path().extension().string();
      if (entry.is_regular_file() && (extension == ".h" || extension == ".cpp" || extension == ".inc"))
        files.push_back(fs::relative(entry.path(), root).generic_string());
    }
  }
  std::sort(files.begin(), files.end());
  for (const std::string& file : files) {
    const Layer& layer = *LayerOf(layers, file);
    std::ifstream in(root / file);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
      ++number;
      std::smatch match;
      if (!std::regex_search(line, match, include)) continue;
      const std::string header = match[2];
      const std::string at = file + ":" + std::to_string(number) + ": ";
      if (match[1] == "<") {
        const bool system = StartsWith(header, "SDL") || StartsWith(header, "X11/");
        if (system && !layer.systemHeaders)
          fault(at + "includes <" + header + ">, but " + layer.folder + " may not include SDL or Xlib headers");
        continue;
      }
      if (!Allows(layer, header)) {
        fault(at + "includes " + header + ", but " + layer.folder + " may include only its own files and " +
              Listing(layer) + " (docs/architecture.md, Layers)");
      }
      if (!fs::exists(root / header)) fault(at + "includes " + header + ", which is no file of the game");
      const std::string from = ModuleOf(file), to = ModuleOf(header);
      if (from != to && uses[from].insert(to).second) where[{from, to}] = at;
    }
  }

  // Circles between modules, each told once from its first module in order.
  std::set<std::string> done;
  std::map<std::string, int> state;  // 1 on the path, 2 finished
  std::vector<std::string> path;
  std::function<void(const std::string&)> visit = [&](const std::string& module) {
    state[module] = 1;
    path.push_back(module);
    for (const std::string& next : uses[module]) {
      if (state[next] == 1) {
        const auto start = std::find(path.begin(), path.end(), next);
        std::string circle;
        for (auto it = start; it != path.end(); ++it) circle += *it + " -> ";
        fault(where[{module, next}] + "closes an include circle: " + circle + next);
      } else if (state[next] == 0) {
        visit(next);
      }
    }
    path.pop_back();
    state[module] = 2;
  };
  for (const auto& [module, targets] : uses)
    if (state[module] == 0) visit(module);

  std::cout << files.size() << " files of " << layers.size() << " layers checked: " << faults
            << (faults == 1 ? " fault" : " faults") << "\n";
  return faults == 0 ? 0 : 1;
}
