// The undo journal on its own: brackets and step counts, append and take-back, the bytes of the
// file, commit after write, pictures carried in entries, damaged journals, and the journal files
// of a form.
#include "common/undo/journal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/status.h"
#include "common/undo/undo_ops.h"
#include "formstore.h"
#include "formstore/form.h"
#include "platform/env.h"
#include "support/fault_env.h"
#include "support/form_fixture.h"
#include "support/scratch_dir.h"

namespace qs {
namespace {

using test::FaultEnv;
using test::ScopedEnv;
using test::ScratchDir;

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (int v : values) out.push_back(uint8_t(v));
  return out;
}

std::string FileBytes(const std::string& path) {
  std::string contents;
  EXPECT_TRUE(ReadWholeFile(Env::Default(), path, &contents));
  return contents;
}

// Data of an inserted-figure entry naming `name`, carrying a picture of `size` bytes.
std::vector<uint8_t> InsFigureData(const std::string& name, int32_t size) {
  std::vector<uint8_t> data(kNameAt + name.size());
  data[0] = 5;
  data[1] = 1;
  PutU32(&data[kFileSizeAt], uint32_t(size));
  PutU32(&data[kNameLengthAt], uint32_t(name.size()));
  std::memcpy(&data[kNameAt], name.data(), name.size());
  return data;
}

std::string Picture(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = char((i * 7 + i / 251) & 0xFF);
  return s;
}

class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override { journal_ = Journal::Create(*CurrentEnv(), path_); }

  int Append(int32_t action, int32_t kind, const std::vector<uint8_t>& data) {
    return journal_->Append(action, kind, data.data(), data.size());
  }
  // Takes back one entry; returns the status and fills `header` / `data`.
  int TakeBack(EntryHeader* header, std::vector<uint8_t>* data) {
    data->assign(kMaxEntryData, 0);
    const int status = journal_->TakeBack(header, data->data(), data->size());
    if (status == 0) data->resize(size_t(header->data_length));
    return status;
  }

  ScratchDir dir_{"journal"};
  std::string path_ = dir_.Sub("QF0010001.BUF");
  std::unique_ptr<Journal> journal_;
};

TEST_F(JournalTest, CreateMakesAnEmptyFileAndRefusesAnExistingName) {
  ASSERT_NE(journal_, nullptr);
  EXPECT_EQ(FileBytes(path_), "");
  EXPECT_EQ(journal_->step_count(), 0);
  EXPECT_EQ(journal_->end_offset(), 0u);

  ASSERT_TRUE(WriteWholeFile(Env::Default(), dir_.Sub("taken.BUF"), "keep"));
  EXPECT_EQ(Journal::Create(*CurrentEnv(), dir_.Sub("taken.BUF")), nullptr);
  EXPECT_EQ(FileBytes(dir_.Sub("taken.BUF")), "keep");
}

TEST_F(JournalTest, AppendNeedsAnOpenBlock) {
  EXPECT_EQ(Append(kChanged, kRHightEntry, Bytes({1, 1, 2, 0, 20, 0, 0, 0})), kRefused);
  EXPECT_EQ(journal_->end_offset(), 0u);
  EXPECT_EQ(FileBytes(path_), "");
}

TEST_F(JournalTest, OnlyBlocksThatJournalledSomethingCountAsSteps) {
  journal_->OpenBlock();
  journal_->CloseBlock();
  EXPECT_EQ(journal_->step_count(), 0);

  journal_->OpenBlock();
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Append(kChanged, kRHightEntry, Bytes({1, 1, 1, 0})), 0);
  EXPECT_EQ(journal_->block_entries(), 3);
  journal_->CloseBlock();
  EXPECT_EQ(journal_->step_count(), 1);

  // The next block starts its own entry count: an empty block after a full one adds nothing.
  journal_->OpenBlock();
  EXPECT_EQ(journal_->block_entries(), 0);
  journal_->CloseBlock();
  EXPECT_EQ(journal_->step_count(), 1);
}

