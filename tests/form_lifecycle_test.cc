// Creating and closing forms: numbering from the shared counter, scratch-file sweeps, name
// resolution and the update count.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "common/file/scratch_files.h"
#include "formstore.h"
#include "formstore/form.h"
#include "formstore/form_names.h"
#include "platform/env.h"
#include "support/form_fixture.h"

namespace {

using qs_test::TempSite;

uint32_t NumberOf(FormHandle& h) {
  return qs::Form::FromHandle(&h)->form_no();
}

TEST(FormNumbers, FollowTheCounterAndAreGivenBackOnlyByTheNewest) {
  TempSite site;
  FormInf inf{};
  FormHandle a{}, b{}, c{};
  ASSERT_EQ(QfaCreateForm(&a, &inf), 0);
  ASSERT_EQ(QfaCreateForm(&b, &inf), 0);
  const uint32_t n = NumberOf(a);
  EXPECT_EQ(NumberOf(b), n + 1);
  EXPECT_EQ(a.CurPage, 0);

  // Closing the older form leaves the counter alone: the next form gets n + 2.
  QfaCloseForm(&a);
  ASSERT_EQ(QfaCreateForm(&c, &inf), 0);
  EXPECT_EQ(NumberOf(c), n + 2);
  QfaCloseForm(&c);  // newest: gives n + 2 back
  QfaCloseForm(&b);  // n + 1 is the newest again: given back
  ASSERT_EQ(QfaCreateForm(&c, &inf), 0);
  EXPECT_EQ(NumberOf(c), n + 1);
  QfaCloseForm(&c);
}

TEST(FormNumbers, TwoProcessesCreatingAtOnceGetDistinctNumbers) {
  TempSite site;
  constexpr int kPerProcess = 200;
  const std::string out[2] = {site.root() + "numbers0", site.root() + "numbers1"};
  pid_t pids[2];
  for (int p = 0; p < 2; ++p) {
    pids[p] = fork();
    ASSERT_GE(pids[p], 0);
    if (pids[p] == 0) {
      std::ofstream file(out[p]);
      static FormHandle handles[kPerProcess];
      FormInf inf{};
      for (auto& h : handles) {
        if (QfaCreateForm(&h, &inf) != 0) _exit(1);
        file << NumberOf(h) << '\n';
      }
      file.close();
      _exit(0);
    }
  }
  for (pid_t pid : pids) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::set<uint32_t> seen;
  for (const auto& path : out) {
    std::ifstream file(path);
    uint32_t n;
    while (file >> n) EXPECT_TRUE(seen.insert(n).second) << "number " << n << " given twice";
  }
  EXPECT_EQ(seen.size(), size_t(2 * kPerProcess));
}

TEST(ScratchSweep, ClaimsOnlyTheFormsOwnFourDigitSequence) {
  EXPECT_TRUE(qs::IsScratchFileOf("QF1000001.bmp", "QF", 100));
  EXPECT_TRUE(qs::IsScratchFileOf("QF1000001", "QF", 100));
  EXPECT_TRUE(qs::IsScratchFileOf("QF0070002.BUF", "QF", 7));
  // Form 1000's copies begin with the same five characters as form 100's.
  EXPECT_FALSE(qs::IsScratchFileOf("QF10000001.bmp", "QF", 100));
  EXPECT_FALSE(qs::IsScratchFileOf("QF1009999.bmp", "QF", 1000));
  EXPECT_FALSE(qs::IsScratchFileOf("QD1000001.bmp", "QF", 100));
  EXPECT_FALSE(qs::IsScratchFileOf("QF100001", "QF", 100));
  EXPECT_FALSE(qs::IsScratchFileOf("QF100000a.bmp", "QF", 100));
}

TEST(ScratchSweep, CloseDeletesThisFormsFilesAndNoOther) {
  TempSite site;
  FormInf inf{};
  FormHandle h{};
  ASSERT_EQ(QfaCreateForm(&h, &inf), 0);
  const uint32_t n = NumberOf(h);
  const std::string mine = qs::ScratchName("", "QF", n, 3, ".bmp");
  const std::string mine_bare = qs::ScratchName("", "QF", n, 12, "");
  const std::string longer = qs::ScratchName("", "QF", n * 10, 1, ".bmp");
  const std::string other_prefix = qs::ScratchName("", "QD", n, 3, ".bmp");
  for (const auto& name : {mine, mine_bare, longer, other_prefix})
    site.WriteFile("work/" + name, "x");
  QfaCloseForm(&h);
  const auto left = site.WorkFiles();
  EXPECT_EQ(left, (std::vector<std::string>{std::min(longer, other_prefix),
                                            std::max(longer, other_prefix)}));
}

TEST(ScratchSweep, Form100LeavesTheCopiesOfForm1000Alone) {
  TempSite site;
  auto counter = qs::SharedCounter::Open(site.counter_name());
  ASSERT_TRUE(counter);
  while (counter->Load() < 99) counter->Increment();
  FormInf inf{};
  FormHandle h{};
  ASSERT_EQ(QfaCreateForm(&h, &inf), 0);
  ASSERT_EQ(NumberOf(h), 100u);
  site.WriteFile("work/QF1000001.bmp", "form 100");
  site.WriteFile("work/QF10000001.bmp", "form 1000");
  site.WriteFile("work/QF10090002.BUF", "form 1009");
  QfaCloseForm(&h);
  EXPECT_EQ(site.WorkFiles(), (std::vector<std::string>{"QF10000001.bmp", "QF10090002.BUF"}));
}

TEST(ScratchSweep, CreateRemovesLeftoversOfAnEarlierFormWithTheSameNumber) {
  TempSite site;
  FormInf inf{};
  FormHandle h{};
  ASSERT_EQ(QfaCreateForm(&h, &inf), 0);
  const uint32_t n = NumberOf(h);
  QfaCloseForm(&h);  // gives n back, so the next form is n again
  site.WriteFile("work/" + qs::ScratchName("", "QF", n, 1, ".png"), "stale");
  ASSERT_EQ(QfaCreateForm(&h, &inf), 0);
  ASSERT_EQ(NumberOf(h), n);
  EXPECT_TRUE(site.WorkFiles().empty());
  QfaCloseForm(&h);
}

TEST(ScratchNames, FreshNamesSkipTakenOnes) {
  TempSite site;
  uint32_t seq = 0;
  site.WriteFile("work/QF0070001.bmp", "taken");
  EXPECT_EQ(qs::FreshScratchName(*qs::CurrentEnv(), site.work(), "QF", 7, &seq, "/pictures/a.bmp"),
            site.work() + "QF0070002.bmp");
  EXPECT_EQ(seq, 2u);
  EXPECT_EQ(qs::FreshScratchName(*qs::CurrentEnv(), site.work(), "QF", 7, &seq, "UNDO.BUF"),
            site.work() + "QF0070003.BUF");
  EXPECT_EQ(qs::FreshScratchName(*qs::CurrentEnv(), site.work(), "QF", 7, &seq, "dir.d/noext"),
            site.work() + "QF0070004");
}

TEST(ScratchNames, TheSequenceWrapsAfter9999AndAnotherItemsSweepLeavesTheNamesAlone) {
  TempSite site;
  uint32_t seq = 9998;
  site.WriteFile("work/QF1000001.bmp", "taken");
  const std::string next[] = {
      qs::FreshScratchName(*qs::CurrentEnv(), site.work(), "QF", 100, &seq, "a.bmp"),
      qs::FreshScratchName(*qs::CurrentEnv(), site.work(), "QF", 100, &seq, "a.bmp"),
  };
  EXPECT_EQ(next[0], site.work() + "QF1009999.bmp");
  // 10000 would read as item 1000's sequence 0; 0001 is taken.
  EXPECT_EQ(next[1], site.work() + "QF1000002.bmp");
  EXPECT_EQ(seq, 2u);
  for (const std::string& name : next)
    site.WriteFile("work/" + name.substr(site.work().size()), "");
  for (uint32_t item : {1000u, 1001u, 1009u, 10u})
    qs::SweepScratchFiles(*qs::CurrentEnv(), site.work(), "QF", item);
  EXPECT_EQ(site.WorkFiles().size(), 3u);
  qs::SweepScratchFiles(*qs::CurrentEnv(), site.work(), "QF", 100);
  EXPECT_TRUE(site.WorkFiles().empty());

  // With every name taken there is none to give, rather than one that is in use.
  for (uint32_t n = 1; n <= qs::kLastScratchSeq; ++n)
    site.WriteFile("work/" + qs::ScratchName("", "QF", 7, n, ""), "");
  EXPECT_EQ(qs::FreshScratchName(*qs::CurrentEnv(), site.work(), "QF", 7, &seq, "x"), "");
}

class NameResolution : public ::testing::Test {
 protected:
  TempSite site;
  char buffer[qs::kNameBufferSize] = {};
  void Set(const std::string& name) { std::snprintf(buffer, sizeof buffer, "%s", name.c_str()); }
};

TEST_F(NameResolution, BareFormNameTriesBaseThenFlat) {
  site.WriteFile("flat/ABC.QFD", "flat");
  Set("ABC");
  ASSERT_TRUE(qs::ResolveName(*qs::CurrentEnv(), buffer, qs::NameKind::kFormData));
  EXPECT_EQ(std::string(buffer), site.flat() + "ABC.QFD");

  site.WriteFile("base/QFD/ABC.QFD", "base");
  Set("ABC");
  ASSERT_TRUE(qs::ResolveName(*qs::CurrentEnv(), buffer, qs::NameKind::kFormData));
  EXPECT_EQ(std::string(buffer), site.base() + "QFD/ABC.QFD");

  Set("MISSING");
  EXPECT_FALSE(qs::ResolveName(*qs::CurrentEnv(), buffer, qs::NameKind::kFormData));
}

TEST_F(NameResolution, TemplatesAreLookedForUnderBaseOnly) {
  site.WriteFile("flat/XYZ.QFT", "flat");
  Set("XYZ");
  EXPECT_FALSE(qs::ResolveName(*qs::CurrentEnv(), buffer, qs::NameKind::kTemplate));
  site.WriteFile("base/QFT/XYZ.QFT", "base");
  Set("XYZ");
  ASSERT_TRUE(qs::ResolveName(*qs::CurrentEnv(), buffer, qs::NameKind::kTemplate));
  EXPECT_EQ(std::string(buffer), site.base() + "QFT/XYZ.QFT");
}

TEST_F(NameResolution, FullPathsNeverAskTheDirectoryService) {
  const std::string path = site.WriteFile("elsewhere/F.QFD", "x");
  // A base directory too long for the service's buffer makes every question to it fail.
  setenv("SITEPATHS_BASE_DIR", std::string(300, 'b').c_str(), 1);
  Set(path);
  EXPECT_TRUE(qs::ResolveName(*qs::CurrentEnv(), buffer, qs::NameKind::kFormData));
  EXPECT_EQ(std::string(buffer), path);
  Set(site.root() + "elsewhere/F");
  EXPECT_TRUE(qs::ResolveName(*qs::CurrentEnv(), buffer, qs::NameKind::kFormData));
  EXPECT_EQ(std::string(buffer), path);
  // A bare name does need the service, and its failure means "not found".
  site.WriteFile("flat/G.QFD", "x");
  Set("G");
  EXPECT_FALSE(qs::ResolveName(*qs::CurrentEnv(), buffer, qs::NameKind::kFormData));
  char name[256] = "G";
  EXPECT_EQ(QfaFormExist2(name), 0);
}

TEST_F(NameResolution, ANameWithADotGetsNoExtension) {
  site.WriteFile("flat/old.forms/plan", "x");
  Set("old.forms/plan");
  ASSERT_TRUE(qs::ResolveName(*qs::CurrentEnv(), buffer, qs::NameKind::kFormData));
  EXPECT_EQ(std::string(buffer), site.flat() + "old.forms/plan");
}

TEST_F(NameResolution, AnOverlongNameIsNotFoundAndNothingOverflows) {
  std::memset(buffer, 'n', sizeof buffer - 1);
  EXPECT_FALSE(qs::ResolveName(*qs::CurrentEnv(), buffer, qs::NameKind::kFormData));
  Set(std::string(252, 'n'));  // no room for ".QFD" and the NUL
  EXPECT_FALSE(qs::ResolveName(*qs::CurrentEnv(), buffer, qs::NameKind::kFormData));
}

TEST_F(NameResolution, FormExistAppendsTheExtensionAndSaysWhere) {
  char name[256] = "ABC";
  EXPECT_EQ(QfaFormExist2(name), 0);
  EXPECT_STREQ(name, "ABC.QFD");
  EXPECT_EQ(QfaFormExist(name), -1);

  site.WriteFile("flat/ABC.QFD", "x");
  std::strcpy(name, "ABC");
  EXPECT_EQ(QfaFormExist(name), 0);
  EXPECT_STREQ(name, "ABC.QFD");
  EXPECT_EQ(QfaFormExist2(name), 2);

  site.WriteFile("base/QFD/ABC.QFD", "x");
  EXPECT_EQ(QfaFormExist2(name), 1);

  // Full paths: where they lie is read from the path itself.
  std::string full = site.base() + "QFD/ABC.QFD";
  std::snprintf(name, sizeof name, "%s", full.c_str());
  EXPECT_EQ(QfaFormExist2(name), 1);
  full = site.flat() + "ABC";
  std::snprintf(name, sizeof name, "%s", full.c_str());
  EXPECT_EQ(QfaFormExist2(name), 2);
  EXPECT_EQ(std::string(name), site.flat() + "ABC.QFD");
  const std::string elsewhere = site.WriteFile("elsewhere/ABC.QFD", "x");
  std::snprintf(name, sizeof name, "%s", elsewhere.c_str());
  EXPECT_EQ(QfaFormExist2(name), 0);
  std::snprintf(name, sizeof name, "%s", (site.root() + "nothing/ABC.QFD").c_str());
  EXPECT_EQ(QfaFormExist2(name), 0);
}

}  // namespace
