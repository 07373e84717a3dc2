#include "docstore/document_file.h"

#include <cstring>
#include <memory>
#include <vector>

#include "common/contained.h"
#include "common/file/atomic_file.h"
#include "common/file/header_codec.h"
#include "common/file/page_codec.h"
#include "common/file/record_codec.h"
#include "common/status.h"
#include "docstore/page_records.h"

namespace qs {

namespace {

class DocumentReader {
 public:
  DocumentReader(Document& doc, File& file) : doc_(doc), in_(&file) {}

  int Run() {
    RecordHead head;
    if (in_.ReadHead(&head) != kOk || head.end || head.tag != kTagHeader) return kDamaged;
    // The document-wide records, up to the first 'P'. The file cannot end here: every page starts
    // with its 'P', and a file without pages is never written. Page content needs its page; records
    // of unknown kinds are skipped by the next ReadHead.
    for (;;) {
      const int status =
          ReadHeaderRecords(in_, &head, true, &doc_.header(),
                            [this](const HeaderBody& body, Header*) { return TakeHead(body); });
      if (status != kOk) return status;
      if (head.end || PageContentReader::Takes(head.tag)) return kDamaged;
      if (head.tag == kTagPage) break;
      if (in_.ReadHead(&head) != kOk) return kDamaged;
    }
    version_ = doc_.header().rec.version;
    doc_.header().rec.version = kHeaderVersion;

    while (!head.end) {
      const int status = ReadPage(&head);
      if (status != kOk) return status;
    }
    // Every page the header announces must have come with its records.
    for (int n = 1; n <= doc_.page_count(); ++n)
      if (!seen_[n]) return kDamaged;
    return kOk;
  }

 private:
  // The one 'H' a document file has: it makes the document's header and its pages, not read yet.
  int TakeHead(const HeaderBody& body) {
    if (have_header_) return kDamaged;
    have_header_ = true;
    if (body.page_count > Document::kMaxPages) return kPageLimit;
    Header next;
    next.rec = body.rec;
    doc_.StoreHeader(next);
    seen_.assign(size_t(body.page_count) + 1, false);
    return doc_.AppendUnstoredPages(body.page_count);
  }

  // Copies one page's records, from its 'P' (in *head) up to the next 'P' or the end of the file,
  // into the page's chain; *head receives the head that ended the page.
  int ReadPage(RecordHead* head) {
    int number = 0;
    uint16_t inf = 0;
    if (ReadPageHead(in_, *head, &number, &inf) != kOk) return kDamaged;
    if (number < 1 || number > doc_.page_count() || seen_[size_t(number)]) return kDamaged;
    seen_[size_t(number)] = true;

    uint8_t fonts = 0;
    const int status = doc_.WriteStoredPage(number, 0, [&](RecordWriter& out) -> int {
      if (WritePageHead(out, number, inf) != kOk) return kDamaged;
      for (;;) {
        if (in_.ReadHead(head) != kOk) return kDamaged;
        if (head->end || head->tag == kTagPage) break;
        // The chain's end record is a tag-0 record of length 0: a tag-0 record of the file, of no
        // kind any reader knows, is left out rather than end the page early.
        if (head->tag == kTagEnd) continue;
        const int copied = CopyRecord(*head, out, &fonts);
        if (copied != kOk) return copied;
      }
      return out.Write(kTagEnd, nullptr, 0);
    });
    if (status == kOk) doc_.NoteStoredFonts(number, fonts);
    return status;
  }

  int CopyRecord(const RecordHead& head, RecordWriter& out, uint8_t* fonts) {
    const size_t n = size_t(head.length);
    if (n > kMaxRecordBody) return CopyWholeRecord(in_, out, head);
    uint8_t body[kMaxRecordBody];
    if (in_.ReadBody(body, n) != kOk) return kDamaged;
    // Only full bodies have their font byte mended, as the page reader mends them.
    const bool full = head.tag == kTagCell ? n == kCellBodySize : n == kTextBodySize;
    if (const size_t at = FontByteOf(head.tag, n); at != 0 && full)
      body[at] = CurrentFontByte(version_, body[at]);
    *fonts |= Document::FontNumbersOfRecord(head.tag, body, n);
    return out.Write(head.tag, body, n) == kOk ? kOk : kDamaged;
  }

