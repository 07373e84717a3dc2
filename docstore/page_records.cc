#include "docstore/page_records.h"

#include <cstring>

#include "common/file/page_codec.h"
#include "common/status.h"

namespace qs {

int CopyWholeRecord(RecordReader& in, RecordWriter& out, const RecordHead& head) {
  if (out.WriteHead(head.tag, uint64_t(head.length)) != kOk) return kDamaged;
  uint8_t piece[kMaxRecordBody];
  for (uint64_t left = uint64_t(head.length); left > 0;) {
    const size_t n = left < sizeof piece ? size_t(left) : sizeof piece;
    if (in.ReadBody(piece, n) != kOk || out.WriteBytes(piece, n) != kOk) return kDamaged;
    left -= n;
  }
  return kOk;
}

int WritePageRecords(Env& env, RecordWriter& out, int number, const Page& page) {
  int status = WritePageHead(out, number, page.inf);
  for (int i = 0; i < page.data_count && status == kOk; ++i)
    status = WritePageItem(env, out, page, page.data[i]);
  if (status == kOk) status = out.Write(kTagEnd, nullptr, 0);
  return status;
}

std::vector<std::string> PicturesOfPage(const Page& page) {
  std::vector<std::string> names;
  for (int i = 0; i < page.data_count; ++i) {
    const PageData entry = page.data[i];
    if (entry.kind != kInsFigure) continue;
    if (const InsFigureRec* figure = page.ins_figures.Get(entry.no))
      names.emplace_back(figure->file_name, strnlen(figure->file_name, sizeof figure->file_name));
  }
  return names;
}

int ReadPageRecords(Binder& b, RecordReader& in, Page* page, std::vector<std::string>* pictures) {
  PageReadRules rules;
  rules.accept_short_chart_head = false;
  rules.accept_long_figures = true;
  PageContentReader content(b, in, rules);
  content.set_known_pictures(pictures);
  content.StartPage(page);

  RecordHead head;
  if (in.ReadHead(&head) != kOk) return kDamaged;
  if (head.end || head.tag != kTagPage) return kNoPageRecord;
  for (;;) {
    if (head.tag == kTagPage) {
      // The page's number is its place in the page table, not what the record says.
      int number = 0;
      uint16_t inf = 0;
      if (ReadPageHead(in, head, &number, &inf) != kOk) return kDamaged;
      page->inf = inf;
      content.StartPage(page);
    } else if (PageContentReader::Takes(head.tag)) {
      const int status = content.Read(head);
      if (status != kOk) return status;
    }
    // Anything else (a string standing alone, the field-layout records a converted form carries)
    // is skipped by the next ReadHead.
    if (in.ReadHead(&head) != kOk) return kDamaged;
    if (head.end || (head.tag == kTagEnd && head.length == 0)) {
      if (pictures) pictures->swap(content.pictures());
      return kOk;
    }
  }
}

}  // namespace qs
