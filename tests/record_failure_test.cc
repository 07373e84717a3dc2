// Edits go ahead, and report success, when the journal cannot take their entry because memory ran
// out while it was being written.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "formstore.h"
#include "platform/env.h"
#include "support/fault_env.h"
#include "support/form_fixture.h"

namespace {

// Files whose writes throw std::bad_alloc while the env is armed.
class ThrowingEnv : public qs::test::FaultEnv {
 public:
  bool armed = false;

  std::unique_ptr<qs::File> Open(const std::string& path, qs::OpenMode mode) override {
    std::unique_ptr<qs::File> file = FaultEnv::Open(path, mode);
    if (!file) return file;
    return std::make_unique<ThrowingFile>(std::move(file), &armed);
  }

 private:
  class ThrowingFile : public qs::File {
   public:
    ThrowingFile(std::unique_ptr<qs::File> base, const bool* armed)
        : base_(std::move(base)), armed_(armed) {}
    bool Read(void* buf, size_t n, size_t* got) override { return base_->Read(buf, n, got); }
    bool Write(const void* buf, size_t n) override {
      if (*armed_) throw std::bad_alloc();
      return base_->Write(buf, n);
    }
    bool Seek(uint64_t offset) override { return base_->Seek(offset); }
    bool Tell(uint64_t* offset) override { return base_->Tell(offset); }
    bool Size(uint64_t* size) override { return base_->Size(size); }
    bool Sync() override { return base_->Sync(); }
    bool Close() override { return base_->Close(); }

   private:
    std::unique_ptr<qs::File> base_;
    const bool* armed_;
  };
};

class RecordFailureTest : public qs_test::FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    ASSERT_EQ(QfaUndoControlStart(&h), 0);
    ASSERT_EQ(QfaUndoBlockStart(&h), 0);
    env.armed = true;
  }
  void TearDown() override {
    env.armed = false;
    FormTest::TearDown();
  }
  Text TextAt(int32_t left) {
    Text t{};
    t.Left = left;
    t.Font = qs_test::Font("Mincho");
    return t;
  }

  ThrowingEnv env;
  qs::test::ScopedEnv use{&env};
};

TEST_F(RecordFailureTest, AdditionsAndInsertionsStandAndSucceed) {
  const Text t = TextAt(5);
  uint16_t text = 0;
  EXPECT_EQ(QfaAddText(&h, &t, "abc", &text), 0);
  EXPECT_EQ(QfaGetPageDataCount(&h), 1);

  ChartInf inf{};
  inf.Rows = 2;
  inf.Cols = 2;
  inf.Right = 20;
  uint16_t chart = 0;
  EXPECT_EQ(QfaAddChart(&h, &inf, &chart), 0);
  EXPECT_EQ(QfaGetPageDataCount(&h), 2);
  EXPECT_EQ(QfaInsertChartR(&h, chart, 1, 2, 15), 0);
  ChartInf out{};
  ASSERT_EQ(QfaGetChartInf(&h, chart, &out), 0);
  EXPECT_EQ(int(out.Rows), 3);
}

TEST_F(RecordFailureTest, ChangesAndDeletionsGoAhead) {
  env.armed = false;
  const Text t = TextAt(5);
  uint16_t text = 0;
  ASSERT_EQ(QfaAddText(&h, &t, "abc", &text), 0);
  env.armed = true;

  const Text moved = TextAt(50);
  EXPECT_EQ(QfaPutText(&h, text, &moved, "xyz"), 0);
  Text out{};
  char s[256];
  ASSERT_EQ(QfaGetText(&h, text, &out, s), 0);
  EXPECT_EQ(int32_t(out.Left), 50);
  EXPECT_STREQ(s, "xyz");
  EXPECT_EQ(QfaDeletePageData(&h, text), 0);
  EXPECT_EQ(QfaGetPageDataCount(&h), 0);
}

}  // namespace
