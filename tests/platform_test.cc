#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/env.h"
#include "support/fault_env.h"
#include "support/scratch_dir.h"

namespace qs {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnvVar;
using test::ScratchDir;

std::string Contents(const std::string& path) {
  std::string s;
  EXPECT_TRUE(ReadWholeFile(Env::Default(), path, &s)) << path;
  return s;
}

class EnvTest : public ::testing::Test {
 protected:
  Env* env_ = Env::Default();
  ScratchDir dir_{"platform"};
};

TEST_F(EnvTest, OpenModesCreateTruncateOrKeep) {
  const std::string path = dir_.Sub("f");
  EXPECT_EQ(env_->Open(path, OpenMode::kRead), nullptr);
  EXPECT_EQ(env_->Open(path, OpenMode::kReadWrite), nullptr);

  ASSERT_TRUE(WriteWholeFile(env_, path, "abcdef"));
  EXPECT_EQ(env_->Open(path, OpenMode::kCreateNew), nullptr);
  EXPECT_EQ(Contents(path), "abcdef");

  auto keep = env_->Open(path, OpenMode::kOpenAlways);
  ASSERT_NE(keep, nullptr);
  ASSERT_TRUE(keep->Write("XY", 2));
  ASSERT_TRUE(keep->Close());
  EXPECT_EQ(Contents(path), "XYcdef");

  auto rw = env_->Open(path, OpenMode::kReadWrite);
  ASSERT_NE(rw, nullptr);
  ASSERT_TRUE(rw->Seek(4));
  ASSERT_TRUE(rw->Write("Z", 1));
  uint64_t at = 0, size = 0;
  ASSERT_TRUE(rw->Tell(&at));
  ASSERT_TRUE(rw->Size(&size));
  EXPECT_EQ(at, 5u);
  EXPECT_EQ(size, 6u);
  ASSERT_TRUE(rw->Close());
  EXPECT_EQ(Contents(path), "XYcdZf");

  auto fresh = env_->Open(path, OpenMode::kCreate);
  ASSERT_NE(fresh, nullptr);
  ASSERT_TRUE(fresh->Size(&size));
  EXPECT_EQ(size, 0u);

  auto made = env_->Open(dir_.Sub("new"), OpenMode::kCreateNew);
  ASSERT_NE(made, nullptr);
  EXPECT_TRUE(env_->Exists(dir_.Sub("new")));
  auto always = env_->Open(dir_.Sub("new2"), OpenMode::kOpenAlways);
  EXPECT_NE(always, nullptr);
}

TEST_F(EnvTest, ReadOnlyFileRefusesWritesAndClosedFileRefusesEverything) {
  const std::string path = dir_.Sub("ro");
  ASSERT_TRUE(WriteWholeFile(env_, path, "data"));
  auto file = env_->Open(path, OpenMode::kRead);
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(file->Write("x", 1));
  ASSERT_TRUE(file->Close());
  char buf[4];
  size_t got = 99;
  EXPECT_FALSE(file->Read(buf, sizeof buf, &got));
  EXPECT_EQ(got, 0u);
  EXPECT_FALSE(file->Close());
  EXPECT_EQ(Contents(path), "data");
}

TEST_F(EnvTest, ShortReadAtEndOfFileIsNotAnError) {
  const std::string path = dir_.Sub("short");
  ASSERT_TRUE(WriteWholeFile(env_, path, "12345"));
  auto file = env_->Open(path, OpenMode::kRead);
  ASSERT_NE(file, nullptr);
  char buf[16] = {};
  size_t got = 0;
  ASSERT_TRUE(file->Read(buf, 3, &got));
  EXPECT_EQ(got, 3u);
  ASSERT_TRUE(file->Read(buf, sizeof buf, &got));
  EXPECT_EQ(got, 2u);
  EXPECT_EQ(std::string(buf, got), "45");
  ASSERT_TRUE(file->Read(buf, sizeof buf, &got));
  EXPECT_EQ(got, 0u);
  ASSERT_TRUE(file->Seek(100));  // past the end: reads find nothing
  ASSERT_TRUE(file->Read(buf, sizeof buf, &got));
  EXPECT_EQ(got, 0u);
}

TEST_F(EnvTest, DirectoryIsNotAFile) {
  EXPECT_EQ(env_->Open(dir_.path(), OpenMode::kRead), nullptr);
  EXPECT_EQ(env_->Open(dir_.path(), OpenMode::kOpenAlways), nullptr);
  EXPECT_TRUE(env_->Exists(dir_.path()));
  EXPECT_TRUE(env_->IsDirectory(dir_.path()));
  ASSERT_TRUE(WriteWholeFile(env_, dir_.Sub("f"), ""));
  EXPECT_TRUE(env_->Exists(dir_.Sub("f")));
  EXPECT_FALSE(env_->IsDirectory(dir_.Sub("f")));
  EXPECT_FALSE(env_->Exists(dir_.Sub("nothing")));
}

TEST_F(EnvTest, WholeFileRoundTripKeepsEveryByte) {
  std::string data;
  for (int i = 0; i < 100000; ++i) data += static_cast<char>(i * 7 % 256);
  ASSERT_TRUE(WriteWholeFile(env_, dir_.Sub("big"), data));
  EXPECT_EQ(Contents(dir_.Sub("big")), data);
  ASSERT_TRUE(WriteWholeFile(env_, dir_.Sub("big"), "tiny"));
  EXPECT_EQ(Contents(dir_.Sub("big")), "tiny");
  std::string s = "left over";
  EXPECT_FALSE(ReadWholeFile(env_, dir_.Sub("missing"), &s));
  EXPECT_EQ(s, "");
}

TEST_F(EnvTest, DeleteAndRename) {
  ASSERT_TRUE(WriteWholeFile(env_, dir_.Sub("a"), "new"));
  ASSERT_TRUE(WriteWholeFile(env_, dir_.Sub("b"), "old"));
  ASSERT_TRUE(env_->Rename(dir_.Sub("a"), dir_.Sub("b")));
  EXPECT_FALSE(env_->Exists(dir_.Sub("a")));
  EXPECT_EQ(Contents(dir_.Sub("b")), "new");
  EXPECT_FALSE(env_->Rename(dir_.Sub("a"), dir_.Sub("c")));
  EXPECT_TRUE(env_->Delete(dir_.Sub("b")));
  EXPECT_FALSE(env_->Delete(dir_.Sub("b")));
  EXPECT_FALSE(env_->Exists(dir_.Sub("b")));
}

TEST_F(EnvTest, CopyFileOverwritesTarget) {
  ASSERT_TRUE(WriteWholeFile(env_, dir_.Sub("from"), std::string("short\0x", 7)));
  ASSERT_TRUE(WriteWholeFile(env_, dir_.Sub("to"), "a much longer old content"));
  ASSERT_TRUE(env_->CopyFile(dir_.Sub("from"), dir_.Sub("to")));
  EXPECT_EQ(Contents(dir_.Sub("to")), std::string("short\0x", 7));
  EXPECT_EQ(Contents(dir_.Sub("from")), std::string("short\0x", 7));

  ASSERT_TRUE(env_->CopyFile(dir_.Sub("from"), dir_.Sub("fresh")));
  EXPECT_EQ(Contents(dir_.Sub("fresh")), std::string("short\0x", 7));
}

TEST_F(EnvTest, FailedCopyLeavesTargetAlone) {
  ASSERT_TRUE(WriteWholeFile(env_, dir_.Sub("to"), "keep"));
  EXPECT_FALSE(env_->CopyFile(dir_.Sub("missing"), dir_.Sub("to")));
  EXPECT_EQ(Contents(dir_.Sub("to")), "keep");
  EXPECT_FALSE(env_->CopyFile(dir_.path(), dir_.Sub("to")));
  EXPECT_EQ(Contents(dir_.Sub("to")), "keep");
  // Onto itself, directly or through another name: truncating the target would destroy the source.
  EXPECT_FALSE(env_->CopyFile(dir_.Sub("to"), dir_.Sub("to")));
  EXPECT_FALSE(env_->CopyFile(dir_.Sub("to"), dir_.path() + "./to"));
  EXPECT_EQ(Contents(dir_.Sub("to")), "keep");
}

TEST_F(EnvTest, CreateDirectoriesMakesParents) {
  const std::string deep = dir_.Sub("a/b/c");
  ASSERT_TRUE(env_->CreateDirectories(deep, 0700));
  EXPECT_TRUE(env_->IsDirectory(deep));
  EXPECT_EQ(fs::status(dir_.Sub("a")).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(fs::status(deep).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_TRUE(env_->CreateDirectories(deep, 0700));  // already there
  EXPECT_TRUE(env_->CreateDirectories(dir_.Sub("x/y/"), 0755));
  EXPECT_TRUE(env_->CreateDirectories(dir_.Sub("p//q"), 0755));
  EXPECT_TRUE(env_->IsDirectory(dir_.Sub("p/q")));
  EXPECT_FALSE(env_->CreateDirectories("", 0755));

  ASSERT_TRUE(WriteWholeFile(env_, dir_.Sub("file"), "x"));
  EXPECT_FALSE(env_->CreateDirectories(dir_.Sub("file"), 0755));
  EXPECT_FALSE(env_->CreateDirectories(dir_.Sub("file/below"), 0755));
}

TEST_F(EnvTest, ListDirectoryGivesNamesOnly) {
  ASSERT_TRUE(WriteWholeFile(env_, dir_.Sub("one"), ""));
  ASSERT_TRUE(WriteWholeFile(env_, dir_.Sub("two.txt"), ""));
  ASSERT_TRUE(env_->CreateDirectories(dir_.Sub("sub"), 0755));
  std::vector<std::string> names = {"stale"};
  ASSERT_TRUE(env_->ListDirectory(dir_.path(), &names));
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()),
            (std::set<std::string>{"one", "two.txt", "sub"}));
  EXPECT_EQ(names.size(), 3u);
  EXPECT_FALSE(env_->ListDirectory(dir_.Sub("missing"), &names));
  EXPECT_FALSE(env_->ListDirectory(dir_.Sub("one"), &names));
}

TEST(TempTreeTest, MakeTempDirectoryAndRemoveTree) {
  ScratchDir outer("tree");
  ScopedEnvVar tmp("TMPDIR", outer.path());
  EXPECT_EQ(TempDirectory(), outer.path());

  const std::string a = MakeTempDirectory("t-");
  const std::string b = MakeTempDirectory("t-");
  ASSERT_FALSE(a.empty());
  ASSERT_FALSE(b.empty());
  EXPECT_NE(a, b);
  EXPECT_EQ(a.rfind(outer.path() + "t-", 0), 0u) << a;
  EXPECT_EQ(a.back(), '/');
  EXPECT_EQ(fs::status(a).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_TRUE(IsOwnedDirectory(a));

  // A link inside the tree is removed, its target is not.
  const std::string outside = outer.MakeDir("outside");
  ASSERT_TRUE(WriteWholeFile(Env::Default(), outside + "precious", "p"));
  ASSERT_TRUE(Env::Default()->CreateDirectories(a + "x/y", 0755));
  ASSERT_TRUE(WriteWholeFile(Env::Default(), a + "x/y/f", "f"));
  fs::create_directory_symlink(outside, a + "x/link");
  EXPECT_FALSE(IsOwnedDirectory(a + "x/link"));
  EXPECT_FALSE(IsOwnedDirectory(a + "x/link/"));
  EXPECT_TRUE(IsOwnedDirectory(outside));

  EXPECT_TRUE(RemoveTree(a));
  EXPECT_FALSE(fs::exists(a));
  EXPECT_TRUE(fs::exists(outside + "precious"));
  EXPECT_TRUE(RemoveTree(a));  // nothing left is success
  EXPECT_FALSE(RemoveTree("/"));
  EXPECT_FALSE(RemoveTree(""));

  ASSERT_TRUE(WriteWholeFile(Env::Default(), b + "file", ""));
  EXPECT_TRUE(RemoveTree(b + "file"));
  EXPECT_TRUE(fs::exists(b));
}

TEST(ScratchDirTest, RemovedAtEnd) {
  std::string path;
  {
    ScratchDir dir("my test/name");
    path = dir.path();
    EXPECT_EQ(path.back(), '/');
    EXPECT_NE(path.find("/qstore-test-my_test_name-"), std::string::npos) << path;
    EXPECT_EQ(dir.MakeDir("a/b"), path + "a/b/");
    EXPECT_TRUE(fs::is_directory(path + "a/b"));
  }
  EXPECT_FALSE(fs::exists(path));
}

TEST(ScopedEnvVarTest, RestoresEarlierStateIncludingAbsence) {
  SetEnvVar("QSTORE_PLATFORM_TEST_VAR", nullptr);
  {
    ScopedEnvVar v("QSTORE_PLATFORM_TEST_VAR", "one");
    EXPECT_STREQ(GetEnvVar("QSTORE_PLATFORM_TEST_VAR"), "one");
    {
      ScopedEnvVar w("QSTORE_PLATFORM_TEST_VAR", nullptr);
      EXPECT_EQ(GetEnvVar("QSTORE_PLATFORM_TEST_VAR"), nullptr);
    }
    EXPECT_STREQ(GetEnvVar("QSTORE_PLATFORM_TEST_VAR"), "one");
  }
  EXPECT_EQ(GetEnvVar("QSTORE_PLATFORM_TEST_VAR"), nullptr);
}

TEST(FaultEnvTest, FailsWhatItIsToldAndNothingElse) {
  ScratchDir dir("fault");
  test::FaultEnv env;
  test::ScopedEnv use(&env);
  ASSERT_EQ(CurrentEnv(), &env);
  const std::string path = dir.Sub("f");

  auto file = env.Open(path, OpenMode::kCreate);
  ASSERT_NE(file, nullptr);
  env.FailWriteNumber(2);
  EXPECT_TRUE(file->Write("1111", 4));
  EXPECT_FALSE(file->Write("2222", 4));  // half of it lands, as on a full disk
  EXPECT_TRUE(file->Write("3333", 4));
  ASSERT_TRUE(file->Close());
  EXPECT_EQ(Contents(path), "1111223333");
  EXPECT_EQ(env.writes(), 3);
  EXPECT_EQ(env.failures(), 1);

  env.FailAllWrites(true);
  EXPECT_FALSE(WriteWholeFile(&env, path, "x"));
  env.FailAllWrites(false);
  EXPECT_TRUE(WriteWholeFile(&env, path, "x"));

  env.FailCreates(true);
  EXPECT_EQ(env.Open(dir.Sub("g"), OpenMode::kCreateNew), nullptr);
  EXPECT_EQ(env.Open(path, OpenMode::kOpenAlways), nullptr);
  EXPECT_NE(env.Open(path, OpenMode::kRead), nullptr);
  EXPECT_NE(env.Open(path, OpenMode::kReadWrite), nullptr);
  EXPECT_EQ(Contents(path), "x");

  env.FailRenames(true);
  EXPECT_FALSE(env.Rename(path, dir.Sub("h")));
  env.FailCopies(true);
  EXPECT_FALSE(env.CopyFile(path, dir.Sub("h")));
  EXPECT_FALSE(fs::exists(dir.Sub("h")));

  env.Reset();
  EXPECT_EQ(env.failures(), 0);
  EXPECT_TRUE(env.CopyFile(path, dir.Sub("h")));
  EXPECT_TRUE(env.Rename(dir.Sub("h"), dir.Sub("i")));
}

TEST(FaultEnvTest, ScopedEnvRestoresDefault) {
  {
    test::FaultEnv env;
    test::ScopedEnv use(&env);
    EXPECT_EQ(CurrentEnv(), &env);
  }
  EXPECT_EQ(CurrentEnv(), Env::Default());
}

class IniTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteWholeFile(Env::Default(), path_,
                               "; comment = not a key\r\n"
                               "top=before any section\r\n"
                               "[Paths]\r\n"
                               "  Base Dir  =   /srv/base/  \r\n"
                               "Empty=\r\n"
                               "Quoted=\"  spaced  \"\r\n"
                               "Equals=a=b\r\n"
                               "Base Dir=second one loses\r\n"
                               "   ; Hidden=1\r\n"
                               "NoEquals\r\n"
                               "[ other ]\n"
                               "Key=other value\n"
                               "[\x83\x5D]\n"  // a section name whose trail byte is ']'
                               "\x82\x60=sjis key\n"
                               "[PATHS]\n"
                               "Late=found in a repeated section\n"));
  }

  std::string Get(const char* section, const char* key, const char* fallback = "default") {
    char buf[256];
    size_t n = IniGetString(*CurrentEnv(), path_, section, key, fallback, buf, sizeof buf);
    EXPECT_EQ(n, std::strlen(buf));
    return buf;
  }

  ScratchDir dir_{"ini"};
  std::string path_ = dir_.Sub("test.ini");
};

