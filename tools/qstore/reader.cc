// Picture formats, geometry reading and the choice of library for a file.
#include "tools/qstore/reader.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tools/qstore/os.h"
#include "tools/qstore/page_reader.h"

namespace qstore::tool {

std::unique_ptr<Reader> MakeFormReader(const std::string& path);
std::unique_ptr<Reader> MakeDocReader(const std::string& path);

const char* KindName(FileKind kind) {
  return kind == FileKind::kForm ? "form" : "document";
}

FileKind KindFromPath(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return FileKind::kForm;
  std::string extension = name.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return extension == "QFD" ? FileKind::kForm : FileKind::kDocument;
}

void PrepareTemplateLookup(const std::string& form_path) {
  const char* base = std::getenv("SITEPATHS_BASE_DIR");
  if (base != nullptr && base[0] != '\0') return;
  std::filesystem::path dir = std::filesystem::path(LibraryPath(form_path)).parent_path();
  if (dir.filename() == "QFD") dir = dir.parent_path();
  SetEnvironment("SITEPATHS_BASE_DIR", dir.string() + "/");
}

std::unique_ptr<Reader> OpenReader(const std::string& path, FileKind kind) {
  if (kind == FileKind::kForm) {
    PrepareTemplateLookup(path);
    return MakeFormReader(path);
  }
  return MakeDocReader(path);
}

std::string LibraryPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

std::array<uint32_t, 16> DefaultColorTable() {
  return {0x00000000, 0x00000080, 0x00008000, 0x00008080, 0x00800000, 0x00800080,
          0x00808000, 0x00808080, 0x00C0C0C0, 0x000000FF, 0x0000FF00, 0x0000FFFF,
          0x00FF0000, 0x00FF00FF, 0x00FFFF00, 0x00FFFFFF};
}

namespace {

uint32_t Le32(const std::string& b, size_t at) {
  if (at + 4 > b.size()) return 0;
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

bool Starts(const std::string& bytes, const char* magic, size_t n) {
  return bytes.size() >= n && std::memcmp(bytes.data(), magic, n) == 0;
}

}  // namespace

std::string PictureFormat(const std::string& bytes) {
  if (Starts(bytes, "\x89PNG\r\n\x1a\n", 8)) return "png";
  if (Starts(bytes, "\xFF\xD8\xFF", 3)) return "jpeg";
  if (Starts(bytes, "GIF87a", 6) || Starts(bytes, "GIF89a", 6)) return "gif";
  if (bytes.size() >= 12 && Starts(bytes, "RIFF", 4) && bytes.compare(8, 4, "WEBP") == 0)
    return "webp";
  if (Starts(bytes, "BM", 2) && bytes.size() >= 26) {
    // A bitmap is only worth embedding when its headers hold together.
    const uint32_t pixels_at = Le32(bytes, 10), info_size = Le32(bytes, 14);
    const bool known_info = info_size == 12 || info_size == 40 || info_size == 52 ||
                            info_size == 56 || info_size == 108 || info_size == 124;
    if (known_info && pixels_at >= 14 + info_size && pixels_at <= bytes.size()) return "bmp";
    return "";
  }
  const size_t start = bytes.find_first_not_of(" \t\r\n");
  if (start != std::string::npos &&
      (bytes.compare(start, 5, "<?xml") == 0 || bytes.compare(start, 4, "<svg") == 0) &&
      bytes.find("<svg") != std::string::npos)
    return "svg";
  return "";
}

void InspectPicture(PictureInfo* picture) {
  std::ifstream in(picture->path, std::ios::binary);
  if (!in) return;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  picture->size = static_cast<long long>(bytes.size());
  picture->format = PictureFormat(bytes);
}

Box FigureBox(const Figure& figure) {
  Box box;
  std::memcpy(&box, figure.Geometry, sizeof box);
  return box;
}

Box PictureBox(const InsFigure& picture) {
  return Box{picture.Geometry[0], picture.Geometry[1], picture.Geometry[2], picture.Geometry[3]};
}

}  // namespace qstore::tool
