#include "formstore/field_template.h"

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/contained.h"
#include "common/model/header.h"
#include "common/status.h"
#include "formstore/form_names.h"

namespace qs {

namespace {

// A template line holds at most this many characters; a longer one is read as several.
constexpr size_t kMaxLine = 254;
constexpr int kMaxOpen = 5;

// The lines of a text file as a text-mode reader sees them: CR LF is a line end, and a line
// longer than kMaxLine characters (its line end included) comes in pieces.
class LineReader {
 public:
  explicit LineReader(File& file) : file_(file) {}

  bool Next(std::string* line) {
    line->clear();
    int c;
    while (line->size() < kMaxLine && (c = Get()) >= 0) {
      if (c == '\r' && Peek() == '\n') continue;
      line->push_back(char(c));
      if (c == '\n') break;
    }
    return !line->empty();
  }
  // True once a read of the file has failed (which ends the lines like the end of the file).
  bool failed() const { return failed_; }

 private:
  int Get() {
    const int c = Peek();
    if (c >= 0) ++pos_;
    return c;
  }
  int Peek() {
    if (pos_ == size_) {
      size_t got = 0;
      if (eof_) return -1;
      if (!file_.Read(buf_, sizeof buf_, &got)) failed_ = true;
      if (failed_ || got == 0) {
        eof_ = true;
        return -1;
      }
      pos_ = 0;
      size_ = got;
    }
    return uint8_t(buf_[pos_]);
  }

  File& file_;
  char buf_[4096];
  size_t pos_ = 0, size_ = 0;
  bool eof_ = false;
  bool failed_ = false;
};

// The tokens of one statement: split at '=', ',' and line ends, runs of separators counting as
// one, each token stripped of leading and trailing spaces and double quotes. The statement ends
// at its first NUL.
std::vector<std::string_view> Tokenize(std::string_view line) {
  line = line.substr(0, line.find('\0'));
  std::vector<std::string_view> tokens;
  size_t i = 0;
  while (i < line.size()) {
    const size_t start = line.find_first_not_of("=,\n", i);
    if (start == std::string_view::npos) break;
    size_t end = line.find_first_of("=,\n", start);
    if (end == std::string_view::npos) end = line.size();
    std::string_view token = line.substr(start, end - start);
    const size_t first = token.find_first_not_of(" \"");
    token = first == std::string_view::npos
                ? std::string_view()
                : token.substr(first, token.find_last_not_of(" \"") - first + 1);
    tokens.push_back(token);
    i = end;
  }
  return tokens;
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return out;
}

// The standard decimal conversion: optional blanks and sign, then the leading digits (0 when
// there are none). Saturates instead of overflowing.
long Number(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  long value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
    if (value < (LONG_MAX - 9) / 10) value = value * 10 + (s[i] - '0');
  return negative ? -value : value;
}

// Copies a token into a fixed field, cut to fit.
void CopyToken(char* dst, size_t size, std::string_view token) {
  const size_t n = std::min(token.size(), size - 1);
  std::memset(dst, 0, size);
  if (n > 0) std::memcpy(dst, token.data(), n);
}

enum class Statement {
  kIgnored,
  kOpen,   // a structure: StructKind in `kind`
  kField,  // a field: DataType in `kind`
  kClose,
  kControl,  // one of the program settings
};

struct Parsed {
  Statement what = Statement::kIgnored;
  uint8_t kind = 0;
  std::vector<std::string_view> tokens;
};

struct Keyword {
  const char* name;
  Statement what;
  uint8_t kind;
  size_t min_tokens;  // the keyword and its values
};

constexpr Keyword kKeywords[] = {
    {"$TABLE", Statement::kOpen, kStructTable, 4},
    {"$SUBTBL", Statement::kOpen, kStructSubTable, 4},
    {"$RECORD", Statement::kOpen, kStructRecord, 5},
    {"$CASE", Statement::kOpen, kStructCase, 4},
    {"$TAG", Statement::kOpen, kStructTag, 4},
    {"$FIELD", Statement::kField, 0, 6},
    {"$PRGKIND", Statement::kControl, 0, 2},
    {"$PRGNAME", Statement::kControl, 0, 2},
    {"$PRGTITLE", Statement::kControl, 0, 2},
    {"$USERMODE", Statement::kControl, 0, 2},
    {"$PAGEMODE", Statement::kControl, 0, 2},
    {"$/TABLE", Statement::kClose, 0, 1},
    {"$/SUBTBL", Statement::kClose, 0, 1},
    {"$/RECORD", Statement::kClose, 0, 1},
    {"$/CASE", Statement::kClose, 0, 1},
    {"$/TAG", Statement::kClose, 0, 1},
};

constexpr const char* kTypeCodes[] = {"ST", "CH", "IT", "RL", "AR", "FF", "DT"};

Parsed Parse(std::string_view line) {
  Parsed p;
  if (line.empty() || line[0] == ';') return p;
  p.tokens = Tokenize(line);
  if (p.tokens.empty()) return p;
  const std::string keyword = Upper(p.tokens[0]);
  for (const Keyword& k : kKeywords) {
    if (keyword != k.name) continue;
    if (p.tokens.size() < k.min_tokens) return p;
    p.kind = k.kind;
    if (k.what == Statement::kField) {
      const std::string type = Upper(p.tokens[4]);
      for (size_t i = 0; i < sizeof kTypeCodes / sizeof kTypeCodes[0]; ++i)
        if (type == kTypeCodes[i]) p.kind = uint8_t(i + 1);
      if (p.kind == 0) return p;
    }
    p.what = k.what;
    return p;
  }
  return p;
}

void ApplyControl(const Parsed& p, FieldControl* c) {
  const std::string keyword = Upper(p.tokens[0]);
  const std::string_view value = p.tokens[1];
  if (keyword == "$PRGKIND")
    c->PrgKind = uint16_t(Number(value));
  else if (keyword == "$PRGNAME")
    CopyToken(c->PrgName, sizeof c->PrgName, value);
  else if (keyword == "$PRGTITLE")
    CopyToken(c->PrgTitle, sizeof c->PrgTitle, value);
  else if (keyword == "$USERMODE")
    c->UserMode = uint8_t(Number(value));
  else if (keyword == "$PAGEMODE")
    c->PageMode = uint8_t(Number(value));
}

// The structures open while a template is read. The bottom entry 0 stands for "none open".
class Nesting {
 public:
  bool full() const { return depth_ == kMaxOpen; }
  uint16_t innermost() const { return ids_[depth_]; }
  uint16_t outermost() const { return ids_[depth_ > 0 ? 1 : 0]; }
  bool skipping() const { return skipped_ > 0; }

