// Undo and redo when the machinery under them gives way in the middle of a replay.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>

#include "common/journal.h"
#include "common/undo_state.h"
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

class UndoFaultTest : public qs_test::FormTest {};

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
    qs::test::ScopedEnv use(&env);
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