TEST_F(JournalTest, NestedBlocksFormOneStep) {
  journal_->OpenBlock();
  journal_->OpenBlock();
  ASSERT_EQ(Append(kChanged, kRHightEntry, Bytes({1, 1, 1, 0})), 0);
  journal_->CloseBlock();
  EXPECT_EQ(journal_->step_count(), 0);
  ASSERT_EQ(Append(kChanged, kCWidthEntry, Bytes({1, 1, 2, 0})), 0);
  journal_->CloseBlock();
  EXPECT_EQ(journal_->step_count(), 1);

  ASSERT_EQ(journal_->DropStep(), 0);
  EntryHeader h;
  std::vector<uint8_t> data;
  ASSERT_EQ(TakeBack(&h, &data), 0);
  EXPECT_EQ(h.kind, kCWidthEntry);
  ASSERT_EQ(TakeBack(&h, &data), 0);
  EXPECT_EQ(h.kind, kRHightEntry);
  EXPECT_EQ(TakeBack(&h, &data), 1);
}

TEST_F(JournalTest, SurplusCloseDoesNothing) {
  journal_->OpenBlock();
  ASSERT_EQ(Append(kChanged, kRHightEntry, Bytes({1, 1, 1, 0})), 0);
  journal_->CloseBlock();
  EXPECT_EQ(journal_->CloseBlock(), 0);
  EXPECT_EQ(journal_->block_depth(), 0);
  EXPECT_EQ(journal_->step_count(), 1);  // the earlier block is not counted again

  // Journalling goes on normally.
  journal_->OpenBlock();
  EXPECT_EQ(Append(kChanged, kRHightEntry, Bytes({1, 1, 1, 0})), 0);
  journal_->CloseBlock();
  EXPECT_EQ(journal_->step_count(), 2);
}

TEST_F(JournalTest, EntriesComeBackNewestFirstAndStopAtTheStep) {
  journal_->OpenBlock();
  ASSERT_EQ(Append(kChanged, kRHightEntry, Bytes({1, 1, 1, 0, 10, 0, 0, 0})), 0);
  journal_->CloseBlock();
  journal_->OpenBlock();
  ASSERT_EQ(Append(kDeleted, kFigureEntry, std::vector<uint8_t>(39, 4)), 0);
  ASSERT_EQ(Append(kAdded, kChartInfEntry, std::vector<uint8_t>(32, 1)), 0);
  journal_->CloseBlock();
  ASSERT_EQ(journal_->step_count(), 2);

  EntryHeader h;
  std::vector<uint8_t> data;
  // Without a dropped step the newest entry belongs to another step than the count names.
  EXPECT_EQ(TakeBack(&h, &data), 1);

  ASSERT_EQ(journal_->DropStep(), 0);
  ASSERT_EQ(TakeBack(&h, &data), 0);
  EXPECT_EQ(h.action, kAdded);
  EXPECT_EQ(h.kind, kChartInfEntry);
  EXPECT_EQ(h.step, 1);
  EXPECT_EQ(data, std::vector<uint8_t>(32, 1));
  ASSERT_EQ(TakeBack(&h, &data), 0);
  EXPECT_EQ(h.action, kDeleted);
  EXPECT_EQ(h.kind, kFigureEntry);
  EXPECT_EQ(data, std::vector<uint8_t>(39, 4));
  EXPECT_EQ(TakeBack(&h, &data), 1);
  EXPECT_EQ(journal_->end_offset(), 28u);

  ASSERT_EQ(journal_->DropStep(), 0);
  ASSERT_EQ(TakeBack(&h, &data), 0);
  EXPECT_EQ(h.kind, kRHightEntry);
  EXPECT_EQ(h.step, 0);
  EXPECT_EQ(TakeBack(&h, &data), 1);
  EXPECT_EQ(journal_->end_offset(), 0u);
  EXPECT_EQ(journal_->DropStep(), kRefused);
}

