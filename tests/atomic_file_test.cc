// Replacing a file in one step: temporaries of saves that died are cleared by the next save,
// those of live saves are left alone, long names save, and a save killed at any moment leaves the
// old or the new file.
#include "common/file/atomic_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/status.h"
#include "formstore.h"
#include "platform/env.h"
#include "support/fault_env.h"
#include "support/form_fixture.h"

namespace {

using qs::CurrentEnv;

class AtomicFileTest : public qs_test::FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    dir = site.root() + "out/";
    ASSERT_TRUE(CurrentEnv()->CreateDirectories(dir));
    target = dir + "form.QFD";
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    EXPECT_TRUE(CurrentEnv()->ListDirectory(dir, &names));
    std::sort(names.begin(), names.end());
    return names;
  }
  int Temporaries() {
    const auto names = Names();
    return int(std::count_if(names.begin(), names.end(), [&](const std::string& n) {
      return qs::IsTemporaryNameOf(target, n);
    }));
  }
  static int WriteText(const std::string& path, const char* text) {
    return qs::WriteFileAtomically(*CurrentEnv(), path, [&](qs::File& f) {
      return f.Write(text, std::strlen(text)) ? qs::kOk : qs::kDamaged;
    });
  }
  std::string Contents(const std::string& path) {
    std::string s;
    EXPECT_TRUE(qs::ReadWholeFile(CurrentEnv(), path, &s)) << path;
    return s;
  }

  std::string dir, target;
};

TEST_F(AtomicFileTest, TheNextSaveRemovesTemporariesWhoseWritersAreGone) {
  // Saves whose processes ended half way through their writing; each removed the one before.
  for (int i = 0; i < 3; ++i) {
    auto child = qs::ChildProcess::Start([&] {
      return qs::WriteFileAtomically(*CurrentEnv(), target, [](qs::File& f) {
        f.Write("partial", 7);
        std::_Exit(0);
        return qs::kOk;
      });
    });
    ASSERT_TRUE(child);
    ASSERT_EQ(child->Wait(), 0);
    ASSERT_EQ(Temporaries(), 1);
  }
  // One of this process whose file is closed, and one of another target, which stays.
  ASSERT_TRUE(qs::WriteWholeFile(CurrentEnv(), qs::TemporaryNameFor(target, 0xabcdef12), "x"));
  const std::string others = qs::TemporaryNameFor(dir + "other.QFD", 7);
  ASSERT_TRUE(qs::WriteWholeFile(CurrentEnv(), others, "x"));
  ASSERT_EQ(Temporaries(), 2);

  ASSERT_EQ(WriteText(target, "new"), qs::kOk);
  EXPECT_EQ(Contents(target), "new");
  EXPECT_EQ(Names(), (std::vector<std::string>{"form.QFD", others.substr(dir.size())}));
}

TEST_F(AtomicFileTest, ATemporaryWithALiveWriterIsLeftAlone) {
  // The inner save runs while the outer one holds its temporary open; the lock belongs to the open
  // file, so this holds between processes and within one alike.
  int inner = -1;
  const int outer = qs::WriteFileAtomically(*CurrentEnv(), target, [&](qs::File& f) {
    EXPECT_TRUE(f.Write("outer", 5));
    inner = WriteText(target, "inner");
    EXPECT_EQ(Temporaries(), 1);
    EXPECT_EQ(Contents(target), "inner");
    return qs::kOk;
  });
  EXPECT_EQ(inner, qs::kOk);
  EXPECT_EQ(outer, qs::kOk);
  EXPECT_EQ(Contents(target), "outer");
  EXPECT_EQ(Temporaries(), 0);
}

TEST_F(AtomicFileTest, SyncsTheDirectoryAfterTheRename) {
  qs::test::FaultEnv faults;
  qs::test::ScopedEnv use(&faults);
  ASSERT_EQ(WriteText(target, "one"), qs::kOk);
  EXPECT_EQ(faults.directory_syncs(), 1);
  faults.FailDirectorySyncs(true);
  // The new file is in place, but the save cannot promise it survives a power loss.
  EXPECT_EQ(WriteText(target, "two"), qs::kDamaged);
  EXPECT_EQ(Contents(target), "two");
  EXPECT_EQ(Temporaries(), 0);
}

TEST_F(AtomicFileTest, SavesUnderTheLongestNamesTheFileSystemTakes) {
  struct Case {
    const char* what;
    std::string name;
    int status;
  };
  std::string two_byte;
  while (two_byte.size() < 250) two_byte += "\x82\xa0";  // a lead byte where a cut could fall
  const Case cases[] = {
      {"255 bytes", std::string(251, 'n') + ".QFD", qs::kOk},
      {"255 bytes of two-byte characters", two_byte + "n.QFD", qs::kOk},
      {"256 bytes: no such file can exist", std::string(252, 'n') + ".QFD", qs::kCannotOpen},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string path = dir + c.name;
    EXPECT_EQ(QfaSaveForm(&h, &path[0]), c.status);
    if (c.status == qs::kOk) {
      EXPECT_EQ(Contents(path).substr(0, 2), "\x1BH");
      EXPECT_TRUE(qs::IsTemporaryNameOf(path, qs::TemporaryNameFor(path, 1).substr(dir.size())));
      EXPECT_LE(qs::TemporaryNameFor(path, 1).size() - dir.size(), c.name.size());
      ASSERT_TRUE(CurrentEnv()->Delete(path));
    }
    EXPECT_TRUE(Names().empty());
  }
}

// A child saves the form over and over, alternating two memos, and is killed at random moments.
// After each kill the file opens with one of the two, and the next save leaves no temporary.
TEST_F(AtomicFileTest, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
  // A picture large enough that a save takes a while.
  std::string picture = "BM";
  picture.resize(512 * 1024, 'p');
  char path[256];
  std::snprintf(path, sizeof path, "%s", site.WriteFile("picture.bmp", picture).c_str());
  InsFigure fig{};
  uint16_t entry = 0;
  ASSERT_EQ(QfaAddInsFigure(&h, &fig, path, &entry), 0);
  const char* memos[] = {"first", "second"};
  ASSERT_EQ(QfaPutFormMemo(&h, memos[0]), 0);
  std::string name = target;
  ASSERT_EQ(QfaSaveForm(&h, &name[0]), 0);

  std::mt19937 random(12345);
  int abandoned = 0;
  for (int kill = 0; kill < 40; ++kill) {
    SCOPED_TRACE(kill);
    auto child = qs::ChildProcess::Start([&] {
      for (int i = 0;; ++i) {
        if (QfaPutFormMemo(&h, memos[i % 2]) != 0 || QfaSaveForm(&h, &name[0]) != 0) return 1;
      }
    });
    ASSERT_TRUE(child);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    ASSERT_TRUE(child->Kill());
    EXPECT_EQ(child->Wait(), -1);  // killed, never failed

    FormHandle read{};
    ASSERT_EQ(QfaOpenForm(&read, target.c_str()), 0);
    char memo[2048] = {};
    EXPECT_EQ(QfaGetFormMemo(&read, memo), 0);
    EXPECT_TRUE(std::strcmp(memo, memos[0]) == 0 || std::strcmp(memo, memos[1]) == 0) << memo;
    QfaCloseForm(&read);

    abandoned += Temporaries();
    ASSERT_EQ(QfaSaveForm(&h, &name[0]), 0);
    EXPECT_EQ(Names(), std::vector<std::string>{"form.QFD"});
  }
  // Most kills land inside a save; otherwise this test would show nothing.
  RecordProperty("abandoned_temporaries", abandoned);
  EXPECT_GT(abandoned, 0);
}

}  // namespace