TEST_F(IniTest, FindsTrimmedValuesIgnoringCase) {
  EXPECT_EQ(Get("Paths", "Base Dir"), "/srv/base/");
  EXPECT_EQ(Get("paths", "BASE DIR"), "/srv/base/");
  EXPECT_EQ(Get("Paths", "Empty"), "");
  EXPECT_EQ(Get("Paths", "Quoted"), "  spaced  ");
  EXPECT_EQ(Get("Paths", "Equals"), "a=b");
  EXPECT_EQ(Get("OTHER", "key"), "other value");
  EXPECT_EQ(Get("paths", "late"), "found in a repeated section");
}

TEST_F(IniTest, MissingFileSectionOrKeyGivesDefault) {
  EXPECT_EQ(Get("Paths", "Missing"), "default");
  EXPECT_EQ(Get("Nowhere", "Base Dir"), "default");
  EXPECT_EQ(Get("Paths", "Key"), "default");  // belongs to [other]
  EXPECT_EQ(Get("Paths", "top"), "default");  // before any section
  EXPECT_EQ(Get("Paths", "Hidden"), "default");
  EXPECT_EQ(Get("Paths", "NoEquals"), "default");
  EXPECT_EQ(Get("Paths", "Missing", nullptr), "");
  EXPECT_EQ(Get(nullptr, "Key"), "default");
  char buf[16];
  EXPECT_EQ(IniGetString(*CurrentEnv(), dir_.Sub("absent.ini"), "Paths", "Base Dir", "dflt", buf,
                         sizeof buf),
            4u);
  EXPECT_STREQ(buf, "dflt");
}