TEST_F(JournalTest, FileHoldsHeadersAndDataBackToBack) {
  journal_->OpenBlock();
  ASSERT_EQ(Append(kChanged, kRHightEntry, Bytes({1, 2, 3, 0, 40, 0, 0, 0})), 0);
  ASSERT_EQ(Append(kDeleted, kCWidthEntry, Bytes({1, 2, 4, 0, 0x34, 0x12, 0, 0})), 0);
  journal_->CloseBlock();

  const std::string expected_bytes = std::string(
      "\x01\0\0\0"
      "\0\0\0\0"
      "\x16\0\0\0"
      "\0\0\0\0"
      "\x08\0\0\0"
      "\x01\x02\x03\0\x28\0\0\0"
      "\x02\0\0\0"
      "\0\0\0\0"
      "\x19\0\0\0"
      "\0\0\0\0"
      "\x08\0\0\0"
      "\x01\x02\x04\0\x34\x12\0\0",
      56);
  EXPECT_EQ(FileBytes(path_), expected_bytes);
  EXPECT_EQ(journal_->last_offset(), 28u);
  EXPECT_EQ(journal_->end_offset(), 56u);

  // A third entry links back to the second.
  journal_->OpenBlock();
  ASSERT_EQ(Append(kChanged, kRHightEntry, Bytes({1, 2, 3, 0, 40, 0, 0, 0})), 0);
  const std::string file = FileBytes(path_);
  ASSERT_EQ(file.size(), 84u);
  EXPECT_EQ(GetU32(reinterpret_cast<const uint8_t*>(file.data()) + 56 + 4), 1u);  // step
  EXPECT_EQ(GetU32(reinterpret_cast<const uint8_t*>(file.data()) + 56 + 12), 28u);
}

TEST_F(JournalTest, EmptyingKeepsTheFileAndOverwritesFromTheStart) {
  journal_->OpenBlock();
  ASSERT_EQ(Append(kChanged, kRHightEntry, Bytes({1, 1, 1, 0, 9, 0, 0, 0})), 0);
  ASSERT_EQ(Append(kChanged, kRHightEntry, Bytes({1, 1, 2, 0, 9, 0, 0, 0})), 0);
  journal_->CloseBlock();
  journal_->OpenBlock();
  journal_->Empty();
  EXPECT_EQ(journal_->step_count(), 0);
  EXPECT_EQ(journal_->block_depth(), 0);
  EXPECT_EQ(journal_->end_offset(), 0u);
  EXPECT_EQ(FileBytes(path_).size(), 56u);

  journal_->OpenBlock();
  ASSERT_EQ(Append(kChanged, kCWidthEntry, Bytes({1, 1, 7, 0, 9, 0, 0, 0})), 0);
  journal_->CloseBlock();
  const std::string file = FileBytes(path_);
  EXPECT_EQ(file.size(), 56u);
  EXPECT_EQ(file[8], char(kCWidthEntry));
  EXPECT_EQ(file[22], 7);

  ASSERT_EQ(journal_->DropStep(), 0);
  EntryHeader h;
  std::vector<uint8_t> data;
  ASSERT_EQ(TakeBack(&h, &data), 0);
  EXPECT_EQ(h.kind, kCWidthEntry);
  EXPECT_EQ(TakeBack(&h, &data), 1);
}

TEST_F(JournalTest, OverlongDataIsRefused) {
  journal_->OpenBlock();
  EXPECT_EQ(Append(kChanged, kTextEntry, std::vector<uint8_t>(kMaxEntryData + 1, 0)), kRefused);
  EXPECT_EQ(Append(kChanged, kTextEntry, std::vector<uint8_t>(kMaxEntryData, 0)), 0);
}

