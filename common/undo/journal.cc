#include "common/undo/journal.h"

#include <cstring>
#include <limits>
#include <new>

#include "common/model/stored_records.h"
#include "common/status.h"

namespace qs {

UndoState::UndoState() = default;
UndoState::~UndoState() = default;

void EmptyBothJournals(UndoState& state) {
  if (state.undo_journal && state.redo_journal) {
    state.undo_journal->Empty();
    state.redo_journal->Empty();
  }
}

Journal* JournalForMode(UndoState& state) {
  switch (state.mode) {
    case kRecording:
    case kRedoing:
      return state.undo_journal.get();
    case kUndoing:
      return state.redo_journal.get();
    default:
      return nullptr;
  }
}

namespace {

// The picture an inserted-figure entry carries: its size, and the name of the file it belongs to.
// False when the entry's layout does not hold together.
bool PictureOf(const uint8_t* data, size_t length, uint32_t* size, std::string* name) {
  *size = 0;
  if (length < kNameAt) return false;
  const int32_t file_size = int32_t(GetU32(data + kFileSizeAt));
  if (file_size <= 0) return true;
  const uint32_t name_length = GetU32(data + kNameLengthAt);
  if (name_length == 0 || name_length > kMaxEntryText || kNameAt + name_length != length)
    return false;
  *size = uint32_t(file_size);
  name->assign(reinterpret_cast<const char*>(data + kNameAt), name_length);
  return true;
}

void EncodeHeader(const EntryHeader& h, uint8_t* out) {
  PutU32(out, uint32_t(h.action));
  PutU32(out + 4, uint32_t(h.step));
  PutU32(out + 8, uint32_t(h.kind));
  PutU32(out + 12, h.prev_offset);
  PutU32(out + 16, uint32_t(h.data_length));
}

EntryHeader DecodeHeader(const uint8_t* in) {
  EntryHeader h;
  h.action = int32_t(GetU32(in));
  h.step = int32_t(GetU32(in + 4));
  h.kind = int32_t(GetU32(in + 8));
  h.prev_offset = GetU32(in + 12);
  h.data_length = int32_t(GetU32(in + 16));
  return h;
}

bool ReadExactly(File& file, void* buf, size_t n) {
  size_t got = 0;
  return file.Read(buf, n, &got) && got == n;
}

// Copies `size` bytes from where `from` stands to where `to` stands, through `piece` (room for
// kPicturePiece bytes).
bool CopyPieces(File& from, File& to, uint32_t size, uint8_t* piece) {
  for (uint32_t left = size; left > 0;) {
    const size_t n = left < kPicturePiece ? left : kPicturePiece;
    if (!ReadExactly(from, piece, n) || !to.Write(piece, n)) return false;
    left -= uint32_t(n);
  }
  return true;
}

}  // namespace

std::unique_ptr<Journal> Journal::Create(Env& env, const std::string& path) {
  std::unique_ptr<File> file = env.Open(path, OpenMode::kCreateNew);
  if (!file) return nullptr;
  return std::make_unique<Journal>(env, std::move(file));
}

int Journal::Append(int32_t action, int32_t kind, const uint8_t* data, size_t length) {
  if (block_depth_ <= 0 || length > kMaxEntryData) return kRefused;
  uint32_t picture_size = 0;
  std::string picture;
  if (kind == kInsFigureEntry && !PictureOf(data, length, &picture_size, &picture)) return kRefused;
  const uint64_t end = uint64_t(end_offset_) + kEntryHeaderSize + length + picture_size;
  if (end > std::numeric_limits<uint32_t>::max()) return kRefused;

  EntryHeader header;
  header.action = action;
  header.step = step_count_;
  header.kind = kind;
  header.prev_offset = last_offset_;
  header.data_length = int32_t(length);
  // Header and data go out in one write: an entry is at most a few hundred bytes.
  uint8_t entry[kEntryHeaderSize + kMaxEntryData];
  EncodeHeader(header, entry);
  if (length > 0) std::memcpy(entry + kEntryHeaderSize, data, length);
  if (!file_->Seek(end_offset_) || !file_->Write(entry, kEntryHeaderSize + length)) return kRefused;
  if (picture_size > 0 && !CopyFileIn(picture, picture_size)) return kJournalPicture;

  last_offset_ = end_offset_;
  end_offset_ = uint32_t(end);
  ++block_entries_;
  return kOk;
}

int Journal::TakeBack(EntryHeader* header, uint8_t* data, size_t capacity) {
  if (end_offset_ == 0) return kStepEnd;
  uint8_t head[kEntryHeaderSize];
  if (!file_->Seek(last_offset_) || !ReadExactly(*file_, head, sizeof head)) return kRefused;
  const EntryHeader h = DecodeHeader(head);
  if (h.step != step_count_) return kStepEnd;

  // The journal is trusted no further than its own counters: an entry must fit the buffer and end
  // exactly where the next one would begin, and its link must lead backwards.
  if (h.data_length < 0 || size_t(h.data_length) > capacity ||
      size_t(h.data_length) > kMaxEntryData)
    return kRefused;
  if (last_offset_ == 0 ? h.prev_offset != 0 : h.prev_offset >= last_offset_) return kRefused;
  const size_t length = size_t(h.data_length);
  if (length > 0 && !ReadExactly(*file_, data, length)) return kRefused;
  uint32_t picture_size = 0;
  std::string picture;
  if (h.kind == kInsFigureEntry && !PictureOf(data, length, &picture_size, &picture))
    return kRefused;
  if (uint64_t(last_offset_) + kEntryHeaderSize + length + picture_size != end_offset_)
    return kRefused;
  if (picture_size > 0 && !CopyFileOut(picture, picture_size)) return kJournalPicture;

  *header = h;
  end_offset_ = last_offset_;
  last_offset_ = h.prev_offset;
  return kOk;
}

int Journal::OpenBlock() {
  if (++block_depth_ == 1) block_entries_ = 0;
  return kOk;
}

int Journal::CloseBlock() {
  // A close with nothing open must not drive the depth below 0: every later block would then be
  // refused its entries until journalling is restarted.
  if (block_depth_ <= 0) return kOk;
  if (--block_depth_ == 0 && block_entries_ != 0) ++step_count_;
  return kOk;
}

int Journal::DropStep() {
  if (step_count_ <= 0) return kRefused;
  --step_count_;
  return kOk;
}

bool Journal::CopyFileIn(const std::string& name, uint32_t size) {
  std::unique_ptr<uint8_t[]> piece(new (std::nothrow) uint8_t[kPicturePiece]);
  if (!piece) return false;
  std::unique_ptr<File> in = env_.Open(name, OpenMode::kRead);
  return in && CopyPieces(*in, *file_, size, piece.get());
}

bool Journal::CopyFileOut(const std::string& name, uint32_t size) {
  std::unique_ptr<uint8_t[]> piece(new (std::nothrow) uint8_t[kPicturePiece]);
  if (!piece) return false;
  std::unique_ptr<File> out = env_.Open(name, OpenMode::kCreate);
  return out && CopyPieces(*file_, *out, size, piece.get()) && out->Close();
}

}  // namespace qs