TEST_F(IniTest, DoubleByteNamesAreNotCaseFolded) {
  // 0x83 0x5D is one character; its trail byte must not end the section name.
  EXPECT_EQ(Get("\x83\x5D", "\x82\x60"), "sjis key");
  // 0x82 0x60 and 0x82 0x40 differ only in bit 0x20 of the trail byte, which folding would ignore.
  EXPECT_EQ(Get("\x83\x5D", "\x82\x40"), "default");
  EXPECT_EQ(Get("\x83\x7D", "\x82\x60"), "default");
}

TEST_F(IniTest, ResultIsCutToTheBufferAndNeverOverruns) {
  char buf[8];
  std::memset(buf, '#', sizeof buf);
  EXPECT_EQ(IniGetString(*CurrentEnv(), path_, "Paths", "Base Dir", "", buf, 5), 4u);
  EXPECT_STREQ(buf, "/srv");
  EXPECT_EQ(buf[5], '#');
  EXPECT_EQ(IniGetString(*CurrentEnv(), path_, "Paths", "Missing", "0123456789", buf, 3), 2u);
  EXPECT_STREQ(buf, "01");
  EXPECT_EQ(IniGetString(*CurrentEnv(), path_, "Paths", "Base Dir", "", buf, 1), 0u);
  EXPECT_STREQ(buf, "");
  std::memset(buf, '#', sizeof buf);
  EXPECT_EQ(IniGetString(*CurrentEnv(), path_, "Paths", "Base Dir", "", buf, 0), 0u);
  EXPECT_EQ(buf[0], '#');
  // A double-byte character is never split: "a" + 0x82 0xA0 in 3 bytes keeps only "a".
  EXPECT_EQ(IniGetString(*CurrentEnv(), path_, "Paths", "Missing", "a\x82\xA0z", buf, 3), 1u);
  EXPECT_STREQ(buf, "a");
}