TEST(JournalFaultTest, AFailedWriteIsNotCommitted) {
  ScratchDir dir("journal-fault");
  FaultEnv env;
  ScopedEnv use(&env);
  std::unique_ptr<Journal> journal = Journal::Create(*CurrentEnv(), dir.Sub("j.BUF"));
  ASSERT_NE(journal, nullptr);
  journal->OpenBlock();
  ASSERT_EQ(journal->Append(kChanged, kRHightEntry, Bytes({1, 1, 1, 0, 5, 0, 0, 0}).data(), 8), 0);

  env.FailWriteNumber(1);  // the entry goes out only half
  EXPECT_EQ(journal->Append(kChanged, kRHightEntry, Bytes({1, 1, 2, 0, 6, 0, 0, 0}).data(), 8),
            kRefused);
  EXPECT_EQ(journal->end_offset(), 28u);
  EXPECT_EQ(journal->last_offset(), 0u);
  EXPECT_EQ(journal->block_entries(), 1);

  // The next entry lands where the failed one began.
  ASSERT_EQ(journal->Append(kChanged, kRHightEntry, Bytes({1, 1, 3, 0, 7, 0, 0, 0}).data(), 8), 0);
  EXPECT_EQ(journal->last_offset(), 28u);
  journal->CloseBlock();
  ASSERT_EQ(journal->DropStep(), 0);
  EntryHeader h;
  uint8_t data[kMaxEntryData];
  ASSERT_EQ(journal->TakeBack(&h, data, sizeof data), 0);
  EXPECT_EQ(data[2], 3);
  ASSERT_EQ(journal->TakeBack(&h, data, sizeof data), 0);
  EXPECT_EQ(data[2], 1);
  EXPECT_EQ(journal->TakeBack(&h, data, sizeof data), 1);
}

TEST_F(JournalTest, APictureTravelsWithItsEntryAndIsWrittenBack) {
  const std::string picture_path = dir_.Sub("QF0010002.bmp");
  const std::string picture = Picture(25000);  // more than two copy pieces
  ASSERT_TRUE(WriteWholeFile(Env::Default(), picture_path, picture));

  journal_->OpenBlock();
  const std::vector<uint8_t> data = InsFigureData(picture_path, int32_t(picture.size()));
  ASSERT_EQ(Append(kDeleted, kInsFigureEntry, data), 0);
  journal_->CloseBlock();
  EXPECT_EQ(journal_->end_offset(), 20 + 47 + picture_path.size() + picture.size());
  const std::string file = FileBytes(path_);
  EXPECT_EQ(file.substr(20 + data.size()), picture);

  ASSERT_TRUE(Env::Default()->Delete(picture_path));
  ASSERT_EQ(journal_->DropStep(), 0);
  EntryHeader h;
  std::vector<uint8_t> back;
  ASSERT_EQ(TakeBack(&h, &back), 0);
  EXPECT_EQ(back, data);
  EXPECT_EQ(FileBytes(picture_path), picture);
  EXPECT_EQ(journal_->end_offset(), 0u);
}

TEST_F(JournalTest, AMissingPictureFailsTheAppend) {
  journal_->OpenBlock();
  const std::vector<uint8_t> data = InsFigureData(dir_.Sub("gone.bmp"), 100);
  EXPECT_EQ(Append(kDeleted, kInsFigureEntry, data), -2);
  EXPECT_EQ(journal_->end_offset(), 0u);
  EXPECT_EQ(journal_->block_entries(), 0);

  // A picture shorter than its entry claims is refused the same way.
  ASSERT_TRUE(WriteWholeFile(Env::Default(), dir_.Sub("short.bmp"), "abc"));
  EXPECT_EQ(Append(kDeleted, kInsFigureEntry, InsFigureData(dir_.Sub("short.bmp"), 4)), -2);
  EXPECT_EQ(journal_->end_offset(), 0u);

  // Without a file size the entry carries no picture.
  EXPECT_EQ(Append(kChanged, kInsFigureEntry, InsFigureData("", 0)), 0);
  EXPECT_EQ(journal_->end_offset(), 20u + 47u);
}

