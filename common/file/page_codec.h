// The records that carry one page: 'P' (the page's number and information), then for each
// page-data entry in page order the records of its item:
//
//   chart          'C' head and HR pair; 'h' per row whose height differs from the head's;
//                  'w' per column; 'l' per vertical boundary, then per horizontal boundary;
//                  'c' per grid position with cell attributes, each followed by 's' with its text
//   text           'T' and 's' (a text without string is not written)
//   free cell      'D' and 's' when it has a text
//   figure         'F'
//   inserted       'I': the geometry and mode, then every byte of the picture file
//   figure
//
// Form files, document files and the document work file all carry pages this way.
#ifndef QSTORE_COMMON_FILE_PAGE_CODEC_H_
#define QSTORE_COMMON_FILE_PAGE_CODEC_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/file/record_codec.h"
#include "common/model/binder.h"
#include "common/model/page.h"
#include "common/model/page_data.h"

namespace qs {

constexpr uint8_t kTagPage = 'P';
constexpr uint8_t kTagChart = 'C';
constexpr uint8_t kTagRowHeight = 'h';
constexpr uint8_t kTagColWidth = 'w';
constexpr uint8_t kTagLines = 'l';
constexpr uint8_t kTagCell = 'c';
constexpr uint8_t kTagString = 's';
constexpr uint8_t kTagText = 'T';
constexpr uint8_t kTagFreCell = 'D';
constexpr uint8_t kTagFigure = 'F';
constexpr uint8_t kTagInsFigure = 'I';

constexpr size_t kPageBodySize = 4;
// Where the first byte of the packed font lies in a 'c' body and in a 'T' or 'D' body.
constexpr size_t kFontByteOfCell = 6;
constexpr size_t kFontByteOfText = 17;
// Full 'c' and 'T'/'D' bodies.
constexpr size_t kCellBodySize = 5 + sizeof(CellAttr);        // 23
constexpr size_t kTextBodySize = offsetof(TextRec, text_id);  // 34

// Where the packed font's first byte lies in a record's body of `length` bytes; 0 when the record
// has none.
inline size_t FontByteOf(uint8_t tag, size_t length) {
  size_t at = 0;
  if (tag == kTagCell) at = kFontByteOfCell;
  if (tag == kTagText || tag == kTagFreCell) at = kFontByteOfText;
  return at != 0 && length > at ? at : 0;
}
// Header version 1 kept flags in bits 3 and 7 of a packed font's first byte that mean nothing now:
// the byte as it reads today.
inline uint8_t CurrentFontByte(uint8_t version, uint8_t b0) {
  return version == 1 ? uint8_t(b0 & 0x77) : b0;
}

// 'P': the page's 1-based number and its information word.
int WritePageHead(RecordWriter& out, int number, uint16_t inf);
// Reads the 'P' body whose head is in hand; kDamaged for a body of another length or cut short.
int ReadPageHead(RecordReader& in, const RecordHead& head, int* number, uint16_t* inf);
// The records of the item an entry names; nothing for an entry that names no item, a chart without
// rows or columns or a text without string. kRefused for a chart larger than 127 by 127 or whose
// cells cannot be read; kPictureCopy when an inserted figure's picture file is missing, empty or
// too large for a record, kRefused when it cannot be read in full; kDamaged when the output cannot
// be written. Picture files are read through `env`.
int WritePageItem(Env& env, RecordWriter& out, const Page& page, PageData entry);

struct PageReadRules {
  // The older 27-byte 'C' body without the HR pair.
  bool accept_short_chart_head = true;
  // 'F' bodies longer than 32 bytes, whose surplus is ignored.
  bool accept_long_figures = false;
};

// Reads page content records into a page. Each record is checked against the page before it is
// used: a chart record needs a chart on the same page, and rows, columns and boundaries must lie in
// that chart's grid (kDamaged otherwise). A full kind table or page-data list gives kRefused;
// pictures that cannot be written to their scratch files give kPictureCopy.
class PageContentReader {
 public:
  // `b` names the pictures' scratch files.
  PageContentReader(Binder& b, RecordReader& in, PageReadRules rules = PageReadRules());

  // Header version 1 stored packed fonts whose bits 3 and 7 of the first byte mean nothing now.
  void set_header_version(uint8_t version) { version_ = version; }
  // Records that follow go to `page` (null: none may come). The current chart does not carry over.
  void StartPage(Page* page);

  // True for the tags Read() takes.
  static bool Takes(uint8_t tag);
  // Reads the record whose head is in hand (body unread). After 'c', 'T' and 'D' the next head is
  // read; when it is not their 's' it is put back into the reader.
  int Read(const RecordHead& head);

  // The entry of the item the last record made (kind 0 before the first).
  PageData last_entry() const { return last_entry_; }

  // Copies on disk that already hold the page's inserted pictures, in the order of its 'I'
  // records (null: none). The n-th 'I' record takes the n-th copy instead of extracting its
  // picture again when that file still exists with the picture's size; the caller vouches that the
  // copies were made from the records now being read (or the records from them).
  void set_known_pictures(const std::vector<std::string>* known) { known_ = known; }
  // The files the inserted pictures read since StartPage() name, in the order of their records.
  std::vector<std::string>& pictures() { return pictures_; }

 private:
  int ReadChart(const RecordHead& head);
  // 'h' or 'w'.
  int ReadLineSize(const RecordHead& head);
  int ReadLines(const RecordHead& head);
  int ReadCell(const RecordHead& head);
  int ReadTextLike(const RecordHead& head);
  int ReadFigure(const RecordHead& head);
  int ReadInsFigure(const RecordHead& head);
  // Reads the 's' that may follow a record. *found tells whether there was one; *text receives its
  // string up to the first NUL.
  int ReadFollowingString(bool* found, std::string* text);
  int ExtractPicture(uint64_t size, std::string* name);
  // True when the n-th known copy exists and holds `size` bytes; *name then receives it.
  bool KnownPicture(size_t n, uint64_t size, std::string* name) const;
  // kRefused when the page cannot take one more item of `kind`.
  int CheckRoom(uint8_t kind) const;
  uint8_t FixedFontByte(uint8_t b0) const;

  Binder& binder_;
  RecordReader& in_;
  const PageReadRules rules_;
  uint8_t version_ = kHeaderVersion;
  Page* page_ = nullptr;
  ChartRec* chart_ = nullptr;
  PageData last_entry_;
  const std::vector<std::string>* known_ = nullptr;
  std::vector<std::string> pictures_;
};

}  // namespace qs

#endif  // QSTORE_COMMON_FILE_PAGE_CODEC_H_