TEST(SjisTest, LeadBytes) {
  for (int b = 0; b < 256; ++b) {
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    EXPECT_EQ(IsSjisLeadByte(static_cast<uint8_t>(b)), lead) << b;
  }
}

std::string Format(const CalendarTime& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return buf;
}

TEST(CalendarTest, KnownDates) {
  EXPECT_EQ(Format(UtcCalendar(0)), "1970-01-01 00:00:00");
  EXPECT_EQ(Format(UtcCalendar(951827696)), "2000-02-29 12:34:56");
  EXPECT_EQ(Format(UtcCalendar(1709164800)), "2024-02-29 00:00:00");
  EXPECT_EQ(Format(UtcCalendar(1709164800 - 1)), "2024-02-28 23:59:59");
  EXPECT_EQ(Format(UtcCalendar(4107542400)), "2100-03-01 00:00:00");  // 2100 has no 29 February
  EXPECT_EQ(Format(UtcCalendar(2147483648)), "2038-01-19 03:14:08");
}

TEST(CalendarTest, TimesBefore1970) {
  EXPECT_EQ(Format(UtcCalendar(-1)), "1969-12-31 23:59:59");
  EXPECT_EQ(Format(UtcCalendar(-86400)), "1969-12-31 00:00:00");
  EXPECT_EQ(Format(UtcCalendar(-86401)), "1969-12-30 23:59:59");
  EXPECT_EQ(Format(UtcCalendar(-2203891201)), "1900-02-28 23:59:59");
  EXPECT_EQ(Format(UtcCalendar(-11670998400)), "1600-02-29 00:00:00");
}