  void Push(uint16_t id) { ids_[++depth_] = id; }
  void Skip() { ++skipped_; }
  void Close() {
    if (skipped_ > 0)
      --skipped_;
    else if (depth_ > 0)
      ids_[depth_--] = 0;
  }

 private:
  uint16_t ids_[kMaxOpen + 1] = {};
  int depth_ = 0;
  int skipped_ = 0;  // structures nested too deep, still open
};

// Applies one statement; false when a table is full and the reading ends.
bool Apply(const Parsed& p, FieldDefs* defs, Nesting* open) {
  switch (p.what) {
    case Statement::kIgnored:
      return true;
    case Statement::kControl:
      ApplyControl(p, &defs->control());
      return true;
    case Statement::kClose:
      open->Close();
      return true;
    case Statement::kOpen: {
      if (open->skipping() || open->full()) {
        open->Skip();
        return true;
      }
      FieldStruct s{};
      s.StructId = uint16_t(Number(p.tokens[2]));
      CopyToken(s.StructName, sizeof s.StructName, p.tokens[3]);
      s.StructKind = p.kind;
      s.ParentId = open->innermost();
      if (defs->struct_count() >= FieldDefs::kMaxStructs) return false;
      open->Push(s.StructId);
      s.TopId = p.kind == kStructRecord ? uint16_t(Number(p.tokens[4])) : open->outermost();
      return defs->AppendStruct(s);
    }
    case Statement::kField: {
      if (open->skipping()) return true;
      FieldRec f{};
      f.pub.FieldId = uint16_t(Number(p.tokens[2]));
      CopyToken(f.pub.FieldName, sizeof f.pub.FieldName, p.tokens[3]);
      f.pub.DataType = p.kind;
      f.pub.FieldSize = uint8_t(Number(p.tokens[5]));
      f.pub.ParentId = open->innermost();
      f.pub.TopId = open->outermost();
      f.form1 = 1 << 5;  // FormC 1
      f.def_form = p.tokens.size() > 6 ? uint8_t(Number(p.tokens[6])) : 0;
      return defs->AppendField(f);
    }
  }
  return true;
}

// A template is a file: a directory of that name is not found.
bool ResolveTemplate(const char* name, char (&path)[kNameBufferSize]) {
  if (name == nullptr || strnlen(name, sizeof path) >= sizeof path) return false;
  std::strcpy(path, name);
  return ResolveName(path, NameKind::kTemplate) && !CurrentEnv()->IsDirectory(path);
}

}  // namespace

bool ReadFieldTemplate(File& file, FieldDefs* defs) {
  defs->control() = DefaultFieldControl();
  LineReader lines(file);
  Nesting open;
  std::string line;
  // Running out of memory ends the reading like a full table: what was read so far stays.
  Contained(false, [&] {
    line.reserve(kMaxLine);
    while (lines.Next(&line))
      if (!Apply(Parse(line), defs, &open)) break;
    return true;
  });
  return !lines.failed();
}

bool ReadFieldTemplateControl(File& file, FieldControl* out) {
  *out = DefaultFieldControl();
  LineReader lines(file);
  std::string line;
  Contained(false, [&] {
    line.reserve(kMaxLine);
    while (lines.Next(&line)) {
      const Parsed p = Parse(line);
      if (p.what == Statement::kOpen || p.what == Statement::kField || p.what == Statement::kClose)
        break;
      if (p.what == Statement::kControl) ApplyControl(p, out);
    }
    return true;
  });
  return !lines.failed();
}

int LoadFieldTemplate(const char* name, FieldDefs* defs) {
  char path[kNameBufferSize];
  if (!ResolveTemplate(name, path)) return kTemplateMissing;
  defs->control() = DefaultFieldControl();
  std::unique_ptr<File> file = CurrentEnv()->Open(path, OpenMode::kRead);
  if (!file) return kTemplateMissing;
  // A template cut short by a read error would define only some of the fields, and the
  // placements of the others would be dropped from the form without a word.
  return ReadFieldTemplate(*file, defs) ? kOk : kTemplateMissing;
}

int LoadFieldTemplateControl(const char* name, FieldControl* out) {
  *out = DefaultFieldControl();
  char path[kNameBufferSize];
  if (!ResolveTemplate(name, path)) return kTemplateMissing;
  std::unique_ptr<File> file = CurrentEnv()->Open(path, OpenMode::kRead);
  if (!file) return kTemplateMissing;
  // Settings cut short by a read error are not the template's settings.
  if (ReadFieldTemplateControl(*file, out)) return kOk;
  *out = DefaultFieldControl();
  return kTemplateMissing;
}

}  // namespace qs