TEST(JournalFaultTest, APictureThatCannotBeWrittenBackLeavesTheEntry) {
  ScratchDir dir("journal-picture");
  FaultEnv env;
  ScopedEnv use(&env);
  std::unique_ptr<Journal> journal = Journal::Create(*CurrentEnv(), dir.Sub("j.BUF"));
  ASSERT_NE(journal, nullptr);
  const std::string picture_path = dir.Sub("p.bmp");
  ASSERT_TRUE(WriteWholeFile(Env::Default(), picture_path, "picture"));
  journal->OpenBlock();
  const std::vector<uint8_t> data = InsFigureData(picture_path, 7);
  ASSERT_EQ(journal->Append(kDeleted, kInsFigureEntry, data.data(), data.size()), 0);
  journal->CloseBlock();
  ASSERT_EQ(journal->DropStep(), 0);
  ASSERT_TRUE(Env::Default()->Delete(picture_path));

  EntryHeader h;
  uint8_t back[kMaxEntryData];
  env.FailCreates(true);
  EXPECT_EQ(journal->TakeBack(&h, back, sizeof back), -2);
  EXPECT_EQ(journal->end_offset(), 20u + data.size() + 7u);
  env.FailCreates(false);
  EXPECT_EQ(journal->TakeBack(&h, back, sizeof back), 0);
  EXPECT_EQ(FileBytes(picture_path), "picture");
}

// Overwrites bytes of the journal file, as a damaged disk or another writer would.
void Patch(const std::string& path, size_t at, uint32_t value) {
  std::string file;
  ASSERT_TRUE(ReadWholeFile(Env::Default(), path, &file));
  uint8_t bytes[4];
  PutU32(bytes, value);
  file.replace(at, 4, reinterpret_cast<const char*>(bytes), 4);
  ASSERT_TRUE(WriteWholeFile(Env::Default(), path, file));
}

TEST_F(JournalTest, ADamagedEntryIsRefusedBeforeAnythingIsRead) {
  journal_->OpenBlock();
  ASSERT_EQ(Append(kChanged, kRHightEntry, Bytes({1, 1, 1, 0, 5, 0, 0, 0})), 0);
  ASSERT_EQ(Append(kChanged, kTextEntry, std::vector<uint8_t>(90, 2)), 0);
  journal_->CloseBlock();
  ASSERT_EQ(journal_->DropStep(), 0);
  const uint32_t newest = journal_->last_offset();

  EntryHeader h;
  std::vector<uint8_t> data;
  // A length beyond the replay's buffer.
  Patch(path_, newest + 16, 100000);
  EXPECT_EQ(TakeBack(&h, &data), kRefused);
  // A negative length.
  Patch(path_, newest + 16, 0xFFFFFFF0u);
  EXPECT_EQ(TakeBack(&h, &data), kRefused);
  // A length that fits the buffer but not the entry's place in the file.
  Patch(path_, newest + 16, 80);
  EXPECT_EQ(TakeBack(&h, &data), kRefused);
  // A link that does not lead backwards.
  Patch(path_, newest + 16, 90);
  Patch(path_, newest + 12, newest);
  EXPECT_EQ(TakeBack(&h, &data), kRefused);
  EXPECT_EQ(journal_->end_offset(), newest + 20 + 90);

  Patch(path_, newest + 12, 0);
  ASSERT_EQ(TakeBack(&h, &data), 0);
  EXPECT_EQ(data, std::vector<uint8_t>(90, 2));

  // A buffer smaller than the entry is never overrun.
  std::vector<uint8_t> small(4, 0xEE);
  EXPECT_EQ(journal_->TakeBack(&h, small.data(), small.size()), kRefused);
  EXPECT_EQ(small, std::vector<uint8_t>(4, 0xEE));
}