TEST(CalendarTest, AgreesWithTheCLibraryOverManyYears) {
  for (int64_t t = -2000000000; t < 2000000000; t += 7777777) {
    const std::time_t tt = static_cast<std::time_t>(t);
    const std::tm* tm = std::gmtime(&tt);
    ASSERT_NE(tm, nullptr);
    CalendarTime c = UtcCalendar(t);
    ASSERT_EQ(c.year, tm->tm_year + 1900) << t;
    ASSERT_EQ(c.month, tm->tm_mon + 1) << t;
    ASSERT_EQ(c.day, tm->tm_mday) << t;
    ASSERT_EQ(c.hour * 3600 + c.minute * 60 + c.second,
              tm->tm_hour * 3600 + tm->tm_min * 60 + tm->tm_sec)
        << t;
  }
}

TEST(CalendarTest, NowIsTheClock) {
  const int64_t before = std::time(nullptr);
  const int64_t now = NowSeconds();
  EXPECT_GE(now, before);
  EXPECT_LE(now, before + 2);
}

// A shared-memory name of its own for each test, removed afterwards.
class SharedCounterTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SharedCounter::Unlink(name_)); }
  void TearDown() override { EXPECT_TRUE(SharedCounter::Unlink(name_)); }

  std::string name_ = "/qstore-test-" + std::to_string(CurrentUserId()) + "-" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
                      std::to_string(NowSeconds());
};

