#include "formstore/form_file.h"

#include <cstddef>
#include <cstring>
#include <memory>

#include "common/contained.h"
#include "common/file/atomic_file.h"
#include "common/file/header_codec.h"
#include "common/file/page_codec.h"
#include "common/file/record_codec.h"
#include "common/status.h"
#include "formstore/form_names.h"
#include "formstore/layout_records.h"

namespace qs {

namespace {

// An 'H' record as the form library takes it: a current-layout header newer than it knows is
// refused, and an empty form title falls back to the information block's title. The header is
// replaced whole; the 'P' records make the pages.
int TakeFormHead(const HeaderBody& body, Header* out) {
  if (body.current_layout && body.rec.version > kHeaderVersion) return kVersionTooNew;
  HeaderRecord rec = body.rec;
  if (rec.title[0] == '\0') CopyBounded(rec.title, sizeof rec.title, rec.inf.Title);
  *out = Header();
  out->rec = rec;
  return kOk;
}

// Reads a whole form file; the three cursors are the page and chart the content reader holds and
// the set of pages already read.
class FormReader {
 public:
  FormReader(Form& form, File& file) : form_(form), in_(&file), content_(form, in_) {}

  int Run() {
    RecordHead head;
    if (in_.ReadHead(&head) != kOk || head.end || head.tag != kTagHeader) return kDamaged;
    for (;;) {
      const int status = Dispatch(head);
      if (status != kOk) return status;
      if (in_.ReadHead(&head) != kOk) return kDamaged;
      if (head.end) return kOk;
    }
  }

 private:
  int Dispatch(const RecordHead& head) {
    switch (head.tag) {
      case kTagHeader:
      case kTagHeaderFooter:
      case kTagColors:
      case kTagMemo: {
        Header next = form_.header();
        const int status = ReadHeaderRecord(in_, head, false, &next, TakeFormHead);
        if (status != kOk) return status;
        if (head.tag == kTagHeader) content_.set_header_version(next.rec.version);
        return form_.StoreHeader(next);
      }
      case kTagPage:
        return ReadPage(head);
      case kTagFieldPlacement:
      case kTagTablePlacement:
        if (page_no_ == 0) return kDamaged;
        return ReadPlacementRecord(form_, in_, head, page_no_, content_.last_entry());
      default:
        // Records of kinds this reader does not know are skipped by the next ReadHead.
        return PageContentReader::Takes(head.tag) ? content_.Read(head) : kOk;
    }
  }

  int ReadPage(const RecordHead& head) {
    int number = 0;
    uint16_t inf = 0;
    if (ReadPageHead(in_, head, &number, &inf) != kOk || number < 1) return kDamaged;
    while (form_.page_count() < number) {
      const int status = form_.InsertPage(form_.page_count());
      if (status != kOk) return status;
    }
    if (seen_[number]) return kDamaged;
    seen_[number] = true;
    Page* page = form_.PageAt(number);
    page->inf = inf;
    content_.StartPage(page);
    page_no_ = number;
    return kOk;
  }

  Form& form_;
  RecordReader in_;
  PageContentReader content_;
  bool seen_[Form::kMaxPages + 1] = {};
  int page_no_ = 0;  // the page records go to; 0 before the first 'P'
};

}  // namespace

int WriteForm(Form& form, File& file) {
  return Contained(kNoMemory, [&]() -> int {
    RecordWriter out(&file);
    const int pages = form.page_count();
    int status = WriteHeaderRecords(out, form.header(), uint16_t(pages), false);
    for (int number = 1; number <= pages && status == kOk; ++number) {
      const Page* page = form.PageAt(number);
      status = WritePageHead(out, number, page->inf);
      for (int i = 0; i < page->data_count && status == kOk; ++i) {
        status = WritePageItem(form.env(), out, *page, page->data[i]);
        if (status == kOk) status = WritePlacementRecords(out, form, number, page->data[i]);
      }
    }
    if (status == kOk) status = out.Flush();
    return status;
  });
}

int SaveFormFile(Form& form, const std::string& path) {
  return WriteFileAtomically(form.env(), path,
                             [&form](File& file) { return WriteForm(form, file); });
}

int SaveFormAs(Form& form, char* file_name) {
  AppendDefaultExtension(file_name, std::strlen(file_name) + 5, ".QFD");
  if (form.page_count() == 0) return kNoPages;
  const int status = SaveFormFile(form, file_name);
  if (status == kOk) form.reset_update_count();
  return status;
}

int ReadForm(Form& form, File& file) {
  return Contained(kNoMemory, [&] {
    FormReader reader(form, file);
    return reader.Run();
  });
}

int ReadFormFile(Form& form, const std::string& path) {
  std::unique_ptr<File> file = form.env().Open(path, OpenMode::kRead);
  if (!file) return kCannotOpen;
  return ReadForm(form, *file);
}

int ReadFormHeader(File& file, Header* out) {
  return Contained(kNoMemory, [&]() -> int {
    RecordReader in(&file);
    RecordHead head;
    if (in.ReadHead(&head) != kOk || head.end || head.tag != kTagHeader) return kDamaged;
    Header header;
    // The header records come first; the first record of any other kind ends them.
    const int status = ReadHeaderRecords(in, &head, false, &header, TakeFormHead);
    if (status != kOk) return status;
    *out = std::move(header);
    return kOk;
  });
}

int ReadFormHeaderFile(Env& env, const std::string& path, Header* out) {
  std::unique_ptr<File> file = env.Open(path, OpenMode::kRead);
  if (!file) return kCannotOpen;
  return ReadFormHeader(*file, out);
}

int PatchFormHeader(File& file, const FormInf& inf, const char* title) {
  uint8_t raw[kRecordHeadSize];
  uint8_t body[kHeaderBodySize];
  size_t got = 0;
  RecordHead head;
  if (!file.Seek(0) || !file.Read(raw, sizeof raw, &got) || got != sizeof raw ||
      DecodeRecordHead(raw, &head) != kOk || head.tag != kTagHeader ||
      size_t(head.length) != kHeaderBodySize || !file.Read(body, sizeof body, &got) ||
      got != sizeof body)
    return kRefused;
  const size_t length = title ? strnlen(title, kTitleSize - 1) : 0;
  if (length) std::memcpy(body + kHeaderTitleOffset, title, length);
  body[kHeaderTitleOffset + length] = '\0';
  std::memcpy(body + kHeaderInfOffset, &inf, sizeof inf);
  if (!file.Seek(sizeof raw) || !file.Write(body, sizeof body)) return kRefused;
  return kOk;
}

int PatchFormHeaderFile(Env& env, const std::string& path, const FormInf& inf, const char* title) {
  std::unique_ptr<File> file = env.Open(path, OpenMode::kReadWrite);
  if (!file) return kCannotOpen;
  int status = PatchFormHeader(*file, inf, title);
  if (!file->Close()) status = kRefused;
  return status;
}

}  // namespace qs
