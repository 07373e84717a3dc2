#include "support/doc_records.h"

#include <cstring>

#include "common/file/record_codec.h"
#include "common/model/header.h"
#include "common/status.h"
#include "docstore/document.h"
#include "docstore/page_records.h"
#include "platform/env.h"
#include "platform/memory_file.h"

namespace qs_test {

namespace {
constexpr int kLabelShift = 2;
}

void LabelPage(DocHandle* h, int position, int label) {
  qs::Document* doc = qs::Document::FromHandle(h);
  qs::Page* page = doc->PageAt(position);
  if (page == nullptr) return;
  page->inf = uint16_t((page->inf & 3) | (label << kLabelShift));
  doc->PageChanged(position);
}

int LabelOf(DocHandle* h, int position) {
  const qs::Page* page = qs::Document::FromHandle(h)->PageAt(position);
  return page ? page->inf >> kLabelShift : -1;
}

std::vector<int> Labels(DocHandle* h) {
  std::vector<int> labels;
  for (int n = 1; n <= QdaGetPageCount(h); ++n) labels.push_back(LabelOf(h, n));
  return labels;
}

std::string PageRecords(DocHandle* h, int position) {
  const qs::Page* page = qs::Document::FromHandle(h)->PageAt(position);
  if (page == nullptr) return "";
  qs::MemoryFile file;
  qs::RecordWriter out(&file);
  if (qs::WritePageRecords(*qs::CurrentEnv(), out, 1, *page) != qs::kOk || out.Flush() != qs::kOk)
    return "";
  return file.data();
}

std::vector<Record> ParseRecords(const std::string& bytes) {
  std::vector<Record> records;
  size_t at = 0;
  while (at < bytes.size()) {
    if (bytes.size() - at < 6 || uint8_t(bytes[at]) != 0x1B) break;
    uint32_t length;
    std::memcpy(&length, bytes.data() + at + 2, 4);
    if (length > bytes.size() - at - 6) break;
    records.push_back({uint8_t(bytes[at + 1]), bytes.substr(at + 6, length)});
    at += 6 + length;
  }
  if (at < bytes.size()) records.push_back({'?', bytes.substr(at)});
  return records;
}

std::vector<Record> FileRecords(const std::string& path) {
  std::string bytes;
  if (!qs::ReadWholeFile(qs::CurrentEnv(), path, &bytes)) return {};
  return ParseRecords(bytes);
}

std::string U16(uint16_t v) {
  return std::string{char(v & 0xFF), char(v >> 8)};
}

std::string U32(uint32_t v) {
  return U16(uint16_t(v)) + U16(uint16_t(v >> 16));
}

std::string Frame(uint8_t tag, const std::string& body) {
  return std::string{char(0x1B), char(tag)} + U32(uint32_t(body.size())) + body;
}

std::string Frame(const std::vector<Record>& records) {
  std::string bytes;
  for (const Record& r : records) bytes += Frame(r.tag, r.body);
  return bytes;
}

std::string Outline(const std::vector<Record>& records) {
  std::string out;
  for (const Record& r : records) {
    if (!out.empty()) out += ' ';
    out += r.tag == 0 ? '0' : char(r.tag);
    out += std::to_string(r.body.size());
  }
  return out;
}

std::string HeaderBody(uint8_t version, const std::string& title, uint16_t pages) {
  qs::HeaderRecord rec{};
  rec.version = version;
  qs::CopyBounded(rec.title, sizeof rec.title, title.c_str());
  std::string body(reinterpret_cast<const char*>(&rec), sizeof rec);
  return body + U16(pages);
}

std::string PageBody(uint16_t number, uint16_t inf) {
  return U16(number) + U16(inf);
}

}  // namespace qs_test