TEST_F(SharedCounterTest, IncrementAndGiveBack) {
  auto counter = SharedCounter::Open(name_);
  ASSERT_NE(counter, nullptr);
  EXPECT_EQ(counter->Load(), 0u);
  EXPECT_FALSE(counter->GiveBack(0));  // must not wrap to the largest value
  EXPECT_EQ(counter->Load(), 0u);
  EXPECT_EQ(counter->Increment(), 1u);
  EXPECT_EQ(counter->Increment(), 2u);
  EXPECT_EQ(counter->Increment(), 3u);
  // Only the most recently numbered item gives its number back.
  EXPECT_FALSE(counter->GiveBack(2));
  EXPECT_EQ(counter->Load(), 3u);
  EXPECT_TRUE(counter->GiveBack(3));
  EXPECT_EQ(counter->Load(), 2u);
  EXPECT_TRUE(counter->GiveBack(2));
  EXPECT_FALSE(counter->GiveBack(2));
  EXPECT_EQ(counter->Increment(), 2u);
}

TEST_F(SharedCounterTest, OpenersShareOneCounter) {
  auto first = SharedCounter::Open(name_);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Increment(), 1u);
  auto second = SharedCounter::Open(name_);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->Load(), 1u);  // opening again does not clear it
  EXPECT_EQ(second->Increment(), 2u);
  EXPECT_EQ(first->Load(), 2u);
  first.reset();
  EXPECT_EQ(second->Increment(), 3u);
}

