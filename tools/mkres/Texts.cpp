#include "Texts.h"

#include <cstdio>

namespace gravik::mkres {

namespace {

bool Fail(std::string* error, const std::string& msg) {
  if (error) *error = msg;
  return false;
}

bool ReadFile(const std::string& path, std::string* out) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  out->clear();
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    out->append(buf, n);
    if (out->size() > (1u << 20)) break;  // far beyond any page; checked below
  }
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

}  // namespace

bool CookText(const std::string& source, TextKind kind, const std::string& name, std::string* out,
              std::string* error) {
  if (source.size() > (1u << 20)) return Fail(error, name + ": file too large");
  const int maxChars = kind == TextKind::Credits ? kCreditLineChars : kHelpLineChars;
  const int maxLines = kind == TextKind::Credits ? kCreditLines : kHelpPageLines;

  std::vector<std::string> lines;
  size_t pos = 0;
  int sourceLine = 0;
  while (pos < source.size()) {
    size_t end = source.find('\n', pos);
    if (end == std::string::npos) end = source.size();
    std::string line = source.substr(pos, end - pos);
    pos = end + 1;
    ++sourceLine;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '#') continue;
    while (!line.empty() && line.back() == ' ') line.pop_back();
    const std::string where = name + " line " + std::to_string(sourceLine);
    for (unsigned char c : line)
      if (c < 32 || c > 126) return Fail(error, where + ": character " + std::to_string(c) + " is not printable ASCII");
    size_t shown = line.size();
    if (kind == TextKind::Credits) {
      int markers = 0;
      for (char c : line) markers += (c == '@' || c == '%' || c == '*');
      if (markers > 1) return Fail(error, where + ": more than one marker character");
      shown -= size_t(markers);
    }
    if (shown > size_t(maxChars))
      return Fail(error, where + ": longer than " + std::to_string(maxChars) + " characters");
    lines.push_back(line);
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  if (lines.empty()) return Fail(error, name + ": no text");
  if (int(lines.size()) > maxLines)
    return Fail(error, name + ": more than " + std::to_string(maxLines) + " lines");

  if (kind == TextKind::CastPage) {
    int paragraphs = 0, run = 0;
    for (size_t i = 0; i <= lines.size(); ++i) {
      if (i == lines.size() || lines[i].empty()) {
        if (run == 0) return Fail(error, name + ": empty paragraph (one empty line between cast members)");
        ++paragraphs;
        run = 0;
      } else if (++run > kCastParagraphLines) {
        return Fail(error, name + ": a cast paragraph has more than " + std::to_string(kCastParagraphLines) +
                               " lines");
      }
    }
    if (paragraphs != kCastPerPage)
      return Fail(error, name + ": " + std::to_string(paragraphs) + " cast paragraphs, expected " +
                             std::to_string(kCastPerPage));
  }

  out->clear();
  for (const std::string& l : lines) *out += l + "\n";
  return true;
}

std::vector<NamedItem> BuildTexts(const std::string& assetsDir, std::string* error) {
  struct Source {
    const char* Dir;
    std::string Name;
    TextKind Kind;
  };
  std::vector<Source> sources;
  for (int n = 1; n <= 5; ++n)
    sources.push_back({"help", "helppage" + std::to_string(n) + ".txt", n <= 2 ? TextKind::CastPage : TextKind::HelpPage});
  sources.push_back({"credits", "kvelauthor.txt", TextKind::Credits});

  std::vector<NamedItem> items;
  for (const Source& s : sources) {
    const std::string path = assetsDir + "/" + s.Dir + "/" + s.Name;
    std::string raw, cooked;
    if (!ReadFile(path, &raw)) {
      Fail(error, "cannot read " + path);
      return {};
    }
    if (!CookText(raw, s.Kind, path, &cooked, error)) return {};
    items.emplace_back(s.Name, std::vector<uint8_t>(cooked.begin(), cooked.end()));
  }
  return items;
}

}  // namespace gravik::mkres