TEST_F(JournalTest, ADamagedPictureEntryIsRefused) {
  const std::string picture_path = dir_.Sub("p.bmp");
  ASSERT_TRUE(WriteWholeFile(Env::Default(), picture_path, "0123456789"));
  journal_->OpenBlock();
  const std::vector<uint8_t> data = InsFigureData(picture_path, 10);
  ASSERT_EQ(Append(kDeleted, kInsFigureEntry, data), 0);
  journal_->CloseBlock();
  ASSERT_EQ(journal_->DropStep(), 0);
  ASSERT_TRUE(Env::Default()->Delete(picture_path));

  EntryHeader h;
  std::vector<uint8_t> back;
  // A name length that disagrees with the data length.
  Patch(path_, 20 + kNameLengthAt, uint32_t(picture_path.size() + 1));
  EXPECT_EQ(TakeBack(&h, &back), kRefused);
  // A file size that reaches beyond the journal.
  Patch(path_, 20 + kNameLengthAt, uint32_t(picture_path.size()));
  Patch(path_, 20 + kFileSizeAt, 11);
  EXPECT_EQ(TakeBack(&h, &back), kRefused);
  EXPECT_FALSE(Env::Default()->Exists(picture_path));
}

// The journals of an open form are two fresh ".BUF" scratch files in the work directory.
class FormJournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FormInf inf{};
    ASSERT_EQ(QfaCreateForm(&h_, &inf), 0);
  }
  void TearDown() override {
    if (h_.State != nullptr) QfaCloseForm(&h_);
  }
  Form& form() { return *Form::FromHandle(&h_); }
  std::vector<std::string> WorkFiles() {
    std::vector<std::string> names;
    Env::Default()->ListDirectory(work_, &names);
    std::sort(names.begin(), names.end());
    return names;
  }

  qs_test::TempSite site_;
  const std::string& work_ = site_.work();
  FormHandle h_{};
};

TEST_F(FormJournalTest, JournalsAreFreshScratchFilesLeftForTheSweep) {
  char stem[16];
  std::snprintf(stem, sizeof stem, "QF%03u", unsigned(form().form_no()));
  // A file already holding the first sequence number is passed over.
  ASSERT_TRUE(WriteWholeFile(Env::Default(), work_ + stem + "0001.BUF", "old"));

  ASSERT_EQ(UndoControlStart(form()), 0);
  EXPECT_EQ(WorkFiles(), (std::vector<std::string>{std::string(stem) + "0001.BUF",
                                                   std::string(stem) + "0002.BUF",
                                                   std::string(stem) + "0003.BUF"}));
  EXPECT_EQ(FileBytes(work_ + stem + "0001.BUF"), "old");

  ASSERT_EQ(UndoBlockStart(form()), 0);
  EXPECT_EQ(UndoBlockEnd(form()), 0);
  EXPECT_EQ(UndoControlEnd(form()), 0);
  EXPECT_EQ(form().undo().undo_journal, nullptr);
  EXPECT_EQ(WorkFiles().size(), 3u);

  QfaCloseForm(&h_);
  h_.State = nullptr;
  EXPECT_TRUE(WorkFiles().empty());
}

TEST_F(FormJournalTest, AJournalThatCannotBeCreatedFailsTheStart) {
  FaultEnv env;
  test::ScopedSwitch use(site_.item_env(), &env);
  env.FailCreates(true);
  EXPECT_EQ(UndoControlStart(form()), kRefused);
  EXPECT_EQ(UndoBlockStart(form()), kRefused);
  env.FailCreates(false);
  EXPECT_EQ(UndoControlEnd(form()), 0);
  EXPECT_EQ(UndoControlStart(form()), 0);
  EXPECT_EQ(UndoBlockStart(form()), 0);
}

}  // namespace
}  // namespace qs
