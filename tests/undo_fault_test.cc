// Undo and redo when the machinery under them gives way in the middle of a replay.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>

#include "common/undo/journal.h"
#include "common/undo/undo_state.h"
#include "formstore.h"
#include "formstore/form.h"
#include "platform/env.h"
#include "support/fault_env.h"
#include "support/form_fixture.h"

namespace {

// Runs out of memory when it is asked to create or replace a file, as opening one allocates.
class OutOfMemoryOnCreate : public qs::test::FaultEnv {
 public:
  void Arm(bool on) { armed_ = on; }
  std::unique_ptr<qs::File> Open(const std::string& path, qs::OpenMode mode) override {
    if (armed_ && mode == qs::OpenMode::kCreate) throw std::bad_alloc();
    return FaultEnv::Open(path, mode);
  }

 private:
  bool armed_ = false;
};

// Cannot create a second file: the first create succeeds, every later one fails.
class OneCreateOnly : public qs::test::FaultEnv {
 public:
  std::unique_ptr<qs::File> Open(const std::string& path, qs::OpenMode mode) override {
    if (mode == qs::OpenMode::kCreateNew && ++creates_ > 1) return nullptr;
    return FaultEnv::Open(path, mode);
  }

 private:
  int creates_ = 0;
};

class UndoFaultTest : public qs_test::FormTest {};

class TwoPageUndoFaultTest : public qs_test::FormTest {
 protected:
  TwoPageUndoFaultTest() : FormTest(2) {}
};

TEST_F(TwoPageUndoFaultTest, AStartWhoseRedoJournalFailsLeavesJournallingOff) {
  // Text 1 on both pages.
  Text rec{};
  rec.Right = 50;
  rec.Bottom = 20;
  uint16_t entry = 0;
  for (int page = 1; page <= 2; ++page) {
    ASSERT_EQ(QfaPutCurPage(&h, page), 0);
    ASSERT_EQ(QfaAddText(&h, &rec, page == 1 ? "one" : "two", &entry), 0);
  }
  ASSERT_EQ(QfaPutCurPage(&h, 1), 0);
  {
    OneCreateOnly env;
    qs::test::ScopedSwitch use(site.item_env(), &env);
    EXPECT_EQ(QfaUndoControlStart(&h), -1);
  }
  // A caller that goes on regardless journals nothing: an undo journal alone would outlive the
  // change of page below and replay page 1's step onto page 2.
  EXPECT_EQ(QfaUndoBlockStart(&h), -1);
  ASSERT_EQ(QfaPutText(&h, entry, &rec, "page 1"), 0);
  QfaUndoBlockEnd(&h);
  ASSERT_EQ(QfaPutCurPage(&h, 2), 0);
  EXPECT_EQ(QfaUndo(&h), 0);
  Text out{};
  char text[256] = {};
  ASSERT_EQ(QfaGetText(&h, entry, &out, text), 0);
  EXPECT_STREQ(text, "two");
  EXPECT_EQ(QfaUndoCount(&h), 0);

  // Journalling starts again as usual.
  EXPECT_EQ(QfaUndoControlEnd(&h), 0);
  EXPECT_EQ(QfaUndoControlStart(&h), 0);
  EXPECT_EQ(QfaUndoBlockStart(&h), 0);
}

TEST_F(UndoFaultTest, AReplayCutShortLeavesNoBlockOpen) {
  ASSERT_EQ(QfaUndoControlStart(&h), 0);
  char path[256] = {};
  std::strcpy(path, site.WriteFile("photo.bmp", std::string(100, 'p')).c_str());
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  InsFigure ins{};
  uint16_t entry = 0;
  ASSERT_EQ(QfaAddInsFigure(&h, &ins, path, &entry), 0);
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  // Undoing the addition journals the deletion, picture and all, for the redo.
  ASSERT_EQ(QfaUndo(&h), 0);
  ASSERT_EQ(QfaRedoCount(&h), 1);

  {
    OutOfMemoryOnCreate env;
    qs::test::ScopedSwitch use(site.item_env(), &env);
    env.Arm(true);  // writing the picture back fails halfway through the redo
    EXPECT_NE(QfaRedo(&h), 0);
  }
  qs::UndoState& undo = qs::Form::FromHandle(&h)->undo();
  EXPECT_EQ(undo.mode, qs::kIdle);
  EXPECT_EQ(undo.undo_journal->block_depth(), 0);

  // Journalling goes on as before: the next block is a step of its own.
  const int steps = QfaUndoCount(&h);
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  Text text{};
  uint16_t text_entry = 0;
  ASSERT_EQ(QfaAddText(&h, &text, "t", &text_entry), 0);
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  EXPECT_EQ(QfaUndoCount(&h), steps + 1);
}

}  // namespace