TEST_F(SharedCounterTest, ProcessesRacingGetDistinctNumbers) {
  constexpr int kPerProcess = 20000;
  ScratchDir dir("counter");
  auto run = [&](const std::string& out) {
    return [=] {
      auto counter = SharedCounter::Open(name_);
      if (!counter) return 1;
      std::ostringstream numbers;
      for (int i = 0; i < kPerProcess; ++i) numbers << counter->Increment() << '\n';
      return WriteWholeFile(Env::Default(), out, numbers.str()) ? 0 : 2;
    };
  };
  auto a = ChildProcess::Start(run(dir.Sub("a")));
  auto b = ChildProcess::Start(run(dir.Sub("b")));
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(a->Wait(), 0);
  ASSERT_EQ(b->Wait(), 0);

  std::set<uint32_t> seen;
  for (const char* name : {"a", "b"}) {
    std::istringstream in(Contents(dir.Sub(name)));
    uint32_t n;
    while (in >> n) EXPECT_TRUE(seen.insert(n).second) << n << " handed out twice";
  }
  EXPECT_EQ(seen.size(), 2u * kPerProcess);
  EXPECT_EQ(*seen.rbegin(), 2u * kPerProcess);
  auto counter = SharedCounter::Open(name_);
  ASSERT_NE(counter, nullptr);
  EXPECT_EQ(counter->Load(), 2u * kPerProcess);
}

TEST(ChildProcessTest, ReportsTheResult) {
  auto child = ChildProcess::Start([] { return 7; });
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->Wait(), 7);
  EXPECT_EQ(child->Wait(), 7);
  auto thrower = ChildProcess::Start([]() -> int { throw 1; });
  ASSERT_NE(thrower, nullptr);
  EXPECT_EQ(thrower->Wait(), 255);
}

TEST(PluginTest, LoadsSymbolsAndLocatesItsDirectory) {
  const std::string lib_dir = std::string(QSTORE_BINARY_DIR) + "/lib/";
  auto plugin = Plugin::Load(lib_dir + "libsitepaths.so");
  ASSERT_NE(plugin, nullptr);
  void* symbol = plugin->Symbol("SitePathsWorkDir");
  ASSERT_NE(symbol, nullptr);
  EXPECT_EQ(plugin->Symbol("NoSuchSymbol"), nullptr);
  const std::string dir = DirectoryOfModule(symbol);
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_TRUE(fs::equivalent(dir, lib_dir)) << dir;

  EXPECT_EQ(Plugin::Load(lib_dir + "libmissing.so"), nullptr);
  EXPECT_EQ(Plugin::Load(""), nullptr);
  // A bare name means the current directory, not the library path (libc is on the library path).
  EXPECT_EQ(Plugin::Load("libc.so.6"), nullptr);
}

TEST(ProcessTest, DirectoriesFollowTheEnvironment) {
  {
    ScopedEnvVar home("HOME", "/some/home");
    EXPECT_EQ(HomeDirectory(), "/some/home");
  }
  {
    ScopedEnvVar home("HOME", nullptr);
    EXPECT_FALSE(HomeDirectory().empty());  // from the user database
  }
  {
    ScopedEnvVar tmp("TMPDIR", nullptr);
    EXPECT_EQ(TempDirectory(), "/tmp");
  }
  {
    ScopedEnvVar tmp("TMPDIR", "");
    EXPECT_EQ(TempDirectory(), "/tmp");
  }
}

}  // namespace
}  // namespace qs