  Document& doc_;
  RecordReader in_;
  bool have_header_ = false;
  uint8_t version_ = kHeaderVersion;
  std::vector<bool> seen_;  // seen_[n]: page n's 'P' has been read
};

// Copies page `number`'s chain to the file: its 'P' record renumbered, then every record up to the
// end record.
int CopyChainToFile(RecordReader& in, RecordWriter& out, int number) {
  RecordHead head;
  int stored_number = 0;
  uint16_t inf = 0;
  if (in.ReadHead(&head) != kOk || head.end || head.tag != kTagPage ||
      ReadPageHead(in, head, &stored_number, &inf) != kOk || WritePageHead(out, number, inf) != kOk)
    return kDamaged;
  for (;;) {
    if (in.ReadHead(&head) != kOk) return kDamaged;
    if (head.end || head.tag == kTagEnd || head.tag == kTagPage) return kOk;
    const int status = CopyWholeRecord(in, out, head);
    if (status != kOk) return status;
  }
}

}  // namespace

int ReadDocument(Document& doc, File& file) {
  return Contained(kNoMemory, [&] {
    DocumentReader reader(doc, file);
    return reader.Run();
  });
}

int ReadDocumentFile(Document& doc, const std::string& path) {
  std::unique_ptr<File> file = doc.env().Open(path, OpenMode::kRead);
  if (!file) return kCannotOpen;
  return ReadDocument(doc, *file);
}

int WriteDocument(Document& doc, File& file) {
  return Contained(kNoMemory, [&]() -> int {
    RecordWriter out(&file);
    const int pages = doc.page_count();
    int status = WriteHeaderRecords(out, doc.header(), uint16_t(pages), true);
    std::vector<uint8_t> chain;
    for (int n = 1; n <= pages && status == kOk; ++n) {
      // A chain of ordinary size goes out in one piece once its framing is checked: its 'P'
      // renumbered, the end record left off. Longer ones (pictures) and any chain not framed as a
      // chain must be, go record by record.
      status = doc.ReadStoredBytes(n, kWholeChainCopy, &chain);
      if (status != kOk) break;
      if (!chain.empty() && ForEachChainRecord(chain.data(), chain.size(),
                                               [](uint8_t, uint8_t*, size_t) { return true; })) {
        PutU16(chain.data() + kRecordHeadSize, uint16_t(n));
        status = out.WriteBytes(chain.data(), chain.size() - kRecordHeadSize);
        continue;
      }
      status = doc.ReadStoredPage(n, [&](RecordReader& in) { return CopyChainToFile(in, out, n); });
    }
    if (status == kOk) status = out.Flush();
    return status;
  });
}

int SaveDocumentFile(Document& doc, const std::string& path) {
  return WriteFileAtomically(doc.env(), path,
                             [&doc](File& file) { return WriteDocument(doc, file); });
}

int ReadDocInf(File& file, DocInf* info, char* title) {
  return Contained(kNoMemory, [&]() -> int {
    RecordReader in(&file);
    for (;;) {
      RecordHead head;
      if (in.ReadHead(&head) != kOk || head.end || head.tag == kTagPage) return kRefused;
      if (head.tag != kTagHeader) continue;
      HeaderBody body;
      if (size_t(head.length) != kHeaderBodySize || ReadHeaderBody(in, head, &body) != kOk)
        return kRefused;
      const HeaderRecord& rec = body.rec;
      std::memcpy(info, &rec.inf, sizeof *info);
      std::memcpy(title, rec.title, kTitleSize);
      return kOk;
    }
  });
}

int ReadDocInfDirect(Env& env, const std::string& path, DocInf* info, char* title) {
  if (!env.Exists(path)) return kNotFound;
  std::unique_ptr<File> file = env.Open(path, OpenMode::kRead);
  if (!file) return kCannotOpen;
  return ReadDocInf(*file, info, title);
}

}  // namespace qs
